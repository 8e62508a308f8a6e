#include "tests/e2e/driver/DataFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {
namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Tolvane";

std::string WithoutSlash(std::string folder) {
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string UserName() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size)) return "";
  return name;
}

std::string DataFolder() {
  return "C:\\Documents and Settings\\" + UserName() + "\\My Documents\\Tolvane\\";
}

std::string DataFile(const std::string& name) { return DataFolder() + name; }

bool WaitForDataFile(const std::string& name, const std::string& bytes, DWORD timeoutMs) {
  std::optional<std::string> held;
  if (WaitUntil([&] { return (held = ReadDataFile(name)) == bytes; }, timeoutMs)) return true;
  ADD_FAILURE() << "expected " << name << " to hold " << testing::PrintToString(bytes)
                << " within " << timeoutMs << " ms; it holds "
                << (held ? testing::PrintToString(*held) : std::string("nothing (no file)"));
  return false;
}

void RemoveDataFolder() { DeleteTree(WithoutSlash(DataFolder())); }

void ResetDataFolder() {
  RemoveDataFolder();
  const std::string folder = WithoutSlash(DataFolder());
  for (std::size_t at = folder.find('\\', 3); at != std::string::npos;
       at = folder.find('\\', at + 1)) {
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(folder.c_str(), nullptr);
}

bool DataFolderExists() {
  DWORD attributes = GetFileAttributesA(WithoutSlash(DataFolder()).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> ListDataFiles() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((DataFolder() + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.emplace_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
             written == bytes.size());
  return CloseHandle(file) && ok;
}

HeldFile::HeldFile(const std::string& path, Others others) {
  handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                        others == Others::kMayRead ? FILE_SHARE_READ : 0, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HeldFile::~HeldFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::optional<std::string> ReadRunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD size = 0;
  std::optional<std::string> value;
  if (RegQueryValueExA(key, kRunValue, nullptr, &type, nullptr, &size) ==
      ERROR_SUCCESS) {
    std::string data(size, '\0');
    if (RegQueryValueExA(key, kRunValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      data.resize(size);
      // REG_SZ data normally carries its terminating zero; a value written
      // without one is shown as it is.
      if (!data.empty() && data.back() == '\0') data.pop_back();
      value = data;
    }
  }
  RegCloseKey(key);
  return value;
}

void DeleteRunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueA(key, kRunValue);
  RegCloseKey(key);
}

bool SetRunValue(const std::string& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG result = RegSetValueExA(key, kRunValue, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace e2e
