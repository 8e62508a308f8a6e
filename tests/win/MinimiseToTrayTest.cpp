// Moving a window into the notification area and back: the target
// rectangle with its fallbacks, the animation setting, and the one hidden
// parent window.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/win/TrayRecorder.h"
#include "tray/TrayIcon.h"

// Found by the test framework's printer through the argument's (global)
// namespace.
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom
             << ")";
}

namespace {

using tolvane::testing::TrayRecorder;
bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}
#define EXPECT_RECT(actual, l, t, r, b)                                     \
  EXPECT_PRED2(Same, actual, (RECT{l, t, r, b}))

// A taskbar of our own making, with the shell's child window classes.
class FakeTaskbar {
 public:
  explicit FakeTaskbar(RECT bar) {
    Register("FakeShellTrayWnd");
    Register("TrayNotifyWnd");
    Register("TrayClockWClass");
    Register("ReBarWindow32Fake");
    taskbar_ = CreateWindowExA(0, "FakeShellTrayWnd", "", WS_POPUP, bar.left, bar.top,
                               bar.right - bar.left, bar.bottom - bar.top, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    origin_ = POINT{bar.left, bar.top};
  }
  ~FakeTaskbar() { DestroyWindow(taskbar_); }

  HWND hwnd() const { return taskbar_; }
  // A child at screen rectangle r, under `parent` (the taskbar by default).
  HWND Add(const char* className, RECT r, HWND parent = nullptr) {
    HWND under = parent != nullptr ? parent : taskbar_;
    POINT topLeft{r.left, r.top};
    ScreenToClient(under, &topLeft);
    return CreateWindowExA(0, className, "", WS_CHILD, topLeft.x, topLeft.y,
                           r.right - r.left, r.bottom - r.top, under, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }

 private:
  static void Register(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
  HWND taskbar_ = nullptr;
  POINT origin_{};
};

TEST(TrayRect, BottomTaskbarEndsAtTheClocksLeftEdge) {
  TrayRecorder shell;
  FakeTaskbar bar(RECT{0, 738, 1024, 768});
  shell.taskbar = bar.hwnd();
  bar.Add("ReBarWindow32Fake", RECT{60, 740, 700, 766});
  HWND notify = bar.Add("TrayNotifyWnd", RECT{800, 740, 1020, 766});
  bar.Add("TrayClockWClass", RECT{960, 742, 1018, 764}, notify);
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 800, 740, 960, 766);
  ASSERT_EQ(shell.foundClasses.size(), 1u);
  EXPECT_EQ(shell.foundClasses[0], "Shell_TrayWnd");
  EXPECT_TRUE(shell.appBarMessages.empty());
}

TEST(TrayRect, VerticalTaskbarStartsBelowAClockAboveTheIcons) {
  TrayRecorder shell;
  FakeTaskbar bar(RECT{0, 0, 60, 768});
  shell.taskbar = bar.hwnd();
  HWND notify = bar.Add("TrayNotifyWnd", RECT{0, 600, 60, 766});
  bar.Add("TrayClockWClass", RECT{0, 600, 60, 640}, notify);
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 0, 640, 60, 766);
}

TEST(TrayRect, ClockFiveOrFewerPixelsAboveTheBottomCountsAsBeside) {
  TrayRecorder shell;
  FakeTaskbar bar(RECT{0, 0, 60, 768});
  shell.taskbar = bar.hwnd();
  HWND notify = bar.Add("TrayNotifyWnd", RECT{0, 600, 60, 766});
  bar.Add("TrayClockWClass", RECT{10, 700, 50, 761}, notify);  // bottom 766 - 5
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 0, 600, 10, 766);
}

TEST(TrayRect, WithoutItsChildrenTheWholeTaskbar) {
  TrayRecorder shell;
  FakeTaskbar bar(RECT{0, 738, 1024, 768});
  shell.taskbar = bar.hwnd();
  bar.Add("ReBarWindow32Fake", RECT{60, 740, 700, 766});
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 0, 738, 1024, 768);
}

TEST(TrayRect, ClassNamesCompareExactly) {
  TrayRecorder shell;
  FakeTaskbar bar(RECT{0, 738, 1024, 768});
  shell.taskbar = bar.hwnd();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrayNotifyWndX";
  RegisterClassA(&wc);
  bar.Add("TrayNotifyWndX", RECT{800, 740, 1020, 766});
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 0, 738, 1024, 768);
}

TEST(TrayRect, NoTaskbarWindowAsksForTheTaskbarsPosition) {
  TrayRecorder shell;
  shell.appBarAnswers = true;
  shell.appBar.rc = RECT{0, 738, 1024, 768};
  for (UINT edge : {ABE_BOTTOM, ABE_TOP}) {
    shell.appBar.uEdge = edge;
    RECT rect{};
    CTrayIcon::FindTrayRect(&rect);
    EXPECT_RECT(rect, 924, 738, 1008, 768);
  }
  shell.appBar.rc = RECT{964, 0, 1024, 768};
  for (UINT edge : {ABE_LEFT, ABE_RIGHT}) {
    shell.appBar.uEdge = edge;
    RECT rect{};
    CTrayIcon::FindTrayRect(&rect);
    EXPECT_RECT(rect, 964, 668, 1024, 752);
  }
  ASSERT_FALSE(shell.appBarMessages.empty());
  EXPECT_EQ(shell.appBarMessages[0], static_cast<DWORD>(ABM_GETTASKBARPOS));
  EXPECT_EQ(shell.appBarSize, static_cast<DWORD>(sizeof(APPBARDATA)));
}

