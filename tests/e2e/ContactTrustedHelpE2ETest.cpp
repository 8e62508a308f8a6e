// Contact Information, Trusted Buddies, Help! and Saved Messages, opened
// from the main dialog and used as a user does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/Scenario.h"
#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/RemoteListView.h"

namespace e2e {
namespace {

using Names = std::vector<std::string>;

// ---- Contact Information --------------------------------------------------

class ContactDialog : public PanelTest {
 protected:
  HWND OpenContact() { return Open(IDC_CONTACT_INFO, "Contact Information"); }
};

TEST_F(ContactDialog, ShowsFiveLinesAndSavesWhatTheUserTyped) {
  ASSERT_TRUE(WriteDataFile("contact.txt",
                            "555-0100\r\nhttp://home.example\r\nold@example.org\r\n"
                            "555-0199\r\nsites\r\nsixth\r\nseventh\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenContact();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_PHONE)), "555-0100");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_HOMEPAGE)), "http://home.example");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_EMAIL)), "old@example.org");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_CELL_PHONE)), "555-0199");
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_WEBSITES)), "sites");
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_EMAIL), "alex@example.org"));
  ASSERT_NO_FATAL_FAILURE(
      ReplaceText(ControlOf(dialog, IDC_WEBSITES), "one.example, two.example"));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("contact.txt"),
            "555-0100\r\nhttp://home.example\r\nalex@example.org\r\n555-0199\r\n"
            "one.example, two.example\r\n");
}

TEST_F(ContactDialog, AMissingFileIsCreatedAndAllEmptyWritesFiveLineEnds) {
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenContact();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ReadDataFile("contact.txt"), std::string()) << "created when opened";
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("contact.txt"), "\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(ContactDialog, CancelAfterEditsLeavesTheFile) {
  ASSERT_TRUE(WriteDataFile("contact.txt", "1\r\n2\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenContact();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_PHONE), "changed"));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadDataFile("contact.txt"), "1\r\n2\r\n");
}

TEST_F(ContactDialog, AFailedSaveIsReportedAndTheEditsStay) {
  ASSERT_TRUE(WriteDataFile("contact.txt", "old\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenContact();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_PHONE), "typed"));
  HeldFile held(DataFile("contact.txt"), HeldFile::Others::kMayRead);
  ASSERT_TRUE(held.held());
  ASSERT_TRUE(Click(ControlOf(dialog, IDOK)));
  std::optional<MessageBoxContent> box =
      WaitForMessageBox(pid(), std::string("Tolvane"), 15000);
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(DataFile("contact.txt")), std::string::npos) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_PHONE)), "typed");
  EXPECT_EQ(ReadDataFile("contact.txt"), "old\r\n");
}

// ---- Trusted Buddies ------------------------------------------------------

class TrustedDialog : public PanelTest {
 protected:
  HWND OpenTrusted() { return Open(IDC_TRUSTED_BUDDIES, "Dialog"); }
  HWND List(HWND dialog) { return ControlOf(dialog, IDC_TRUSTED_LIST); }
  // Types a name and presses Add; waits until the list has grown.
  void AddName(HWND dialog, const std::string& name) {
    std::size_t before = ListViewItems(List(dialog)).size();
    ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_TRUSTED_NAME), name));
    ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_ADD)));
    ASSERT_TRUE(WaitUntil([&] { return ListViewItems(List(dialog)).size() == before + 1; }));
  }
  // Clicks an item of the list, as a user selects it.
  void ClickItem(HWND dialog, int index) {
    std::optional<RECT> rect = ListViewItemRect(List(dialog), index);
    ASSERT_TRUE(rect) << "no item " << index;
    ASSERT_TRUE(BringToFront(dialog));
    ClickAt({rect->left + 4, (rect->top + rect->bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return ListViewItemSelected(List(dialog), index); }));
  }
};

