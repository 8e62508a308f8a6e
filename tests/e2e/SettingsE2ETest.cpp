// The Settings dialog, opened from the main dialog and used as a user does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/Scenario.h"
#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Tray.h"

namespace e2e {
namespace {

constexpr char kAwayTail[] =
    " is away right now. If you message the AI will provide you with custom away "
    "messages, contact, and location info";

std::string Greeting(const std::string& chat, const std::string& owner) {
  return "Hello, you've reached " + chat + " in charge of taking messages for " + owner +
         ". He's not here right now, but please leave a message, or send the word info "
         "to get options";
}

class SettingsDialog : public PanelTest {
 protected:
  HWND OpenSettings() { return Open(IDC_SETTINGS, "Settings"); }
  bool IsChecked(HWND dialog, int id) {
    return SendMessageA(ControlOf(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // Clicks a check box and waits until it shows the new state.
  void Toggle(HWND dialog, int id) {
    bool before = IsChecked(dialog, id);
    ASSERT_TRUE(Click(ControlOf(dialog, id)));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(dialog, id) != before; }));
  }
};

TEST_F(SettingsDialog, WhatTheUserTypesIsSavedLineByLineWithTheQuotedProgram) {
  ASSERT_NE(StartWithSettings(""), nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_AIM_USER_NAME), "tolvanebot"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_AIM_PASSWORD), "s3cret pw"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_CHAT_AI_NAME), "Kavri"));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_OWNER_NAME), "Alex"));
  ASSERT_NO_FATAL_FAILURE(Toggle(dialog, IDC_REQUIRE_TRUSTED));
  ASSERT_NO_FATAL_FAILURE(Toggle(dialog, IDC_START_WITH_WINDOWS));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));

  EXPECT_EQ(ReadDataFile("settings.txt"),
            "tolvanebot\r\ns3cret pw\r\nKavri\r\nAlex\r\n1\r\n0\r\n1\r\n0\r\nAlex" +
                std::string(kAwayTail) + "\r\n" + Greeting("Kavri", "Alex") + "\r\n");
  EXPECT_EQ(ReadRunValue(), "\"" + TolvaneExe() + "\"");
  EXPECT_TRUE(IsWindowVisible(main())) << "the main dialog is back";
}

TEST_F(SettingsDialog, AllEmptyWritesTheFixedTextsOnly) {
  ASSERT_NE(StartWithSettings(""), nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("settings.txt"), "\r\n\r\n\r\n\r\n0\r\n0\r\n0\r\n0\r\n" +
                                              std::string(kAwayTail) + "\r\n" +
                                              Greeting("", "") + "\r\n");
  EXPECT_FALSE(ReadRunValue()) << "no value for a clear box";
}

TEST_F(SettingsDialog, TheFieldsShowTheFileAndAClearedBoxDeletesTheRunValue) {
  ASSERT_TRUE(SetRunValue("\"C:\\elsewhere\\Tolvane.exe\""));
  ASSERT_NE(StartWithSettings("me\r\npw\r\nBot\r\nKim\r\n0\r\n1\r\n1\r\n0\r\nx\r\ny\r\n"),
            nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_AIM_USER_NAME)), "me");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_AIM_PASSWORD)), "pw");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_CHAT_AI_NAME)), "Bot");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_OWNER_NAME)), "Kim");
  EXPECT_FALSE(IsChecked(dialog, IDC_REQUIRE_TRUSTED));
  EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_AWAY_MESSAGES));
  EXPECT_TRUE(IsChecked(dialog, IDC_START_WITH_WINDOWS));
  EXPECT_FALSE(IsChecked(dialog, IDC_AUTO_CONNECT));
  ASSERT_NO_FATAL_FAILURE(Toggle(dialog, IDC_START_WITH_WINDOWS));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_FALSE(ReadRunValue());
  EXPECT_EQ(ReadDataFile("settings.txt")->substr(0, 30),
            "me\r\npw\r\nBot\r\nKim\r\n0\r\n1\r\n0\r\n0\r\n");

  // Again with the box clear and no value: nothing to delete, no message.
  dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_FALSE(ReadRunValue());
}

TEST_F(SettingsDialog, CancelAfterEditsChangesNothing) {
  const std::string before = SettingsWithLine8("0");
  ASSERT_NE(StartWithSettings(before), nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_OWNER_NAME), "Someone"));
  ASSERT_NO_FATAL_FAILURE(Toggle(dialog, IDC_START_WITH_WINDOWS));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadDataFile("settings.txt"), before);
  EXPECT_FALSE(ReadRunValue());
}

