#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/RunValue.h"
#include "settings/SettingsDlg.h"
#include "tests/support/TestFolder.h"
#include "tests/win/DialogProbe.h"
#include "tests/win/MessageBoxCatcher.h"

namespace {

using namespace tolvane::testing;

std::optional<std::string> RunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, tolvane::kRunKey, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char data[1024] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  LONG got = RegQueryValueExA(key, tolvane::kRunValueName, nullptr, &type,
                              reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (got != ERROR_SUCCESS) return std::nullopt;
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  return std::string(data, size);  // the stored length counts the NUL
}

void ClearRunValue() { tolvane::DeleteRunValue(tolvane::kRunValueName, 0); }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

TEST(RunValue, SetStoresTheDataWithItsTerminator) {
  ClearRunValue();
  ASSERT_TRUE(tolvane::SetRunValue(tolvane::kRunValueName, "\"C:\\a b\\x.exe\"", 0));
  EXPECT_EQ(RunValue(), std::string("\"C:\\a b\\x.exe\"\0", 15));
  ASSERT_TRUE(tolvane::SetRunValue(tolvane::kRunValueName, "\"C:\\y.exe\"", 0));
  EXPECT_EQ(RunValue(), std::string("\"C:\\y.exe\"\0", 11));
  ClearRunValue();
}

TEST(RunValue, DeletingAnAbsentValueStillSucceeds) {
  ClearRunValue();
  EXPECT_TRUE(tolvane::DeleteRunValue(tolvane::kRunValueName, 0));
  EXPECT_FALSE(RunValue().has_value());
}

TEST(RunValue, CommandIsTheQuotedPath) {
  EXPECT_EQ(tolvane::RunCommandFor("C:\\Program Files\\Tolvane\\Tolvane.exe"),
            "\"C:\\Program Files\\Tolvane\\Tolvane.exe\"");
}

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    InitControls();
    ClearRunValue();
  }
  void TearDown() override { ClearRunValue(); }

  TempFolder data;
};

TEST_F(SettingsDialog, AMissingFileIsCreatedEmptyAndTheFieldsAreClear) {
  CSettingsDlg dialog(data.folder(), nullptr);
  EXPECT_EQ(data.Read("settings.txt"), "");
  ASSERT_TRUE(dialog.Create(nullptr));
  for (int id : {IDC_AIM_USER_NAME, IDC_AIM_PASSWORD, IDC_CHAT_AI_NAME, IDC_OWNER_NAME}) {
    EXPECT_EQ(Text(dialog, id), "");
  }
  for (int id : {IDC_REQUIRE_TRUSTED, IDC_SAVE_AWAY_MESSAGES, IDC_START_WITH_WINDOWS,
                 IDC_AUTO_CONNECT}) {
    EXPECT_FALSE(Checked(dialog, id));
  }
  Press(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("settings.txt"), "");
}

TEST_F(SettingsDialog, ShowsWhatTheFileHolds) {
  data.Write("settings.txt", "bob\r\nsecret\r\nRobo\r\nKim\r\n1\r\n0\r\n10\r\n 1\r\nx\r\ny\r\n");
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Text(dialog, IDC_AIM_USER_NAME), "bob");
  EXPECT_EQ(Text(dialog, IDC_AIM_PASSWORD), "secret");
  EXPECT_EQ(Text(dialog, IDC_CHAT_AI_NAME), "Robo");
  EXPECT_EQ(Text(dialog, IDC_OWNER_NAME), "Kim");
  EXPECT_TRUE(Checked(dialog, IDC_REQUIRE_TRUSTED));
  EXPECT_FALSE(Checked(dialog, IDC_SAVE_AWAY_MESSAGES));
  EXPECT_TRUE(Checked(dialog, IDC_START_WITH_WINDOWS));
  EXPECT_FALSE(Checked(dialog, IDC_AUTO_CONNECT));
  Press(dialog, IDCANCEL);
}

