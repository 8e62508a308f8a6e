#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/WholeNumber.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/ListView.h"
#include "framework/MessageBox.h"
#include "tests/win/DialogProbe.h"
#include "tests/win/FrameworkTestIds.h"
#include "tests/win/MessageBoxCatcher.h"

namespace {

using tolvane::testing::CaughtBox;
using tolvane::testing::MessageBoxCatcher;
using tolvane::testing::SetText;
using tolvane::testing::Text;

// Timer ids at which the test windows' timer handler fails, each its own way.
constexpr UINT_PTR kFailsWithReason = 101;
constexpr UINT_PTR kFailsWithoutMemory = 102;
constexpr UINT_PTR kFailsWithANumber = 103;

fw::Handling FailAtTimer(UINT_PTR id) {
  if (id == kFailsWithReason) throw std::runtime_error("the disk is full");
  if (id == kFailsWithoutMemory) throw std::bad_alloc();
  if (id == kFailsWithANumber) throw 42;
  return fw::Handled();
}

// A dialog with one field of each kind the framework exchanges.
class ExchangeDialog : public fw::Dialog {
 public:
  ExchangeDialog() : Dialog(IDD_FRAMEWORK_TEST) {}

  std::string text = "hello";
  int first = 5;
  int second = 7;
  int check = 1;
  fw::ListView list;
  int exchanges = 0;
  std::vector<UINT> rangeClicks;
  int registeredCalls = 0;
  int sysCommands = 0;

 protected:
  static const fw::MessageMap& Messages() {
    static const fw::MessageMap map(
        &fw::Dialog::Messages(),
        {
            fw::OnCommandRange(IDC_TEST_BUTTON_FIRST, IDC_TEST_BUTTON_LAST,
                               &ExchangeDialog::OnButton),
            fw::OnRegisteredMessage(&RegisteredNumber(), &ExchangeDialog::OnRegistered),
            fw::OnSysCommand(&ExchangeDialog::OnSysCommand),
            fw::OnTimer(&ExchangeDialog::OnTimer),
        });
    return map;
  }
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }

  void DoDataExchange(fw::DataExchange& dx) override {
    ++exchanges;
    dx.Control(IDC_TEST_LIST, list);
    dx.Text(IDC_TEST_TEXT, text);
    dx.Int(IDC_TEST_FIRST_NUMBER, first);
    dx.Range(IDC_TEST_FIRST_NUMBER, first, 0, 24);
    dx.Int(IDC_TEST_SECOND_NUMBER, second);
    dx.Range(IDC_TEST_SECOND_NUMBER, second, 0, 60);
    dx.Check(IDC_TEST_CHECK, check);
  }

 public:
  static UINT& RegisteredNumber() {
    static UINT number = RegisterWindowMessageA("TolvaneFrameworkTestMessage");
    return number;
  }

 private:
  void OnButton(UINT id) { rangeClicks.push_back(id); }
  LRESULT OnRegistered(WPARAM wParam, LPARAM) {
    ++registeredCalls;
    return static_cast<LRESULT>(wParam) + 1;
  }
  fw::Handling OnSysCommand(UINT) {
    ++sysCommands;
    return fw::NotHandled();
  }
  fw::Handling OnTimer(UINT_PTR id) { return FailAtTimer(id); }
};

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

class FrameworkDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(dialog.Create(nullptr));
  }
  ExchangeDialog dialog;
};

TEST_F(FrameworkDialog, InitialisationShowsTheMembers) {
  EXPECT_EQ(Text(dialog, IDC_TEST_TEXT), "hello");
  EXPECT_EQ(Text(dialog, IDC_TEST_FIRST_NUMBER), "5");
  EXPECT_EQ(Text(dialog, IDC_TEST_SECOND_NUMBER), "7");
  EXPECT_EQ(IsDlgButtonChecked(dialog.hwnd(), IDC_TEST_CHECK), BST_CHECKED);
  EXPECT_EQ(dialog.list.hwnd(), GetDlgItem(dialog.hwnd(), IDC_TEST_LIST));
}

