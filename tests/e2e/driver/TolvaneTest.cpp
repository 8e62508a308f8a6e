#include "tests/e2e/driver/TolvaneTest.h"

#include <cstdio>

#include "tests/e2e/driver/Locations.h"

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
  tolvane_.Stop();
  EndStandins(ReadStandinLog(logPath_));
  if (HasFailure()) {
    std::printf("[ artefacts  ] %s\n", UnixPathOf(ArtifactsFolder()).c_str());
  }
}

bool TolvaneTest::StartTolvane(const LaunchOptions& options) {
  return tolvane_.Start(logPath_, options);
}

HWND TolvaneTest::FindMainDialog(bool mustBeVisible) const {
  // A message box that gives no caption of its own is titled "Tolvane" too.
  for (HWND window : TopLevelWindowsOf(pid())) {
    if (mustBeVisible && !IsWindowVisible(window)) continue;
    if (ClassOf(window) == kDialogClass && CaptionOf(window) == "Tolvane" &&
        !ReadMessageBox(window)) {
      return window;
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

}  // namespace e2e
