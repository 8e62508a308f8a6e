// A second Tolvane started while one runs: it never opens a second panel on
// the same files; it points the user to the one that runs and ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

class SecondCopy : public PanelTest {
 protected:
  // Starts another Tolvane.exe as a user's second double-click does.
  bool StartSecond() { return second_.Start(logPath(), {}); }
  TolvaneProcess& second() { return second_; }

  // The dialog manager shows a modal dialog once more when its queue first
  // runs empty; a change to the window from outside must come after that.
  void LetTheMainDialogSettle() {
    WaitForInputIdle(tolvane().handle(), 5000);
    Sleep(500);
  }

  void TearDown() override {
    second_.Stop();
    PanelTest::TearDown();
  }

 private:
  TolvaneProcess second_;
};

TEST_F(SecondCopy, BringsTheRunningPanelForwardAndEnds) {
  ASSERT_NE(StartWithSettings(), nullptr);
  LetTheMainDialogSettle();
  // Minimised, as when the user has gone elsewhere.
  ASSERT_TRUE(PostMessageA(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0));
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main()) != FALSE; }));

  ASSERT_TRUE(StartSecond());
  auto exitCode = second().WaitForExit();
  ASSERT_TRUE(exitCode.has_value()) << "the second copy still runs: "
                                    << DescribeWindowsOf(second().pid());
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main()) && IsWindowVisible(main()); }))
      << "the running panel is restored: " << Describe(main());
  EXPECT_TRUE(tolvane().running());
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
}

TEST_F(SecondCopy, LeavesAnOpenEditorAsItIsAndInFront) {
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND settings = Open(IDC_SETTINGS, "Settings");
  ASSERT_NE(settings, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(settings, IDC_OWNER_NAME), "typed, not saved"));

  ASSERT_TRUE(StartSecond());
  ASSERT_TRUE(second().WaitForExit().has_value());
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == settings; }))
      << "foreground: " << Describe(GetForegroundWindow());
  EXPECT_EQ(TextOf(ControlOf(settings, IDC_OWNER_NAME)), "typed, not saved");
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(settings, IDCANCEL));
  EXPECT_EQ(ReadDataFile("settings.txt"), SettingsWithLine8("0"));
}

TEST_F(SecondCopy, SaysWhereThePanelIsWhileItsWindowIsOutOfSight) {
  ASSERT_NE(StartWithSettings(), nullptr);
  LetTheMainDialogSettle();
  ShowWindow(main(), SW_HIDE);  // as while the bot runs from the tray
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main()); }));

  ASSERT_TRUE(StartSecond());
  // A fresh process under Wine can take long on a busy machine.
  auto box = WaitForMessageBox(second().pid(), std::string("Tolvane"), 30000);
  ASSERT_TRUE(box.has_value()) << (second().running() ? "the second copy runs"
                                                      : "the second copy has ended");
  EXPECT_EQ(box->text,
            "Tolvane is already running. While the bot runs, Tolvane waits in the "
            "notification area: click its icon there to stop the bot and bring the "
            "window back.");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(second().WaitForExit().has_value());
  EXPECT_TRUE(tolvane().running());
  EXPECT_FALSE(IsWindowVisible(main())) << "the running panel is left as it was";
  ShowWindow(main(), SW_SHOW);
}

// At the first run the window stays hidden while ppm runs, and there is no
// icon yet: the second copy says what the first is doing.
TEST_F(SecondCopy, DuringTheFirstRunsSetupSaysThatPerlIsBeingPrepared) {
  ASSERT_TRUE(StartTolvane({true, {{"TOLVANE_PPM_DELAY_MS", "60000"}}}));
  std::optional<MessageBoxContent> notice = WaitForMessageBox(pid(), std::string("Notice"));
  ASSERT_TRUE(notice);
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*notice));
  ASSERT_TRUE(WaitUntil([&] { return !StandinRuns("ppm").empty(); })) << LogText();

  ASSERT_TRUE(StartSecond());
  auto box = WaitForMessageBox(second().pid(), std::string("Tolvane"), 30000);
  ASSERT_TRUE(box.has_value()) << DescribeWindowsOf(second().pid());
  EXPECT_NE(box->text.find("ppm"), std::string::npos) << box->text;
  EXPECT_EQ(box->text.find("icon"), std::string::npos) << box->text;
  // ppm's console window may come up over the box at any time: the box is
  // answered without the mouse.
  ASSERT_TRUE(PostMessageA(box->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));
  EXPECT_TRUE(second().WaitForExit().has_value());
  EXPECT_TRUE(tolvane().running());
}

TEST_F(SecondCopy, StartsNormallyOnceTheFirstHasEnded) {
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(main(), IDCANCEL));
  ASSERT_TRUE(ExpectExit().has_value());

  ASSERT_TRUE(StartSecond());
  EXPECT_NE(WaitForWindowOf(second().pid(), {kDialogClass, "Tolvane"}), nullptr)
      << DescribeWindowsOf(second().pid());
}

}  // namespace
}  // namespace e2e