TEST_F(FrameworkDialog, ReadingTakesEveryField) {
  SetText(dialog, IDC_TEST_TEXT, "typed text");
  SetText(dialog, IDC_TEST_FIRST_NUMBER, " 24 ");
  SetText(dialog, IDC_TEST_SECOND_NUMBER, "0");
  CheckDlgButton(dialog.hwnd(), IDC_TEST_CHECK, BST_UNCHECKED);
  MessageBoxCatcher catcher;
  EXPECT_TRUE(dialog.UpdateData(true));
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_EQ(dialog.text, "typed text");
  EXPECT_EQ(dialog.first, 24);
  EXPECT_EQ(dialog.second, 0);
  EXPECT_EQ(dialog.check, 0);
}

TEST_F(FrameworkDialog, ATextTheControlCannotShowWholeComesBackWholeUntilChanged) {
  const std::string withNul("before\0after", 12);
  dialog.text = withNul;
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(Text(dialog, IDC_TEST_TEXT), "before");
  ASSERT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(dialog.text, withNul) << "left alone, nothing after the NUL is lost";

  SetText(dialog, IDC_TEST_TEXT, "before!");
  ASSERT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(dialog.text, "before!") << "an edit replaces it";

  const std::string longLine(100000, 'x');
  dialog.text = longLine;
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog.hwnd(), IDC_TEST_TEXT)), 32767);
  ASSERT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(dialog.text, longLine);
  // A control whose limit was raised shows it whole.
  SendDlgItemMessageA(dialog.hwnd(), IDC_TEST_TEXT, EM_SETLIMITTEXT, longLine.size(), 0);
  ASSERT_TRUE(dialog.UpdateData(false));
  EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog.hwnd(), IDC_TEST_TEXT)),
            static_cast<int>(longLine.size()));

  // Once shown whole, a value is the control's text again.
  dialog.text = "plain";
  ASSERT_TRUE(dialog.UpdateData(false));
  SetText(dialog, IDC_TEST_TEXT, "before");
  ASSERT_TRUE(dialog.UpdateData(true));
  EXPECT_EQ(dialog.text, "before");
}

TEST_F(FrameworkDialog, ABadNumberStopsTheReadAtThatField) {
  SetText(dialog, IDC_TEST_TEXT, "read before");
  SetText(dialog, IDC_TEST_FIRST_NUMBER, "12x");
  SetText(dialog, IDC_TEST_SECOND_NUMBER, "33");
  MessageBoxCatcher catcher;
  EXPECT_FALSE(dialog.UpdateData(true));
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, tolvane::NotANumberMessage());
  EXPECT_EQ(catcher.boxes()[0].caption, fw::Application::Name());
  EXPECT_EQ(catcher.boxes()[0].owner, dialog.hwnd());
  EXPECT_EQ(dialog.text, "read before");  // fields before it are read
  EXPECT_EQ(dialog.first, 5);             // the bad one keeps its value
  EXPECT_EQ(dialog.second, 7);            // fields after it are not read
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog.hwnd(), IDC_TEST_FIRST_NUMBER));
}

TEST_F(FrameworkDialog, AnOutOfRangeNumberNamesTheBounds) {
  SetText(dialog, IDC_TEST_FIRST_NUMBER, "3");
  SetText(dialog, IDC_TEST_SECOND_NUMBER, "61");
  MessageBoxCatcher catcher;
  EXPECT_FALSE(dialog.UpdateData(true));
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, "Please type a whole number from 0 to 60.");
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog.hwnd(), IDC_TEST_SECOND_NUMBER));
}

TEST_F(FrameworkDialog, AnEmptyNumberFieldIsNotANumber) {
  SetText(dialog, IDC_TEST_FIRST_NUMBER, "");
  MessageBoxCatcher catcher;
  EXPECT_FALSE(dialog.UpdateData(true));
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, tolvane::NotANumberMessage());
}

