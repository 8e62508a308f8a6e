// The three buddy message dialogs in process: real windows, real window
// messages, files in a temporary data folder checked byte for byte.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/WholeNumber.h"
#include "framework/Dialog.h"
#include "messages/AwayMessagesDlg.h"
#include "messages/DeliverMessagesDlg.h"
#include "messages/MessageFiles.h"
#include "messages/ScheduleMessageDlg.h"
#include "tests/support/TestFolder.h"
#include "tests/win/DialogProbe.h"
#include "tests/win/MessageBoxCatcher.h"

namespace {

using namespace tolvane::testing;
using Names = std::vector<std::string>;

constexpr char kQuestion[] =
    "The message content has changed. Would you like to save these changes?";

// Runs the thread's messages for a while, as a message loop would.
void Pump(DWORD ms = 100) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < ms);
}

HWND Item(const fw::Dialog& dialog, int id) { return GetDlgItem(dialog.hwnd(), id); }

// Keys typed into a control; "\n" is the Enter key.
void Type(HWND control, const std::string& text) {
  for (char c : text) {
    SendMessageA(control, WM_CHAR, static_cast<WPARAM>(c == '\n' ? '\r' : c), 1);
  }
}

// A press of the left mouse button at a point of a control's client area,
// held for `holdMs` before it is released.
void MouseClick(HWND control, POINT at, DWORD holdMs = 0) {
  LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
  if (holdMs > 0) Pump(holdMs);
  PostMessageA(control, WM_LBUTTONUP, 0, where);
  Pump(60);
}

void ClickButton(const fw::Dialog& dialog, int id, DWORD holdMs = 0) {
  MouseClick(Item(dialog, id), POINT{3, 3}, holdMs);
}

void ClickEntry(const fw::Dialog& dialog, int index) {
  HWND list = Item(dialog, IDC_KEY_LIST);
  RECT r{};
  ASSERT_TRUE(ListView_GetItemRect(list, index, &r, LVIR_LABEL));
  MouseClick(list, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Gives the message editor the focus and types into it.
void TypeMessage(const fw::Dialog& dialog, const std::string& text) {
  SetFocus(Item(dialog, IDC_MESSAGE_EDITOR));
  Type(Item(dialog, IDC_MESSAGE_EDITOR), text);
}

void AddBuddy(const fw::Dialog& dialog, const std::string& name) {
  SetText(dialog, IDC_BUDDY_NAME, name);
  ClickButton(dialog, IDC_BUDDY_ADD);
}

std::string Editor(const fw::Dialog& dialog) { return Text(dialog, IDC_MESSAGE_EDITOR); }

bool IsSaveQuestion(const CaughtBox& box) {
  return box.text == kQuestion && box.caption == "Save Message?";
}

class MessageDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { InitControls(); }

  // Creates the dialog on the temporary data folder, shown and active so
  // that the focus moves as it does for a user.
  template <class T>
  T& Open() {
    auto dialog = std::make_unique<T>(data.folder(), nullptr);
    T& ref = *dialog;
    EXPECT_TRUE(ref.Create(nullptr));
    ShowWindow(ref.hwnd(), SW_SHOW);
    SetForegroundWindow(ref.hwnd());
    SetActiveWindow(ref.hwnd());
    Pump(20);
    dialog_ = std::move(dialog);
    return ref;
  }

  TempFolder data;
  std::unique_ptr<fw::Dialog> dialog_;
};

using AwayDialog = MessageDialogTest;
using DeliverDialog = MessageDialogTest;
using ScheduleDialog = MessageDialogTest;

// ---- Away Messages ----------------------------------------------------------

TEST_F(AwayDialog, ShowsTheListLastToFirstAndOkWritesItInThatOrder) {
  data.Write("buddya.txt", "bob|amy|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"amy", "bob"}));
  EXPECT_EQ(Text(dialog, IDC_BUDDY_NAME), "");
  EXPECT_EQ(Editor(dialog), "");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|bob|\r\n");
}

TEST_F(AwayDialog, AddTypeLeaveYesClickRemoveOk) {
  data.Write("buddya.txt", "zed|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);

  AddBuddy(dialog, "bob");
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"zed", "bob"}));
  EXPECT_EQ(data.Read("boba.txt"), "");  // exists at once
  EXPECT_EQ(Text(dialog, IDC_BUDDY_NAME), "");

  TypeMessage(dialog, "back at\nfive");
  EXPECT_TRUE(catcher.boxes().empty());
  SetFocus(Item(dialog, IDC_BUDDY_NAME));  // the editor loses the focus
  Pump();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0]));
  EXPECT_EQ(catcher.boxes()[0].owner, dialog.hwnd());
  EXPECT_EQ(catcher.boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(catcher.boxes()[0].icon, LoadIconA(nullptr, IDI_QUESTION));
  EXPECT_EQ(data.Read("boba.txt"), "back at\r\nfive");

  // Another entry, then bob again: exactly the saved text.
  ClickEntry(dialog, 0);
  EXPECT_EQ(data.Read("zeda.txt"), "");
  EXPECT_EQ(Editor(dialog), "");
  ClickEntry(dialog, 1);
  EXPECT_EQ(Editor(dialog), "back at\r\nfive");
  EXPECT_EQ(catcher.boxes().size(), 1u);  // showing a message is no change

  ClickEntry(dialog, 0);
  ClickButton(dialog, IDC_BUDDY_REMOVE);
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"bob"}));
  EXPECT_TRUE(data.Exists("zeda.txt"));
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
  EXPECT_EQ(data.Listing(), "boba.txt;buddya.txt;zeda.txt;");
}

