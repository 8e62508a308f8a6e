#include "settings/RunValue.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/UniqueHandle.h"

namespace tolvane {
namespace {
HKEY RootFor(int allUsers) { return allUsers != 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }
}  // namespace

bool SetRunValue(const std::string& name, const std::string& data, int allUsers) {
  fw::RegistryKey key;
  if (RegOpenKeyA(RootFor(allUsers), kRunKey, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  LONG set = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1));
  return set == ERROR_SUCCESS;
}

bool DeleteRunValue(const std::string& name, int allUsers) {
  fw::RegistryKey key;
  if (RegOpenKeyA(RootFor(allUsers), kRunKey, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  RegDeleteValueA(key.get(), name.c_str());
  return key.Close();
}

std::string RunCommandFor(const std::string& executablePath) {
  return "\"" + executablePath + "\"";
}

std::string OwnExecutablePath() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(fw::Application::Instance(), path, sizeof path);
  return std::string(path, length);
}

}  // namespace tolvane