TEST_F(FrameworkDialog, OkThatFailsKeepsTheDialogOpen) {
  SetText(dialog, IDC_TEST_FIRST_NUMBER, "-1");
  MessageBoxCatcher catcher;
  SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(IsWindow(dialog.hwnd()));
  EXPECT_EQ(catcher.boxes().size(), 1u);
}

TEST_F(FrameworkDialog, CommandRangeRoutesEachIdToTheHandler) {
  SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON_LAST, BN_CLICKED),
               0);
  SendMessageA(dialog.hwnd(), WM_COMMAND,
               MAKEWPARAM(IDC_TEST_BUTTON_FIRST, BN_CLICKED), 0);
  // Another notification code of the same button is not a click.
  SendMessageA(dialog.hwnd(), WM_COMMAND,
               MAKEWPARAM(IDC_TEST_BUTTON_FIRST, BN_SETFOCUS), 0);
  EXPECT_EQ(dialog.rangeClicks,
            (std::vector<UINT>{IDC_TEST_BUTTON_LAST, IDC_TEST_BUTTON_FIRST}));
}

TEST_F(FrameworkDialog, RegisteredMessagesReachTheirHandlerWithTheResult) {
  LRESULT result =
      SendMessageA(dialog.hwnd(), ExchangeDialog::RegisteredNumber(), 41, 0);
  EXPECT_EQ(dialog.registeredCalls, 1);
  EXPECT_EQ(result, 42);
}

TEST_F(FrameworkDialog, DefaultProcessingStillRunsForHandledMessages) {
  // SC_CLOSE's default processing closes the dialog through IDCANCEL.
  SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.sysCommands, 1);
  PumpMessages();
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

std::string FailureText(const std::string& reason) {
  return fw::Application::Name() + " could not finish this: " + reason;
}

TEST_F(FrameworkDialog, AFailedHandlerEndsInAnErrorBoxAndTheDialogGoesOn) {
  MessageBoxCatcher catcher;
  SendMessageA(dialog.hwnd(), WM_TIMER, kFailsWithReason, 0);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, FailureText("the disk is full"));
  EXPECT_EQ(catcher.boxes()[0].owner, dialog.hwnd());
  EXPECT_EQ(catcher.boxes()[0].icon, LoadIconA(nullptr, IDI_ERROR));
  EXPECT_EQ(SendMessageA(dialog.hwnd(), ExchangeDialog::RegisteredNumber(), 41, 0), 42);
}

// A plain framework window: it leaves system commands to the default and
// fails at some timers.
class PlainWindow : public fw::Window {
 public:
  int sysCommands = 0;

 protected:
  static const fw::MessageMap& Messages() {
    static const fw::MessageMap map(&fw::Window::Messages(),
                                    {
                                        fw::OnSysCommand(&PlainWindow::OnSysCommand),
                                        fw::OnTimer(&PlainWindow::OnTimer),
                                    });
    return map;
  }
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }

 private:
  fw::Handling OnSysCommand(UINT) {
    ++sysCommands;
    return fw::NotHandled();
  }
  fw::Handling OnTimer(UINT_PTR id) { return FailAtTimer(id); }
};