TEST_F(AwayDialog, OkClickedRightAfterTypingAsksFirstAndYesSavesBoth) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "gone");
  // The button is held down a while, as a person holds it: the question
  // waits for the click and comes before OK's own action.
  ClickButton(dialog, IDOK, 150);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0]));
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("boba.txt"), "gone");
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
}

// A click with the system's own mouse input, as a person clicks: the cursor
// moves to a point of the control and the button is held for a moment.
void RealClick(HWND control, POINT at) {
  ClientToScreen(control, &at);
  SetCursorPos(at.x, at.y);
  Pump(30);
  // The X server reports pointer moves back late, which can put Wine's
  // pointer back where it was a moment ago: the button events carry the
  // point themselves, or the release may land elsewhere.
  INPUT press{};
  press.type = INPUT_MOUSE;
  press.mi.dx = (at.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
  press.mi.dy = (at.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
  press.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  INPUT release = press;
  release.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  SendInput(1, &press, sizeof press);
  Pump(150);
  SendInput(1, &release, sizeof release);
}

// Runs the thread's messages until the condition holds (true) or ten
// seconds have passed (false): what a real click does comes in its time.
template <class Condition>
bool PumpUntil(Condition condition) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > 10000) return false;
    Pump(10);
  }
  return true;
}

POINT Middle(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return POINT{r.right / 2, r.bottom / 2};
}

TEST_F(AwayDialog, ARealMouseClickOnOkAfterTypingAsksFirstAndYesSavesBoth) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "real\nmouse");
  RealClick(Item(dialog, IDOK), Middle(Item(dialog, IDOK)));
  ASSERT_TRUE(PumpUntil([&] { return dialog.hwnd() == nullptr; })) << "the dialog stays open";
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0]));
  EXPECT_EQ(data.Read("boba.txt"), "real\r\nmouse");
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
}

TEST_F(AwayDialog, ARealMouseClickOnAnEntryAfterTypingAsksAndThenShowsIt) {
  data.Write("buddya.txt", "amy|\r\n");
  data.Write("amya.txt", "amy's");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "for bob");
  HWND list = Item(dialog, IDC_KEY_LIST);
  RECT r{};
  ASSERT_TRUE(ListView_GetItemRect(list, 0, &r, LVIR_LABEL));
  RealClick(list, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_TRUE(PumpUntil([&] { return Editor(dialog) == "amy's"; }))
      << "the editor shows \"" << Editor(dialog) << "\"";
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(data.Read("boba.txt"), "for bob");
  EXPECT_EQ(dialog.editor().currentMessageFile(), data.file("amya.txt"));
}

