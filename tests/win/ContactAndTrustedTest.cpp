#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "settings/ContactInfoDlg.h"
#include "settings/TrustedBuddiesDlg.h"
#include "tests/support/TestFolder.h"
#include "tests/win/DialogProbe.h"
#include "tests/win/MessageBoxCatcher.h"

namespace {

using namespace tolvane::testing;

class EditorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { InitControls(); }
  TempFolder data;
};

using ContactDialog = EditorDialogTest;
using TrustedDialog = EditorDialogTest;
using Names = std::vector<std::string>;

TEST_F(ContactDialog, AMissingFileIsCreatedEvenWhenCancelled) {
  CContactInfoDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Text(dialog, IDC_PHONE), "");
  Press(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("contact.txt"), "");
}

TEST_F(ContactDialog, ShowsFiveLinesAndOkWritesFive) {
  data.Write("contact.txt", "555\r\nhttp://h\r\nme@x\r\n666\r\nsites\r\nsix\r\nseven\r\n");
  CContactInfoDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Text(dialog, IDC_PHONE), "555");
  EXPECT_EQ(Text(dialog, IDC_HOMEPAGE), "http://h");
  EXPECT_EQ(Text(dialog, IDC_EMAIL), "me@x");
  EXPECT_EQ(Text(dialog, IDC_CELL_PHONE), "666");
  EXPECT_EQ(Text(dialog, IDC_WEBSITES), "sites");
  SetText(dialog, IDC_EMAIL, "new@x");
  Press(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("contact.txt"), "555\r\nhttp://h\r\nnew@x\r\n666\r\nsites\r\n");
}

TEST_F(ContactDialog, CancelLeavesTheFile) {
  data.Write("contact.txt", "a\r\nb\r\n");
  CContactInfoDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_PHONE, "changed");
  Press(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("contact.txt"), "a\r\nb\r\n");
}

TEST_F(ContactDialog, AFailedSaveKeepsTheDialogAndTheOldFile) {
  data.Write("contact.txt", "old\r\n");
  CContactInfoDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_PHONE, "typed");
  SetFileAttributesA(data.file("contact.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  MessageBoxCatcher catcher;
  Press(dialog, IDOK);
  SetFileAttributesA(data.file("contact.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find(data.file("contact.txt")), std::string::npos);
  ASSERT_NE(dialog.hwnd(), nullptr);
  EXPECT_EQ(Text(dialog, IDC_PHONE), "typed");
  EXPECT_EQ(data.Read("contact.txt"), "old\r\n");
  Press(dialog, IDCANCEL);
}

TEST_F(TrustedDialog, ShowsTheNamesLastToFirstAndOkReversesTheFile) {
  data.Write("trustedlist.txt", "alice|bob|carol|\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Items(dialog, IDC_TRUSTED_LIST), (Names{"carol", "bob", "alice"}));
  EXPECT_EQ(dialog.itemCount(), 3);
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "carol|bob|alice|\r\n");
}

TEST_F(TrustedDialog, OnlyTheFirstLineAndWholeEntriesCount) {
  data.Write("trustedlist.txt", "alice|bob\r\nzed|\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Items(dialog, IDC_TRUSTED_LIST), (Names{"alice"}));
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "alice|\r\n");
}

TEST_F(TrustedDialog, AddAppendsAndKeepsTheEditText) {
  data.Write("trustedlist.txt", "||\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(Items(dialog, IDC_TRUSTED_LIST), (Names{"", ""}));
  SetText(dialog, IDC_TRUSTED_NAME, "dave");
  Press(dialog, IDC_TRUSTED_ADD);
  Press(dialog, IDC_TRUSTED_ADD);  // the same name again is added again
  EXPECT_EQ(Text(dialog, IDC_TRUSTED_NAME), "dave");
  SetText(dialog, IDC_TRUSTED_NAME, "");
  Press(dialog, IDC_TRUSTED_ADD);
  EXPECT_EQ(dialog.itemCount(), 5);
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "||dave|dave||\r\n");
}

TEST_F(TrustedDialog, ANameWithABarIsRefused) {
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_TRUSTED_NAME, "al|ice");
  MessageBoxCatcher catcher;
  Press(dialog, IDC_TRUSTED_ADD);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find("\"|\""), std::string::npos);
  EXPECT_EQ(dialog.itemCount(), 0);
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "\r\n");
}

TEST_F(TrustedDialog, RemoveTakesOnlyTheItemAtTheSelectionMark) {
  data.Write("trustedlist.txt", "a|b|c|\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  Press(dialog, IDC_TRUSTED_REMOVE);  // nothing selected yet: nothing goes
  EXPECT_EQ(dialog.itemCount(), 3);
  Mark(dialog, IDC_TRUSTED_LIST, 1);
  Press(dialog, IDC_TRUSTED_REMOVE);
  EXPECT_EQ(Items(dialog, IDC_TRUSTED_LIST), (Names{"c", "a"}));
  EXPECT_EQ(dialog.itemCount(), 2);
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "c|a|\r\n");
}

TEST_F(TrustedDialog, CancelAfterChangesLeavesTheFile) {
  data.Write("trustedlist.txt", "a|b|\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_TRUSTED_NAME, "x");
  Press(dialog, IDC_TRUSTED_ADD);
  Mark(dialog, IDC_TRUSTED_LIST, 0);
  Press(dialog, IDC_TRUSTED_REMOVE);
  Press(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("trustedlist.txt"), "a|b|\r\n");
}

TEST_F(TrustedDialog, AMissingFileIsCreatedEmptyAndAnEmptyListWritesALineEnd) {
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(data.Read("trustedlist.txt"), "");
  Press(dialog, IDOK);
  EXPECT_EQ(data.Read("trustedlist.txt"), "\r\n");
}

TEST_F(TrustedDialog, AFailedSaveKeepsTheDialogAndItsList) {
  data.Write("trustedlist.txt", "a|\r\n");
  CTrustedBuddiesDlg dialog(data.folder(), nullptr);
  ASSERT_TRUE(dialog.Create(nullptr));
  SetText(dialog, IDC_TRUSTED_NAME, "b");
  Press(dialog, IDC_TRUSTED_ADD);
  data.RemoveAll();
  MessageBoxCatcher catcher;
  Press(dialog, IDOK);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find("trustedlist.txt"), std::string::npos);
  ASSERT_NE(dialog.hwnd(), nullptr);
  EXPECT_EQ(Items(dialog, IDC_TRUSTED_LIST), (Names{"a", "b"}));
  Press(dialog, IDCANCEL);
}

}  // namespace