TEST(FrameworkWindow, FailedHandlersEndInOneErrorBoxAndUnhandledMessagesInTheDefault) {
  PlainWindow window;
  ASSERT_TRUE(window.CreateEx(0, fw::RegisterWindowClass(0), "Plain", WS_OVERLAPPEDWINDOW,
                              0, 0, 200, 100, nullptr, nullptr));
  MessageBoxCatcher catcher;
  // While the box is up its message loop runs the handlers: one that fails
  // meanwhile shows no second box.
  bool failedMeanwhile = false;
  catcher.set_while_open([&](const CaughtBox&) {
    if (failedMeanwhile) return;
    failedMeanwhile = true;
    SendMessageA(window.hwnd(), WM_TIMER, kFailsWithANumber, 0);
  });
  SendMessageA(window.hwnd(), WM_TIMER, kFailsWithoutMemory, 0);
  EXPECT_TRUE(failedMeanwhile);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].text, FailureText("there is not enough memory."));
  EXPECT_EQ(catcher.boxes()[0].owner, window.hwnd());
  EXPECT_EQ(catcher.boxes()[0].icon, LoadIconA(nullptr, IDI_ERROR));

  catcher.set_while_open(nullptr);
  SendMessageA(window.hwnd(), WM_TIMER, kFailsWithANumber, 0);
  ASSERT_EQ(catcher.boxes().size(), 2u);
  EXPECT_EQ(catcher.boxes()[1].text, FailureText("an unexpected error."));

  // SC_CLOSE, left to DefWindowProc, destroys the window.
  SendMessageA(window.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(window.sysCommands, 1);
  EXPECT_EQ(window.hwnd(), nullptr);
}

TEST(FrameworkListView, KeepsTextsOfAnyLengthInOrder) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  ExchangeDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  fw::ListView& list = dialog.list;
  const std::string longText(5000, 'q');
  EXPECT_EQ(list.InsertItem(0, "bob"), 0);
  EXPECT_EQ(list.InsertItem(0, "amy"), 0);
  EXPECT_EQ(list.InsertItem(2, longText), 2);
  EXPECT_EQ(list.InsertItem(3, ""), 3);
  ASSERT_EQ(list.GetItemCount(), 4);
  EXPECT_EQ(list.GetItemText(0), "amy");
  EXPECT_EQ(list.GetItemText(1), "bob");
  EXPECT_EQ(list.GetItemText(2), longText);
  EXPECT_EQ(list.GetItemText(3), "");
  EXPECT_EQ(list.GetSelectionMark(), -1);
  list.SetSelectionMark(1);
  EXPECT_EQ(list.GetSelectionMark(), 1);
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_FALSE(list.DeleteItem(7));
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.GetItemText(1), longText);
}

TEST(FrameworkApplication, NameIsTheExecutablesBaseName) {
  EXPECT_EQ(fw::Application::Name(), "tolvane_win_tests");
}

TEST(FrameworkMessageBox, DefaultCaptionIsTheApplicationsName) {
  MessageBoxCatcher catcher;
  fw::ShowMessageBox(nullptr, "text one");
  fw::ShowMessageBox(nullptr, "text two", "Own caption");
  ASSERT_EQ(catcher.boxes().size(), 2u);
  EXPECT_EQ(catcher.boxes()[0].caption, "tolvane_win_tests");
  EXPECT_EQ(catcher.boxes()[0].text, "text one");
  EXPECT_EQ(catcher.boxes()[1].caption, "Own caption");
}

// A modal dialog without a parent is owned by the application's main
// window, which stays disabled while it is open.
struct Probe {
  HWND owner = nullptr;
  BOOL mainEnabled = TRUE;
  HWND mainHwnd = nullptr;
};
Probe g_probe;

// Looks at the modal dialog once it is up, then closes it.
void CALLBACK LookAtModalDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND active = GetActiveWindow();
  g_probe.owner = GetWindow(active, GW_OWNER);
  g_probe.mainEnabled = IsWindowEnabled(g_probe.mainHwnd);
  PostMessageA(active, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

class TestApplication : public fw::Application {
 public:
  bool InitInstance() override { return false; }
};

TEST(FrameworkModal, OwnerIsTheMainWindow) {
  TestApplication app;
  ExchangeDialog main;
  ASSERT_TRUE(main.Create(nullptr));
  app.SetMainWindow(&main);

  g_probe = Probe{};
  g_probe.mainHwnd = main.hwnd();
  SetTimer(nullptr, 0, 50, &LookAtModalDialog);
  ExchangeDialog modal;
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  EXPECT_EQ(g_probe.owner, main.hwnd());
  EXPECT_FALSE(g_probe.mainEnabled);
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
  app.SetMainWindow(nullptr);
}

}  // namespace
