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

HWND TolvaneTest::FindMainDialog() const {
  return FindWindowOf(pid(), WindowSpec{kDialogClass, std::string("Tolvane"), false});
}

HWND TolvaneTest::WaitForMainDialog(DWORD timeoutMs) {
  return WaitForWindowOf(pid(), WindowSpec{kDialogClass, std::string("Tolvane"), true},
                         timeoutMs);
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