TEST_F(AwayDialog, AClickOnTheListAfterTypingAsksAndThenSelects) {
  data.Write("buddya.txt", "bob|amy|\r\n");
  data.Write("boba.txt", "bob's");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDNO);
  ClickEntry(dialog, 0);  // amy
  TypeMessage(dialog, "for amy");
  ClickEntry(dialog, 1);  // bob
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(data.Read("amya.txt"), "");  // No
  EXPECT_EQ(Editor(dialog), "bob's");
  EXPECT_EQ(dialog.editor().currentMessageFile(), data.file("boba.txt"));
  ClickButton(dialog, IDCANCEL);
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST_F(AwayDialog, NoAsksAgainOnlyAfterAFurtherChange) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDNO);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "x");
  SetFocus(Item(dialog, IDC_BUDDY_NAME));
  Pump();
  TypeMessage(dialog, "");
  SetFocus(Item(dialog, IDC_BUDDY_NAME));
  Pump();
  EXPECT_EQ(catcher.boxes().size(), 1u);
  TypeMessage(dialog, "y");
  SetFocus(Item(dialog, IDC_BUDDY_NAME));
  Pump();
  EXPECT_EQ(catcher.boxes().size(), 2u);
  EXPECT_EQ(Editor(dialog), "xy");
  EXPECT_EQ(data.Read("boba.txt"), "");
}

TEST_F(AwayDialog, TheFocusGoingToAnotherWindowAsks) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "elsewhere");
  HWND other = CreateWindowExA(0, "EDIT", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               500, 400, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  SetFocus(other);
  Pump();
  DestroyWindow(other);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0]));
  EXPECT_EQ(data.Read("boba.txt"), "elsewhere");
}

// Escape reaches Cancel while the editor still has the focus: the question's
// box then takes the focus from the editor, which must not ask a second time.
TEST_F(AwayDialog, EscapeAfterTypingAsksOnceAndThenCloses) {
  data.Write("buddya.txt", "amy|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "kept");
  SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  Pump();
  EXPECT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("boba.txt"), "kept");
  EXPECT_EQ(data.Read("buddya.txt"), "amy|\r\n");  // Cancel: the list as it was
}

TEST_F(AwayDialog, CancelAfterChangesKeepsTheListAndTheMessagesWritten) {
  data.Write("buddya.txt", "amy|bob|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "carl");
  TypeMessage(dialog, "hello carl");
  ClickEntry(dialog, 0);
  ClickButton(dialog, IDC_BUDDY_REMOVE);
  ClickButton(dialog, IDCANCEL);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|bob|\r\n");
  EXPECT_EQ(data.Read("carla.txt"), "hello carl");
  EXPECT_EQ(data.Read("boba.txt"), "");
}

TEST_F(AwayDialog, AnUnsafeNameIsRefusedWithItsReasonAndNothingChanges) {
  data.Write("buddya.txt", "amy|\r\n");
  data.Write("amya.txt", "amy's");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  const std::string before = data.Listing();
  MessageBoxCatcher catcher;
  AddBuddy(dialog, "buddy");
  AddBuddy(dialog, "a|b");
  AddBuddy(dialog, "CON.x");  // "CON.xa.txt": the device CON
  ASSERT_EQ(catcher.boxes().size(), 3u);
  EXPECT_NE(catcher.boxes()[0].text.find("buddya.txt"), std::string::npos);
  EXPECT_NE(catcher.boxes()[1].text.find("\"|\""), std::string::npos);
  EXPECT_NE(catcher.boxes()[2].text.find("device"), std::string::npos);
  EXPECT_EQ(Text(dialog, IDC_BUDDY_NAME), "CON.x");
  EXPECT_EQ(GetFocus(), Item(dialog, IDC_BUDDY_NAME));
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"amy"}));
  EXPECT_EQ(data.Listing(), before);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|\r\n");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|\r\n");
}

