#include "tests/e2e/driver/TolvaneTest.h"

#include <cstdio>

#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Tray.h"

namespace e2e {

void TolvaneTest::SetUp() {
  logPath_ = ArtifactsFolder() + "standin.log";
  DeleteFileA(logPath_.c_str());
  DeleteFileA((ArtifactsFolder() + "failure.png").c_str());
  ResetDataFolder();
  DeleteRunValue();
  ASSERT_TRUE(DataFolderExists()) << DataFolder();
  ASSERT_TRUE(ListDataFiles().empty()) << "could not empty " << DataFolder();
}

void TolvaneTest::TearDown() {
  // The notification area keeps the icon of a program that was ended
  // without removing it, in the place where the next test looks for its
  // own: take it out first.
  if (tolvane_.running()) {
    if (HWND main = FindMainDialog()) DeleteTrayIcon(main, kTrayIconId);
  }
  tolvane_.Stop();
  EndStandins(ReadStandinLog(logPath_));
  if (HasFailure()) {
    std::printf("[ artefacts  ] %s\n", UnixPathOf(ArtifactsFolder()).c_str());
  }
}

bool TolvaneTest::StartTolvane(const LaunchOptions& options) {
  return tolvane_.Start(logPath_, options);
}

namespace {

bool IsMainDialog(HWND window) {
  // A message box that gives no caption of its own is titled "Tolvane" too.
  return ClassOf(window) == kDialogClass && WindowText(window) == "Tolvane" &&
         !ReadMessageBox(window);
}

}  // namespace

HWND TolvaneTest::FindMainDialog(bool mustBeVisible) const {
  const std::vector<HWND> windows = TopLevelWindowsOf(pid());
  for (HWND window : windows) {
    if (mustBeVisible && !IsWindowVisible(window)) continue;
    if (IsMainDialog(window)) return window;
  }
  if (mustBeVisible) return nullptr;
  for (HWND window : windows) {
    if (ClassOf(window) == kDialogClass) continue;
    for (HWND child : ChildrenOf(window)) {
      if (IsMainDialog(child)) return child;
    }
  }
  return nullptr;
}

HWND TolvaneTest::WaitForMainDialog(DWORD timeoutMs) {
  HWND main = nullptr;
  if (WaitUntil([&] { return (main = FindMainDialog(true)) != nullptr; }, timeoutMs)) {
    return main;
  }
  ADD_FAILURE() << "expected the main dialog (\"#32770\" \"Tolvane\", not a message "
                   "box) to be visible within "
                << timeoutMs << " ms; Tolvane's windows are:\n"
                << DescribeWindowsOf(pid());
  return nullptr;
}

std::optional<DWORD> TolvaneTest::ExpectExit(DWORD timeoutMs) {
  std::optional<DWORD> code = tolvane_.WaitForExit(timeoutMs);
  if (!code) {
    ADD_FAILURE() << "expected Tolvane to end within " << timeoutMs
                  << " ms; it still runs, with these windows:\n"
                  << DescribeWindowsOf(pid());
  }
  return code;
}

std::vector<StandinRun> TolvaneTest::StandinRuns(const std::string& program) const {
  return RunsOf(ReadStandinLog(logPath_), program);
}

bool TolvaneTest::WaitForConsoleToClose(const StandinRun& run) const {
  std::vector<DWORD> console;
  if (WaitUntil([&] { return (console = ChildProcessesOf(run.pid)).empty(); })) return true;
  ADD_FAILURE() << "expected the console of " << run.program << " (process " << run.pid
                << ") to close within " << kTimeoutMs << " ms; its process "
                << console.front() << " still runs";
  return false;
}

}  // namespace e2e
