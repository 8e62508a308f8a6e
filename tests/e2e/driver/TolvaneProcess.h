// Tolvane.exe as a process of its own, started as a user's shortcut starts
// it, with the stand-ins on the PATH.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver/Wait.h"
#include "tests/wine/LoaderError.h"

namespace e2e {

struct LaunchOptions {
  // PATH = the stand-ins folder + the Windows system folders; false leaves
  // the stand-ins out (no perl, no ppm to be found).
  bool standinsOnPath = true;
  // More environment variables for Tolvane and so for the stand-ins it
  // starts, e.g. {"TOLVANE_PPM_DELAY_MS", "800"} or
  // {"TOLVANE_PERL_BEHAVIOUR", "write \"C:\\...\\results.txt\" Signing on\\r\\n; wait"}.
  std::vector<std::pair<std::string, std::string>> environment;
};

using wine_testing::CreateProcessOnceMoreAfterLoaderError;

// The processes now running that the process `parent` started; Wine keeps
// the parent's id in them after the parent has ended.
std::vector<DWORD> ChildProcessesOf(DWORD parent);

class TolvaneProcess {
 public:
  TolvaneProcess() = default;
  ~TolvaneProcess() { Stop(); }
  TolvaneProcess(const TolvaneProcess&) = delete;
  TolvaneProcess& operator=(const TolvaneProcess&) = delete;

  // Starts TolvaneExe() in its own folder with the stand-in log at logPath.
  // Reports a test failure and returns false when it cannot be started.
  bool Start(const std::string& logPath, const LaunchOptions& options);

  bool started() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_; }
  bool running() const;

  // Waits for the process to end; its exit code, or nullopt when it still
  // runs after the time given.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = kTimeoutMs);

  // Ends the process if it still runs, and waits until it is gone.
  void Stop();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

}  // namespace e2e