TEST_F(AwayDialog, AFailedMessageSaveNamesTheFileAndKeepsTheText) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  SetFileAttributesA(data.file("boba.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  TypeMessage(dialog, "precious");
  ClickButton(dialog, IDOK);
  SetFileAttributesA(data.file("boba.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(catcher.boxes().size(), 2u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0]));
  EXPECT_NE(catcher.boxes()[1].text.find(data.file("boba.txt")), std::string::npos);
  ASSERT_NE(dialog.hwnd(), nullptr);  // OK stopped
  EXPECT_EQ(Editor(dialog), "precious");
  EXPECT_EQ(data.Read("buddya.txt"), "");
  ClickButton(dialog, IDOK);  // asked again, and now it can be saved
  EXPECT_EQ(catcher.boxes().size(), 3u);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("boba.txt"), "precious");
  EXPECT_EQ(data.Read("buddya.txt"), "bob|\r\n");
}

// ---- files the editors did not write ------------------------------------

// Entries with NUL bytes, Ctrl-Z, a lone CR and bytes that are no valid
// characters: listed, and written back by OK exactly as they were.
TEST_F(AwayDialog, StrangeBytesInTheListAreListedAndWrittenBackAsTheyWere) {
  const std::string odd1("nul\0inside", 10);
  const std::string odd2 = "ctrl\x1Az";
  const std::string odd3 = "\xFF\xFE\x81\x80";
  const std::string odd4 = "lone\rcr";
  data.Write("buddya.txt", odd1 + "|" + odd2 + "|" + odd3 + "|" + odd4 + "|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher;
  EXPECT_EQ(ListView_GetItemCount(Item(dialog, IDC_KEY_LIST)), 4);
  SetText(dialog, IDC_BUDDY_NAME, "newcomer");
  ClickButton(dialog, IDC_BUDDY_ADD);
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog_->hwnd(), nullptr);
  // Shown last to first, and written as shown, with the new entry last.
  EXPECT_EQ(data.Read("buddya.txt"),
            odd4 + "|" + odd3 + "|" + odd2 + "|" + odd1 + "|newcomer|\r\n");
  // Names Windows does not allow in a file name get no message file.
  EXPECT_FALSE(data.Exists(odd4 + "a.txt"));
}

// A message with bytes the edit box cannot show is shown read-only, with a
// word why: typing changes nothing, and the file stays as it was.
TEST_F(AwayDialog, AMessageWithBytesTheEditCannotShowIsShownReadOnlyAndKept) {
  const std::string message("before\0after\x1A\xFF end", 18);
  data.Write("buddya.txt", "amy|\r\n");
  data.Write("amya.txt", message);
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  ClickEntry(dialog, 0);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find(data.file("amya.txt")), std::string::npos);
  TypeMessage(dialog, "typed");
  EXPECT_EQ(Editor(dialog), "before");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(dialog_->hwnd(), nullptr);
  EXPECT_EQ(data.Read("amya.txt"), message);
}

// A list of one line of 100 MB (one entry) opens, and OK writes it back
// whole.
TEST_F(DeliverDialog, AHundredMegabyteListLineOpensAndIsWrittenBackWhole) {
  std::string huge(100u << 20, 'n');
  data.Write("buddym.txt", huge + "|\r\n");
  CDeliverMessagesDlg& dialog = Open<CDeliverMessagesDlg>();
  MessageBoxCatcher catcher;
  EXPECT_EQ(ListView_GetItemCount(Item(dialog, IDC_KEY_LIST)), 1);
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog_->hwnd(), nullptr);
  std::optional<std::string> written = data.Read("buddym.txt");
  ASSERT_TRUE(written);
  EXPECT_EQ(written->size(), huge.size() + 3);
  EXPECT_TRUE(*written == huge + "|\r\n");
}

