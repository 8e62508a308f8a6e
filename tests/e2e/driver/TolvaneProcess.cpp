#include "tests/e2e/driver/TolvaneProcess.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "tests/e2e/driver/Locations.h"

namespace e2e {
namespace {

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(),
                          -1) == CSTR_LESS_THAN;
  }
};

// This process's environment with the given changes, as an environment
// block (sorted, as Windows expects; names compare without case).
std::string EnvironmentBlock(const std::map<std::string, std::string, NoCase>& changes) {
  std::map<std::string, std::string, NoCase> variables;
  char* block = GetEnvironmentStringsA();
  for (const char* entry = block; *entry != '\0'; entry += strlen(entry) + 1) {
    const char* equals = strchr(entry + 1, '=');  // names like "=C:" start with '='
    if (equals == nullptr) continue;
    variables[std::string(entry, equals)] = equals + 1;
  }
  FreeEnvironmentStringsA(block);
  for (const auto& [name, value] : changes) variables[name] = value;
  std::string result;
  for (const auto& [name, value] : variables) result += name + "=" + value + '\0';
  result += '\0';
  return result;
}

std::string SystemFolders() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  return std::string(system) + ";" + windows + ";" + windows + "\\System32\\Wbem";
}

}  // namespace

std::vector<DWORD> ChildProcessesOf(DWORD parent) {
  std::vector<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent && entry.th32ProcessID != parent) {
      children.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return children;
}

bool TolvaneProcess::Start(const std::string& logPath, const LaunchOptions& options) {
  Stop();
  std::map<std::string, std::string, NoCase> changes;
  changes["PATH"] = options.standinsOnPath ? StandinsFolder() + ";" + SystemFolders()
                                           : SystemFolders();
  changes["TOLVANE_STANDIN_LOG"] = logPath;
  for (const auto& [name, value] : options.environment) changes[name] = value;
  std::string environment = EnvironmentBlock(changes);

  const std::string exe = TolvaneExe();
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  const std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessOnceMoreAfterLoaderError(exe, [&] {
        std::string line = commandLine;  // CreateProcessA may change it
        return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                              environment.data(), folder.c_str(), &startup, &info);
      })) {
    ADD_FAILURE() << "could not start " << exe << " (error " << GetLastError() << ")";
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return true;
}

bool TolvaneProcess::running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TolvaneProcess::WaitForExit(DWORD timeoutMs) {
  if (process_ == nullptr) return std::nullopt;
  if (!WaitUntil([&] { return !running(); }, timeoutMs)) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void TolvaneProcess::Stop() {
  if (process_ == nullptr) return;
  if (running()) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 10000);
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
}

}  // namespace e2e
