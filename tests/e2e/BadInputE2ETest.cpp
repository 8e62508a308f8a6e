// Files a user or another program has mangled: NUL bytes, Ctrl-Z, a lone
// CR, bytes that are no character, a huge single line, thousands of lines.
// Each editor opens, shows what it can, and an OK that changes nothing
// loses nothing it could not show.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/Scenario.h"
#include "tests/e2e/driver/RemoteListView.h"

namespace e2e {
namespace {

class BadInput : public PanelTest {};

TEST_F(BadInput, ContactFieldsWithBytesNoEditCanShowComeBackWhole) {
  const std::string fields[] = {
      std::string("555\0-0100", 9),  // NUL: the edit shows "555"
      "end\x1A of file?",            // Ctrl-Z is no end of file here
      "caf\xC3 \xFF\xFE\x81",        // no character in any encoding
      "",
      "last",
  };
  std::string file;
  for (const std::string& field : fields) file += field + "\r\n";
  ASSERT_TRUE(WriteDataFile("contact.txt", file));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = Open(IDC_CONTACT_INFO, "Contact Information");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_PHONE)), "555");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_CELL_PHONE)), "");
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("contact.txt"), file);
}

TEST_F(BadInput, AFieldTheUserRetypesIsSavedAsTyped) {
  ASSERT_TRUE(WriteDataFile("contact.txt", std::string("555\0-0100\r\n", 11)));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = Open(IDC_CONTACT_INFO, "Contact Information");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_PHONE), "555-0199"));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("contact.txt"), "555-0199\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(BadInput, ALoneCrInAFieldBecomesABlankSoTheLinesStayInPlace) {
  ASSERT_TRUE(WriteDataFile("contact.txt", "555\r0100\r\nhome\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = Open(IDC_CONTACT_INFO, "Contact Information");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("contact.txt"), "555 0100\r\nhome\r\n\r\n\r\n\r\n");
}

TEST_F(BadInput, AHundredMegabyteSettingsLineOpensAndIsKeptWhole) {
  std::string huge(100u * 1024 * 1024, 'x');
  std::string settings = SettingsWithLine8("0");
  settings.replace(0, settings.find("\r\n"), huge);  // the account name
  ASSERT_TRUE(WriteDataFile("settings.txt", settings));
  ASSERT_TRUE(StartTolvane());
  ASSERT_NE(WaitForMainDialog(60000), nullptr);
  HWND button = ControlOf(FindMainDialog(true), IDC_SETTINGS);
  auto opening = std::chrono::steady_clock::now();
  ASSERT_TRUE(Click(button));
  HWND dialog = WaitForWindowOf(pid(), {kDialogClass, "Settings"}, 120000);
  ASSERT_NE(dialog, nullptr);
  auto openMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - opening)
                    .count();
  RecordProperty("settings_open_ms_100MB_line", std::to_string(openMs));
  std::printf("Settings with a 100 MB line opened in %lld ms\n",
              static_cast<long long>(openMs));
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_OWNER_NAME), "Sam"));
  HWND ok = ControlOf(dialog, IDOK);
  ASSERT_TRUE(Click(ok));
  ASSERT_TRUE(WaitUntilGone(dialog, 120000));
  auto saved = ReadDataFile("settings.txt");
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), huge.size() + settings.size() - huge.size() -
                               std::string("Alex").size() * 3 + std::string("Sam").size() * 3);
  EXPECT_EQ(saved->compare(0, huge.size() + 2, huge + "\r\n"), 0) << "the account name is whole";
  EXPECT_NE(saved->find("\r\nSam\r\n"), std::string::npos);
}

TEST_F(BadInput, ThousandsOfTrustedNamesLoadAndSaveWhole) {
  std::vector<std::string> names;
  std::string file;
  for (int i = 0; i < 5000; ++i) {
    names.push_back("buddy" + std::to_string(i) + (i % 7 == 0 ? " \x1A\xFF" : ""));
    file += names.back() + "|";
  }
  file += "\r\n";
  ASSERT_TRUE(WriteDataFile("trustedlist.txt", file));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = Open(IDC_TRUSTED_BUDDIES, "Dialog");
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> shown = ListViewItems(ControlOf(dialog, IDC_TRUSTED_LIST));
  ASSERT_EQ(shown.size(), names.size());
  EXPECT_EQ(shown.front(), names.back());
  EXPECT_EQ(shown.back(), names.front());
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  std::string reversed;
  for (auto name = names.rbegin(); name != names.rend(); ++name) reversed += *name + "|";
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), reversed + "\r\n");
}


// Another program holds a file open without sharing while the panel reads it.
class FileInUse : public PanelTest {};

TEST_F(FileInUse, AnEditorWarnsNamingTheFileAndCancelLeavesIt) {
  const std::string contact = "555-0100\r\nhome\r\nmail\r\ncell\r\nsites\r\n";
  ASSERT_TRUE(WriteDataFile("contact.txt", contact));
  ASSERT_NE(StartWithSettings(), nullptr);
  {
    HeldFile held(DataFile("contact.txt"), HeldFile::Others::kMayNothing);
    ASSERT_TRUE(held.held());
    ASSERT_TRUE(Click(ControlOf(main(), IDC_CONTACT_INFO)));
    auto box = WaitForMessageBox(pid(), std::string("Tolvane"));
    ASSERT_TRUE(box.has_value()) << DescribeWindowsOf(pid());
    EXPECT_NE(box->text.find("could not read"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find(DataFile("contact.txt")), std::string::npos) << box->text;
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    HWND dialog = WaitForWindowOf(pid(), {kDialogClass, "Contact Information"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(ControlOf(dialog, IDC_PHONE)), "");
    ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
  }
  EXPECT_EQ(ReadDataFile("contact.txt"), contact);
  // Once the other program lets go, the file opens as usual.
  HWND dialog = Open(IDC_CONTACT_INFO, "Contact Information");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_PHONE)), "555-0100");
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
}

TEST_F(FileInUse, ASaveWhileHeldIsReportedAndSucceedsOnceReleased) {
  ASSERT_TRUE(WriteDataFile("trustedlist.txt", "alice|\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = Open(IDC_TRUSTED_BUDDIES, "Dialog");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_TRUSTED_NAME), "bob"));
  ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_ADD)));
  ASSERT_TRUE(WaitUntil([&] {
    return ListViewItems(ControlOf(dialog, IDC_TRUSTED_LIST)).size() == 2;
  }));
  {
    HeldFile held(DataFile("trustedlist.txt"), HeldFile::Others::kMayNothing);
    ASSERT_TRUE(held.held());
    ASSERT_TRUE(Click(ControlOf(dialog, IDOK)));
    auto box = WaitForMessageBox(pid(), std::string("Tolvane"));
    ASSERT_TRUE(box.has_value());
    EXPECT_NE(box->text.find("could not save"), std::string::npos) << box->text;
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    EXPECT_TRUE(IsWindowVisible(dialog));
  }
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "alice|\r\n");
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "alice|bob|\r\n");
}

}  // namespace
}  // namespace e2e