// The longest name the dialog accepts gets its message file and its
// message saved; one character more is refused with the reason and changes
// nothing.
TEST_F(AwayDialog, TheLongestAcceptedNameHasItsMessageSavedAndALongerOneIsRefused) {
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  std::size_t room = MAX_PATH;
  while (!tolvane::MessageFileProblem(data.folder(), std::string(room, 'L'), "a.txt").empty()) {
    --room;
  }
  const std::string longest(room, 'L');
  AddBuddy(dialog, longest);
  TypeMessage(dialog, "long\nname");
  SetFocus(Item(dialog, IDC_BUDDY_NAME));  // the editor loses the focus
  Pump();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(IsSaveQuestion(catcher.boxes()[0])) << catcher.boxes()[0].text;
  EXPECT_EQ(data.Read(longest + "a.txt"), "long\r\nname");
  const std::string before = data.Listing();
  AddBuddy(dialog, std::string(room + 1, 'T'));
  ASSERT_EQ(catcher.boxes().size(), 2u);
  EXPECT_NE(catcher.boxes()[1].text.find("too long"), std::string::npos)
      << catcher.boxes()[1].text;
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{longest}));
  EXPECT_EQ(data.Listing(), before);
  ClickButton(dialog, IDOK);
  EXPECT_EQ(data.Read("buddya.txt"), longest + "|\r\n");
}

// An over-long name from a hand-edited list is listed, but no message file
// is tried for it: a click says why.
TEST_F(DeliverDialog, AnOverLongNameFromTheListFileIsListedWithoutAMessageFile) {
  const std::string name(300, 'x');
  data.Write("buddym.txt", name + "|\r\n");
  CDeliverMessagesDlg& dialog = Open<CDeliverMessagesDlg>();
  MessageBoxCatcher catcher;
  // The label is wider than the list: a click near its start.
  HWND list = Item(dialog, IDC_KEY_LIST);
  RECT r{};
  ASSERT_TRUE(ListView_GetItemRect(list, 0, &r, LVIR_LABEL));
  MouseClick(list, POINT{r.left + 5, (r.top + r.bottom) / 2});
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find("cannot have a message"), std::string::npos)
      << catcher.boxes()[0].text;
  EXPECT_NE(catcher.boxes()[0].text.find("it is too long"), std::string::npos)
      << catcher.boxes()[0].text;
  ClickButton(dialog, IDOK);
  EXPECT_EQ(data.Read("buddym.txt"), name + "|\r\n");
}

// Typed, saved, shown again and changed at its end: the whole message each
// time.
TEST_F(AwayDialog, AMessageLongerThanTheEditDefaultIsTypedShownAndSavedWhole) {
  data.Write("buddya.txt", "amy|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  AddBuddy(dialog, "bob");
  const std::string longText(40000, 'w');
  HWND editor = Item(dialog, IDC_MESSAGE_EDITOR);
  SetFocus(editor);
  SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(longText.c_str()));
  Type(editor, "!");
  ClickEntry(dialog, 0);
  EXPECT_EQ(data.Read("boba.txt"), longText + "!");
  ClickEntry(dialog, 1);
  ASSERT_EQ(Editor(dialog), longText + "!");
  SetFocus(editor);
  const int end = GetWindowTextLengthA(editor);
  SendMessageA(editor, EM_SETSEL, end, end);
  Type(editor, "?");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(catcher.boxes().size(), 2u);
  EXPECT_EQ(data.Read("boba.txt"), longText + "!?");
}

// The list shows the dialog's own entries: every one whole, and typing in
// the list finds the next entry that begins with the letters typed.
TEST_F(AwayDialog, TheListShowsLongEntriesWholeAndTypingFindsAnEntry) {
  const std::string longName(150, 'q');
  data.Write("buddya.txt", "bob|" + longName + "|amy|Bea|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"Bea", "amy", longName, "bob"}));
  HWND list = Item(dialog, IDC_KEY_LIST);
  SetFocus(list);
  SendMessageA(list, WM_CHAR, 'b', 1);
  Pump(20);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
  Pump(1200);  // a pause ends the typed word
  SendMessageA(list, WM_CHAR, 'b', 1);
  Pump(20);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 3);
  SendMessageA(list, WM_CHAR, 'z', 1);  // "bz": no entry, the selection stays
  Pump(20);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 3);
}