TEST_F(TrustedDialog, ShowsTheNamesLastToFirstAndOkWritesThemTopToBottom) {
  ASSERT_TRUE(WriteDataFile("trustedlist.txt", "alice|bob|carol|\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenTrusted();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ListViewItems(List(dialog)), (Names{"carol", "bob", "alice"}));
  ASSERT_NO_FATAL_FAILURE(AddName(dialog, "dave"));
  EXPECT_EQ(TextOf(ControlOf(dialog, IDC_TRUSTED_NAME)), "dave") << "the edit keeps it";
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "carol|bob|alice|dave|\r\n");
}

TEST_F(TrustedDialog, RemoveWithNothingSelectedDeletesNothingThenRemovesTheClickedName) {
  ASSERT_TRUE(WriteDataFile("trustedlist.txt", "a|b|c|\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenTrusted();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_REMOVE)));
  Pause(300);
  EXPECT_EQ(ListViewItems(List(dialog)), (Names{"c", "b", "a"}));
  ASSERT_NO_FATAL_FAILURE(ClickItem(dialog, 1));
  ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_REMOVE)));
  ASSERT_TRUE(WaitUntil([&] { return ListViewItems(List(dialog)).size() == 2; }));
  EXPECT_EQ(ListViewItems(List(dialog)), (Names{"c", "a"}));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "c|a|\r\n");
}

TEST_F(TrustedDialog, ANameWithABarIsRefusedWithAReason) {
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenTrusted();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(ReplaceText(ControlOf(dialog, IDC_TRUSTED_NAME), "al|ice"));
  ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_ADD)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find("\"|\""), std::string::npos) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(ListViewItems(List(dialog)).empty());
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "\r\n");
}

TEST_F(TrustedDialog, CancelAfterAddAndRemoveLeavesTheFile) {
  ASSERT_TRUE(WriteDataFile("trustedlist.txt", "x|y|\r\nsecond line\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  HWND dialog = OpenTrusted();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NO_FATAL_FAILURE(AddName(dialog, "zed"));
  ASSERT_NO_FATAL_FAILURE(ClickItem(dialog, 0));
  ASSERT_TRUE(Click(ControlOf(dialog, IDC_TRUSTED_REMOVE)));
  ASSERT_TRUE(WaitUntil([&] { return ListViewItems(List(dialog)).size() == 2; }));
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadDataFile("trustedlist.txt"), "x|y|\r\nsecond line\r\n");
}

// ---- Help! and Saved Messages ---------------------------------------------

// Registers the stand-in page opener as the program for .html files, as a
// browser registers itself (in the classes root: this Wine does not look at
// the user's own classes), and puts the old association back afterwards.
class PagesTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    opener_ = StandinsFolder() + "\\..\\opener\\page-opener.exe";
    char old[256] = {};
    LONG size = sizeof old;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, ".html", old, &size) == ERROR_SUCCESS) {
      oldHtmlClass_ = old;
    }
    SetClassValue(".html", "TolvaneTestPage");
    SetClassValue("TolvaneTestPage\\shell\\open\\command",
                  "\"" + opener_ + "\" \"%1\"");
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "TolvaneTestPage");
    if (!oldHtmlClass_.empty()) SetClassValue(".html", oldHtmlClass_);
    PanelTest::TearDown();
  }
  static void SetClassValue(const std::string& key, const std::string& value) {
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size())),
              ERROR_SUCCESS);
  }
  std::vector<StandinRun> Pages() const { return StandinRuns("page"); }
  std::string SavedMessagesFolder() const {
    return "C:\\Documents and Settings\\" + UserName() + "\\Tolvane";
  }
  // Presses Saved Messages and returns the box that shows mrecived.txt.
  std::optional<MessageBoxContent> PressSavedMessages() {
    if (!Click(ControlOf(main(), IDC_SAVED_MESSAGES))) return std::nullopt;
    return WaitForMessageBox(pid(), std::string("Tolvane"));
  }
  HWND WaitForOpenDialog() { return WaitForWindowOf(pid(), {kDialogClass, "Open"}); }

  std::string opener_;
  std::string oldHtmlClass_;
};