TEST(TrayRect, NeitherGivesTheCornerOfTheWorkArea) {
  TrayRecorder shell;
  shell.workArea = RECT{0, 0, 1024, 738};
  RECT rect{};
  CTrayIcon::FindTrayRect(&rect);
  EXPECT_RECT(rect, 874, 708, 1024, 738);
  EXPECT_EQ(shell.appBarMessages.size(), 1u);
}

TEST(WindowAnimation, FollowsTheUsersSetting) {
  TrayRecorder shell;
  shell.minAnimate = 0;
  EXPECT_FALSE(CTrayIcon::IsWindowAnimationOn());
  shell.minAnimate = 1;
  EXPECT_TRUE(CTrayIcon::IsWindowAnimationOn());
  EXPECT_EQ(shell.animationSizeAsked, static_cast<UINT>(sizeof(ANIMATIONINFO)));
}

class ToTray : public ::testing::Test {
 protected:
  ToTray() {
    window_ = CreateWindowExA(0, "STATIC", "tray me", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                              100, 100, 300, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    shell.workArea = RECT{0, 0, 1024, 738};
  }
  ~ToTray() override { DestroyWindow(window_); }
  TrayRecorder shell;
  HWND window_;
};

TEST_F(ToTray, WithoutAnimationTheWindowIsOnlyHiddenAndBroughtBack) {
  ASSERT_TRUE(IsWindowVisible(window_));
  EXPECT_TRUE(CTrayIcon::AnimateWindowToTray(window_));
  EXPECT_TRUE(shell.animations.empty());
  HWND parent = CTrayIcon::HiddenParentWindow();
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(GetAncestor(window_, GA_PARENT), parent);
  EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_FALSE(IsWindowVisible(parent));

  EXPECT_TRUE(CTrayIcon::RestoreWindowFromTray(window_));
  EXPECT_TRUE(shell.animations.empty());
  EXPECT_EQ(GetAncestor(window_, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(GetForegroundWindow(), window_);
  EXPECT_EQ(GetActiveWindow(), window_);
}

TEST_F(ToTray, WithAnimationTheCaptionMovesBetweenWindowAndTray) {
  shell.minAnimate = 1;
  RECT before{};
  GetWindowRect(window_, &before);
  CTrayIcon::AnimateWindowToTray(window_);
  ASSERT_EQ(shell.animations.size(), 1u);
  EXPECT_EQ(shell.animations[0].kind, IDANI_CAPTION);
  EXPECT_EQ(shell.animations[0].window, window_);
  EXPECT_PRED2(Same, shell.animations[0].from, before);
  EXPECT_RECT(shell.animations[0].to, 874, 708, 1024, 738);

  CTrayIcon::RestoreWindowFromTray(window_);
  ASSERT_EQ(shell.animations.size(), 2u);
  EXPECT_RECT(shell.animations[1].from, 874, 708, 1024, 738);
  EXPECT_TRUE(IsWindowVisible(window_));
}

TEST_F(ToTray, ForcedAnimationIgnoresTheSetting) {
  shell.minAnimate = 0;
  CTrayIcon::AnimateWindowToTray(window_, true);
  CTrayIcon::RestoreWindowFromTray(window_, true);
  EXPECT_EQ(shell.animations.size(), 2u);
}

TEST_F(ToTray, OneHiddenParentForEveryWindowAndEveryTime) {
  HWND second = CreateWindowExA(0, "STATIC", "second", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  CTrayIcon::AnimateWindowToTray(window_);
  HWND parent = CTrayIcon::HiddenParentWindow();
  CTrayIcon::RestoreWindowFromTray(window_);
  CTrayIcon::AnimateWindowToTray(window_);
  CTrayIcon::AnimateWindowToTray(second);
  EXPECT_EQ(CTrayIcon::HiddenParentWindow(), parent);
  EXPECT_EQ(GetAncestor(window_, GA_PARENT), parent);
  EXPECT_EQ(GetAncestor(second, GA_PARENT), parent);
  EXPECT_TRUE(CTrayIcon::AttachToHiddenParent(second));
  EXPECT_EQ(CTrayIcon::HiddenParentWindow(), parent);
  // Its look: a popup with no title, never shown.
  EXPECT_NE(GetWindowLongA(parent, GWL_STYLE) & WS_POPUP, 0);
  EXPECT_FALSE(IsWindowVisible(parent));
  EXPECT_EQ(GetWindowTextLengthA(parent), 0);
  CTrayIcon::RestoreWindowFromTray(window_);
  DestroyWindow(second);
}

TEST_F(ToTray, RestoringAWindowNotInTheTrayDetachesAndShowsIt) {
  HWND holder = CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 400, 400,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetParent(window_, holder);
  SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) & ~WS_VISIBLE);
  EXPECT_TRUE(CTrayIcon::RestoreWindowFromTray(window_));
  EXPECT_EQ(GetAncestor(window_, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(GetForegroundWindow(), window_);
  DestroyWindow(holder);
}

}  // namespace