TEST_F(AwayDialog, AFailedListSaveNamesTheFileAndOkWaitsForASaveThatWorks) {
  data.Write("buddya.txt", "amy|\r\n");
  CAwayMessagesDlg& dialog = Open<CAwayMessagesDlg>();
  MessageBoxCatcher catcher;
  AddBuddy(dialog, "bob");
  SetFileAttributesA(data.file("buddya.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ClickButton(dialog, IDOK);
  SetFileAttributesA(data.file("buddya.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find(data.file("buddya.txt")), std::string::npos);
  ASSERT_NE(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|\r\n");
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"amy", "bob"}));
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|bob|\r\n");
}

TEST_F(DeliverDialog, AListFileThatCannotBeReadIsReportedOnOpening) {
  data.Write("buddym.txt", "bob|\r\n");
  HANDLE held = CreateFileA(data.file("buddym.txt").c_str(), GENERIC_READ | GENERIC_WRITE,
                            0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  MessageBoxCatcher catcher;
  CDeliverMessagesDlg& dialog = Open<CDeliverMessagesDlg>();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find(data.file("buddym.txt")), std::string::npos);
  EXPECT_TRUE(Items(dialog, IDC_KEY_LIST).empty());
  ClickButton(dialog, IDCANCEL);
  CloseHandle(held);
  EXPECT_EQ(data.Read("buddym.txt"), "bob|\r\n");
}

// Run modally, as the main dialog runs it, and driven from a timer.
struct ModalScript {
  int step = 0;
};
ModalScript g_script;

void CALLBACK DriveModal(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = GetActiveWindow();
  if (dialog == nullptr || GetDlgItem(dialog, IDC_KEY_LIST) == nullptr) return;
  KillTimer(nullptr, id);
  SetDlgItemTextA(dialog, IDC_BUDDY_NAME, "carl");
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUDDY_ADD, BN_CLICKED), 0);
  g_script.step = 1;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(AwayDialog, RunsModallyLikeTheMainDialogRunsIt) {
  data.Write("buddya.txt", "bob|amy|\r\n");
  g_script = ModalScript{};
  SetTimer(nullptr, 0, 50, &DriveModal);
  CAwayMessagesDlg dialog(data.folder(), nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(g_script.step, 1);
  EXPECT_EQ(data.Read("buddya.txt"), "amy|bob|carl|\r\n");
  EXPECT_EQ(data.Read("carla.txt"), "");
}

// ---- Deliver Messages ----------------------------------------------------------

TEST_F(DeliverDialog, KeepsBuddymTxtAndNameTxtFiles) {
  data.Write("buddym.txt", "bob|amy|\r\n");
  CDeliverMessagesDlg& dialog = Open<CDeliverMessagesDlg>();
  MessageBoxCatcher catcher(IDYES);
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"amy", "bob"}));
  AddBuddy(dialog, "carl");
  EXPECT_EQ(data.Read("carl.txt"), "");
  TypeMessage(dialog, "line one\nline two\n");
  ClickEntry(dialog, 1);  // bob: the question first
  EXPECT_EQ(data.Read("carl.txt"), "line one\r\nline two\r\n");
  EXPECT_EQ(data.Read("bob.txt"), "");
  ClickEntry(dialog, 2);
  EXPECT_EQ(Editor(dialog), "line one\r\nline two\r\n");
  AddBuddy(dialog, "settings");
  ASSERT_EQ(catcher.boxes().size(), 2u);
  EXPECT_NE(catcher.boxes()[1].text.find("settings.txt"), std::string::npos);
  ClickButton(dialog, IDOK);
  EXPECT_EQ(data.Read("buddym.txt"), "amy|bob|carl|\r\n");
  EXPECT_EQ(data.Listing(), "bob.txt;buddym.txt;carl.txt;");
}

// ---- Schedule Message ----------------------------------------------------------

TEST_F(ScheduleDialog, AddsTimedEntriesAndWritesOneLineEach) {
  data.Write("schedule.txt", "9:05:bob\r\n14:30:amy");
  CScheduleMessageDlg& dialog = Open<CScheduleMessageDlg>();
  MessageBoxCatcher catcher(IDYES);
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"9:05 bob", "14:30 amy"}));
  EXPECT_EQ(Text(dialog, IDC_HOURS), "0");
  EXPECT_EQ(Text(dialog, IDC_MINUTES), "0");
  SetText(dialog, IDC_HOURS, "24");
  SetText(dialog, IDC_MINUTES, "60");
  AddBuddy(dialog, "john doe");
  EXPECT_EQ(Text(dialog, IDC_HOURS), "0");
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"9:05 bob", "14:30 amy", "24:60 john doe"}));
  EXPECT_EQ(data.Read("john does.txt"), "");
  TypeMessage(dialog, "late");
  ClickEntry(dialog, 0);
  EXPECT_EQ(data.Read("john does.txt"), "late");
  EXPECT_EQ(data.Read("bobs.txt"), "");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:bob\r\n14:30:amy\r\n24:60:john doe");
}