using HelpButton = PagesTest;
using SavedMessages = PagesTest;

TEST_F(HelpButton, HandsTheHelpPageToTheShell) {
  ASSERT_TRUE(WriteDataFile("README.html", "<html><body>Help</body></html>\r\n"));
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_TRUE(Click(ControlOf(main(), IDC_HELP_BUTTON)));
  ASSERT_TRUE(WaitUntil([&] { return !Pages().empty(); })) << LogText();
  EXPECT_EQ(Pages()[0].Value("arg1"), DataFile("README.html"));
  EXPECT_NE(Pages()[0].Value("wShowWindow"), std::to_string(SW_HIDE))
      << "the page opens where the user can see it";
  ASSERT_TRUE(WaitForConsoleToClose(Pages()[0]));
  // The panel goes on answering.
  ASSERT_TRUE(Click(ControlOf(main(), IDC_CONTACT_INFO)));
  HWND contact = WaitForWindowOf(pid(), {kDialogClass, "Contact Information"});
  ASSERT_NE(contact, nullptr);
  ASSERT_NO_FATAL_FAILURE(ClickAndWaitClosed(contact, IDCANCEL));
}

TEST_F(HelpButton, AMissingHelpPageIsReportedAndNothingIsOpened) {
  ASSERT_NE(StartWithSettings(), nullptr);
  ASSERT_TRUE(Click(ControlOf(main(), IDC_HELP_BUTTON)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(DataFile("README.html")), std::string::npos) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(Pages().empty());
  EXPECT_TRUE(IsWindowEnabled(main()));
}

TEST_F(SavedMessages, AMissingFileShowsAnEmptyBoxThenTheOpenDialogWhichCancelsCleanly) {
  ASSERT_NE(StartWithSettings(), nullptr);
  std::optional<MessageBoxContent> box = PressSavedMessages();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  HWND open = WaitForOpenDialog();
  ASSERT_NE(open, nullptr);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntilGone(open));
  Pause(300);
  EXPECT_TRUE(Pages().empty());
  EXPECT_FALSE(ReadDataFile("mrecived.txt")) << "the panel never makes this file";
}

TEST_F(SavedMessages, AnEmptyFileShowsAnEmptyBox) {
  ASSERT_TRUE(WriteDataFile("mrecived.txt", ""));
  ASSERT_NE(StartWithSettings(), nullptr);
  std::optional<MessageBoxContent> box = PressSavedMessages();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  HWND open = WaitForOpenDialog();
  ASSERT_NE(open, nullptr);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntilGone(open));
}

TEST_F(SavedMessages, ALongFirstLineShowsItsFirst499BytesThenAChosenPageOpens) {
  const std::string line = std::string(499, 'm') + std::string(101, 'x');
  ASSERT_TRUE(WriteDataFile("mrecived.txt", line + "\r\nsecond\r\n"));
  const std::string folder = SavedMessagesFolder();
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(folder + "\\chat-2026-12-07.html", "<html></html>"));
  ASSERT_NE(StartWithSettings(), nullptr);

  std::optional<MessageBoxContent> box = PressSavedMessages();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, std::string(499, 'm'));
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));

  HWND open = WaitForOpenDialog();
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(BringToFront(open));
  // The dialog starts in the saved-messages folder: the bare name is found
  // there.
  TypeText("chat-2026-12-07.html");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntilGone(open));
  ASSERT_TRUE(WaitUntil([&] { return !Pages().empty(); })) << LogText();
  EXPECT_EQ(Pages()[0].Value("arg1"), folder + "\\chat-2026-12-07.html");
  DeleteFileA((folder + "\\chat-2026-12-07.html").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace e2e
