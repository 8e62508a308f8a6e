#include "tests/win/WinTempFolder.h"

#include <algorithm>
#include <vector>

namespace tolvane::testing {

WinTempFolder::WinTempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  static unsigned counter = 0;
  for (;;) {
    std::string candidate = std::string(base) + "tolvane-test-" +
                            std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(++counter);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      folder_ = candidate + "\\";
      return;
    }
  }
}

WinTempFolder::~WinTempFolder() { RemoveAll(); }

void WinTempFolder::Write(const std::string& name, const std::string& bytes) const {
  HANDLE file = CreateFileA(this->file(name).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::optional<std::string> WinTempFolder::Read(const std::string& name) const {
  return ReadWholeFile(file(name));
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

bool WinTempFolder::Exists(const std::string& name) const {
  return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WinTempFolder::Listing() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + ";";
  return listing;
}

void WinTempFolder::RemoveAll() const {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder_ + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder_.c_str());
}

}  // namespace tolvane::testing