TEST_F(ScheduleDialog, BadTimeFieldsBringTheirMessageAndAddNothing) {
  CScheduleMessageDlg& dialog = Open<CScheduleMessageDlg>();
  MessageBoxCatcher catcher;
  struct Case {
    const char* hours;
    const char* minutes;
    std::string message;
    int field;
  };
  for (const Case& c : {Case{"25", "0", tolvane::OutOfRangeMessage(0, 24), IDC_HOURS},
                        Case{"0", "-1", tolvane::OutOfRangeMessage(0, 60), IDC_MINUTES},
                        Case{"0", "ten", tolvane::NotANumberMessage(), IDC_MINUTES},
                        Case{"", "5", tolvane::NotANumberMessage(), IDC_HOURS}}) {
    SetText(dialog, IDC_HOURS, c.hours);
    SetText(dialog, IDC_MINUTES, c.minutes);
    std::size_t before = catcher.boxes().size();
    AddBuddy(dialog, "bob");
    ASSERT_EQ(catcher.boxes().size(), before + 1) << c.hours << ":" << c.minutes;
    EXPECT_EQ(catcher.boxes().back().text, c.message);
    EXPECT_EQ(GetFocus(), Item(dialog, c.field));
  }
  EXPECT_TRUE(Items(dialog, IDC_KEY_LIST).empty());
  EXPECT_FALSE(data.Exists("bobs.txt"));
  SetText(dialog, IDC_HOURS, "9");
  SetText(dialog, IDC_MINUTES, "5");
  AddBuddy(dialog, "bob");
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"9:05 bob"}));
  ClickButton(dialog, IDOK);
  EXPECT_EQ(data.Read("schedule.txt"), "9:05:bob");
}

TEST_F(ScheduleDialog, ASecondEntryForABuddyKeepsItsMessage) {
  CScheduleMessageDlg& dialog = Open<CScheduleMessageDlg>();
  MessageBoxCatcher catcher(IDYES);
  SetText(dialog, IDC_HOURS, "8");
  AddBuddy(dialog, "bob");
  TypeMessage(dialog, "morning");
  SetText(dialog, IDC_HOURS, "20");
  AddBuddy(dialog, "bob");
  EXPECT_EQ(data.Read("bobs.txt"), "morning");
  EXPECT_EQ(Editor(dialog), "morning");
  AddBuddy(dialog, "setting");
  EXPECT_NE(catcher.boxes().back().text.find("settings.txt"), std::string::npos);
  EXPECT_EQ(Items(dialog, IDC_KEY_LIST), (Names{"8:00 bob", "20:00 bob"}));
  ClickButton(dialog, IDCANCEL);
  EXPECT_EQ(data.Read("schedule.txt"), "");
}

TEST_F(ScheduleDialog, OkWithABadTimeFieldWritesTheListButStaysOpen) {
  data.Write("schedule.txt", "9:05:bob");
  CScheduleMessageDlg& dialog = Open<CScheduleMessageDlg>();
  MessageBoxCatcher catcher;
  ClickEntry(dialog, 0);
  ClickButton(dialog, IDC_BUDDY_REMOVE);
  SetText(dialog, IDC_MINUTES, "61");
  ClickButton(dialog, IDOK);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, tolvane::OutOfRangeMessage(0, 60));
  EXPECT_NE(dialog.hwnd(), nullptr);
  EXPECT_EQ(data.Read("schedule.txt"), "");
  SetText(dialog, IDC_MINUTES, "0");
  ClickButton(dialog, IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

}  // namespace