TEST_F(SettingsDialog, OpeningWithoutAFileCreatesAnEmptyOneEvenWhenCancelled) {
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_TRUE(DeleteFileA(DataFile("settings.txt").c_str()));
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_AIM_USER_NAME)), "");
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadDataFile("settings.txt"), std::string());
}

TEST_F(SettingsDialog, ASaveIntoAMissingFolderIsReportedAndTheEditsStay) {
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_AIM_USER_NAME), "typed"));
  RemoveDataFolder();
  ASSERT_TRUE(Click(ControlOf(dialog, IDOK)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(DataFile("settings.txt")), std::string::npos) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_AIM_USER_NAME)), "typed");
  EXPECT_FALSE(DataFolderExists()) << "nothing made the folder";
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
}

TEST_F(SettingsDialog, ASaveOverAFileInUseIsReportedAndTheOldFileStaysWhole) {
  const std::string before = SettingsWithLine8("0");
  ASSERT_NE(StartWithSettings(before), nullptr);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_OWNER_NAME), "Robin"));
  {
    HeldFile held(DataFile("settings.txt"), HeldFile::Others::kMayRead);
    ASSERT_TRUE(held.held());
    ASSERT_TRUE(Click(ControlOf(dialog, IDOK)));
    std::optional<MessageBoxContent> box =
        WaitForMessageBox(pid(), std::string("Tolvane"), 15000);
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find(DataFile("settings.txt")), std::string::npos) << box->text;
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    EXPECT_EQ(ReadDataFile("settings.txt"), before);
    EXPECT_EQ(ListDataFiles(), std::vector<std::string>{"settings.txt"})
        << "nothing left beside it";
  }
  // The file is free again: OK now saves.
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  std::optional<std::string> after = ReadDataFile("settings.txt");
  ASSERT_TRUE(after);
  EXPECT_NE(after->find("\r\nRobin\r\n"), std::string::npos) << *after;
}

// Auto-connect takes effect at the next start: ticked and saved, then the
// program ended and started again, the bot starts by itself.
TEST_F(SettingsDialog, AutoConnectTickedAndSavedStartsTheBotAtTheNextStart) {
  ASSERT_NE(StartWithSettings(SettingsWithLine8("0")), nullptr);
  ASSERT_TRUE(WriteDataFile("Kavri.pl", "# the bot\r\n"));
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_FALSE(IsChecked(dialog, IDC_AUTO_CONNECT));
  ASSERT_NO_FATAL_FAILURE(Toggle(dialog, IDC_AUTO_CONNECT));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  // The same file with line 8 on (lines 9 and 10 are made from the same names).
  EXPECT_EQ(ReadDataFile("settings.txt"), SettingsWithLine8("1"));
  EXPECT_TRUE(StandinRuns("perl").empty()) << "saving started the bot";
  EXPECT_TRUE(IsWindowVisible(main()));

  ASSERT_TRUE(Click(ControlOf(main(), IDCANCEL)));
  ASSERT_TRUE(ExpectExit());
  ASSERT_TRUE(StartTolvane());
  HWND panel = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    panel = FindMainDialog();
    return panel != nullptr && StandinRuns("perl").size() == 1 &&
           TrayIconExists(panel, kTrayIconId);
  })) << "no bot and no icon after the start; " << LogText();
  EXPECT_EQ(FindMainDialog(true), nullptr) << "the main dialog is on the screen";
}

// A settings file marked read-only (copied from a CD, or protected on
// purpose): the save is refused and said so, and the file stays as it was.
TEST_F(SettingsDialog, AReadOnlySettingsFileIsReportedAndStaysAsItWas) {
  const std::string before = SettingsWithLine8("0");
  ASSERT_NE(StartWithSettings(before), nullptr);
  const std::string path = DataFile("settings.txt");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_OWNER_NAME), "Robin"));
  ASSERT_TRUE(Click(ControlOf(dialog, IDOK)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(path), std::string::npos) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_OWNER_NAME)), "Robin");
  EXPECT_EQ(ReadDataFile("settings.txt"), before);
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ListDataFiles(), std::vector<std::string>{"settings.txt"})
      << "nothing left beside it";

  // Made writable again, OK saves.
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  std::optional<std::string> after = ReadDataFile("settings.txt");
  ASSERT_TRUE(after);
  EXPECT_NE(after->find("\r\nRobin\r\n"), std::string::npos) << *after;
}

}  // namespace
}  // namespace e2e