TEST_F(SettingsDialog, OkWritesTheTenLinesAndRegistersTheQuotedProgram) {
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_AIM_USER_NAME, "me");
  SetText(dialog, IDC_OWNER_NAME, "Kim");
  SetChecked(dialog, IDC_START_WITH_WINDOWS, true);
  MessageBoxCatcher catcher;
  Press(dialog, IDOK);
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_EQ(dialog.hwnd(), nullptr) << "OK closes the dialog";
  EXPECT_EQ(data.Read("settings.txt"),
            "me\r\n\r\n\r\nKim\r\n0\r\n0\r\n1\r\n0\r\n"
            "Kim is away right now. If you message the AI will provide you with custom "
            "away messages, contact, and location info\r\n"
            "Hello, you've reached  in charge of taking messages for Kim. He's not here "
            "right now, but please leave a message, or send the word info to get "
            "options\r\n");
  EXPECT_EQ(RunValue(), Quoted(tolvane::OwnExecutablePath()) + std::string(1, '\0'));
}

TEST_F(SettingsDialog, OkWithTheBoxClearDeletesTheRunValue) {
  tolvane::SetRunValue(tolvane::kRunValueName, "\"C:\\old.exe\"", 0);
  data.Write("settings.txt", "a\r\nb\r\nc\r\nd\r\n0\r\n0\r\n1\r\n0\r\n");
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_TRUE(Checked(dialog, IDC_START_WITH_WINDOWS));
  SetChecked(dialog, IDC_START_WITH_WINDOWS, false);
  Press(dialog, IDOK);
  EXPECT_FALSE(RunValue().has_value());
}

TEST_F(SettingsDialog, CancelAfterEditsChangesNothing) {
  const std::string before = "a\r\nb\r\nc\r\nd\r\n1\r\n1\r\n0\r\n1\r\nx\r\ny\r\n";
  data.Write("settings.txt", before);
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_AIM_USER_NAME, "changed");
  SetChecked(dialog, IDC_START_WITH_WINDOWS, true);
  Press(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("settings.txt"), before);
  EXPECT_FALSE(RunValue().has_value());
}

TEST_F(SettingsDialog, AFailedSaveSaysWhyAndKeepsTheDialogAndTheOldFile) {
  const std::string before = "a\r\nb\r\nc\r\nd\r\n0\r\n0\r\n0\r\n0\r\nx\r\ny\r\n";
  data.Write("settings.txt", before);
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_AIM_USER_NAME, "typed");
  SetChecked(dialog, IDC_START_WITH_WINDOWS, true);
  // A read-only file cannot be replaced.
  SetFileAttributesA(data.file("settings.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  MessageBoxCatcher catcher;
  Press(dialog, IDOK);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find(data.file("settings.txt")), std::string::npos)
      << catcher.boxes()[0].text;
  EXPECT_NE(catcher.boxes()[0].text.find("read-only"), std::string::npos)
      << catcher.boxes()[0].text;
  ASSERT_NE(dialog.hwnd(), nullptr) << "the dialog stays open";
  EXPECT_EQ(Text(dialog, IDC_AIM_USER_NAME), "typed");
  EXPECT_EQ(data.Read("settings.txt"), before);
  EXPECT_FALSE(RunValue().has_value()) << "nothing registered for a failed save";

  // The user fixes the problem and presses OK again.
  SetFileAttributesA(data.file("settings.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  Press(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("settings.txt")->substr(0, 7), "typed\r\n");
  EXPECT_TRUE(RunValue().has_value());
}

TEST_F(SettingsDialog, AMissingFolderIsReportedOnSave) {
  CSettingsDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  data.RemoveAll();
  MessageBoxCatcher catcher;
  Press(dialog, IDOK);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find("settings.txt"), std::string::npos);
  EXPECT_NE(dialog.hwnd(), nullptr);
  Press(dialog, IDCANCEL);
}

}  // namespace
