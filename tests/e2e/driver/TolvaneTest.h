// The base of every end-to-end test: each test starts from an empty data
// folder and no Run value, starts Tolvane.exe as a user does, and leaves no
// process behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/DataFolder.h"
#include "tests/e2e/driver/Input.h"
#include "tests/e2e/driver/StandinLog.h"
#include "tests/e2e/driver/TolvaneProcess.h"
#include "tests/e2e/driver/Wait.h"
#include "tests/e2e/driver/Windows.h"

namespace e2e {

class TolvaneTest : public testing::Test {
 protected:
  // The data folder exists and is empty, the Run value is gone, and the
  // stand-in log of this test is new.
  void SetUp() override;
  // Ends Tolvane and every stand-in it started.
  void TearDown() override;

  // Starts Tolvane.exe; call as ASSERT_TRUE(StartTolvane()).
  bool StartTolvane(const LaunchOptions& options = {});
  DWORD pid() const { return tolvane_.pid(); }
  TolvaneProcess& tolvane() { return tolvane_; }

  // The main dialog ("#32770", caption "Tolvane", and no message box),
  // once it is visible; nullptr after a reported failure.
  HWND WaitForMainDialog(DWORD timeoutMs = kTimeoutMs);
  // The main dialog's window now, or nullptr; it exists, hidden, while the
  // program starts up, and while the bot runs it is hidden in the tray (a
  // child of an invisible window of the program), where it is found too
  // unless it must be visible.
  HWND FindMainDialog(bool mustBeVisible = false) const;

  // Ends the program through its process and expects it to end by itself
  // within the time: returns its exit code, or reports a failure.
  std::optional<DWORD> ExpectExit(DWORD timeoutMs = kTimeoutMs);

  // What the stand-ins have recorded so far.
  std::vector<StandinRun> StandinRuns(const std::string& program) const;
  // The stand-ins are console programs: each gets a console of its own, in a
  // process the stand-in starts, whose window can open after the stand-in
  // has ended, over Tolvane's windows, and take the clicks meant for them.
  // Waits until that process has ended; reports a failure when it has not.
  bool WaitForConsoleToClose(const StandinRun& run) const;
  const std::string& logPath() const { return logPath_; }
  // The log as text, for adding to failure messages.
  std::string LogText() const { return StandinLogText(logPath_); }

 private:
  std::string logPath_;
  TolvaneProcess tolvane_;
};

}  // namespace e2e
