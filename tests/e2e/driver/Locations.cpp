#include "tests/e2e/driver/Locations.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace e2e {
namespace {

std::string g_tolvane;
std::string g_standins;

std::string ModuleFolder() {
  char path[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string full(path, length);
  return full.substr(0, full.find_last_of('\\') + 1);
}

std::string Env(const char* name) {
  char value[MAX_PATH * 2] = {};
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : "";
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 2] = {};
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

void MakeFolders(const std::string& folder) {
  for (std::size_t at = folder.find('\\', 3); at != std::string::npos;
       at = folder.find('\\', at + 1)) {
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

std::string WindowsPathOf(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

std::string UnixPathOf(const std::string& windowsPath) {
  if (windowsPath.size() < 3 || (windowsPath[0] != 'Z' && windowsPath[0] != 'z') ||
      windowsPath[1] != ':' || windowsPath[2] != '\\') {
    return "";
  }
  std::string unix = windowsPath.substr(2);
  for (char& c : unix) {
    if (c == '\\') c = '/';
  }
  return unix;
}

void InitLocations(int argc, char** argv) {
  const std::string here = ModuleFolder();
  g_tolvane = here + "..\\..\\app\\Tolvane.exe";
  g_standins = here + "..\\standins\\bin";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--tolvane=", 0) == 0) g_tolvane = WindowsPathOf(arg.substr(10));
    if (arg.rfind("--standins=", 0) == 0) g_standins = WindowsPathOf(arg.substr(11));
  }
  g_tolvane = FullPath(g_tolvane);
  g_standins = FullPath(g_standins);
  while (!g_standins.empty() && g_standins.back() == '\\') g_standins.pop_back();
}

const std::string& TolvaneExe() { return g_tolvane; }
const std::string& StandinsFolder() { return g_standins; }

std::string ArtifactsFolder() {
  std::string root = Env("TOLVANE_BUILD_DIR");
  root = root.empty() ? ModuleFolder() + "e2e-artifacts" : WindowsPathOf(root) + "\\e2e-artifacts";
  std::string name = "outside-tests";
  if (const testing::TestInfo* test =
          testing::UnitTest::GetInstance()->current_test_info()) {
    name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name) {
      if (c == '/' || c == '\\' || c == ' ') c = '_';
    }
  }
  std::string folder = root + "\\" + name;
  MakeFolders(folder);
  return folder + "\\";
}

}  // namespace e2e
