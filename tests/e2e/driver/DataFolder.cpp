#include "tests/e2e/driver/DataFolder.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Tolvane";

}  // namespace

std::string UserName() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size)) return "";
  return name;
}

const tolvane::testing::Folder& Data() {
  static const tolvane::testing::Folder data("C:\\Documents and Settings\\" + UserName() +
                                             "\\My Documents\\Tolvane\\");
  return data;
}

bool WaitForDataFile(const std::string& name, const std::string& bytes, DWORD timeoutMs) {
  std::optional<std::string> held;
  if (WaitUntil([&] { return (held = ReadDataFile(name)) == bytes; }, timeoutMs)) return true;
  ADD_FAILURE() << "expected " << name << " to hold " << testing::PrintToString(bytes)
                << " within " << timeoutMs << " ms; it holds "
                << (held ? testing::PrintToString(*held) : std::string("nothing (no file)"));
  return false;
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
