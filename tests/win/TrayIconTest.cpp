// The tray icon object against a recorded shell: its four flags through
// creation, refusal, re-creation of the taskbar, work-area changes and
// removal; the texts it sends; the icons it loads; and its mouse handling.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainDlg.h"
#include "framework/Application.h"
#include "resources/resource.h"
#include "tests/win/MessageBoxCatcher.h"
#include "tests/win/TrayRecorder.h"
#include "tests/win/TrayTestIds.h"
#include "tray/TrayIcon.h"

namespace {

using tolvane::testing::MessageBoxCatcher;
using tolvane::testing::NotifyCall;
using tolvane::testing::TrayRecorder;

constexpr UINT kCallback = CMainDlg::kTrayCallbackMessage;
constexpr UINT kIconId = IDI_CONNECTING;

struct Flags {
  bool enabled, hidden, removed, pending;
  bool operator==(const Flags& o) const {
    return enabled == o.enabled && hidden == o.hidden && removed == o.removed &&
           pending == o.pending;
  }
};
std::ostream& operator<<(std::ostream& out, const Flags& f) {
  return out << "(enabled " << f.enabled << ", hidden " << f.hidden << ", removed "
             << f.removed << ", pending " << f.pending << ")";
}
Flags FlagsOf(const CTrayIcon& tray) {
  return {tray.enabled(), tray.hidden(), tray.removed(), tray.reinstallPending()};
}

// A top-level window that stands for the main dialog.
class PlainWindow : public fw::Window {
 public:
  PlainWindow() {
    CreateEx(0, fw::RegisterWindowClass(0), "Tray owner", WS_POPUP, 10, 10, 100,
             100, nullptr, nullptr);
  }
};

class TestApplication : public fw::Application {
 public:
  bool InitInstance() override { return false; }
};

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class TrayIconTest : public ::testing::Test {
 protected:
  // The recorder is in place before the tray is constructed: the
  // constructor asks for the version.
  TrayRecorder shell;
  PlainWindow owner;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_CONNECTING));

  bool Create(CTrayIcon& tray, const char* balloon = nullptr,
              const char* title = nullptr) {
    return tray.CreateTray(&owner, kCallback, "Click here", icon, kIconId, false,
                           balloon, title, NIIF_INFO, 10);
  }
  const NotifyCall& Last() const { return shell.calls.back(); }
};

// ---- construction and creation ----

TEST_F(TrayIconTest, ConstructedTrayDoesNothingButBalloons) {
  CTrayIcon tray;
  EXPECT_EQ(FlagsOf(tray), (Flags{false, true, true, false}));
  EXPECT_EQ(tray.hwnd(), nullptr);
  EXPECT_FALSE(tray.SetTipText("tip"));
  EXPECT_FALSE(tray.ChangeIcon(icon));
  EXPECT_FALSE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  EXPECT_TRUE(tray.RemoveFromTray());
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(shell.iconsLoaded, shell.iconsDestroyed);

  // A balloon asks neither whether the tray is enabled nor whether the icon
  // is shown: it goes to the shell, which answers for it.
  shell.defaultAnswer = FALSE;
  EXPECT_FALSE(tray.ShowBalloonTip("Connecting"));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(Last().info(), "Connecting");
}

TEST_F(TrayIconTest, AcceptedAddFillsTheRecordAndShowsTheIcon) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
  EXPECT_TRUE(tray.IsShown());
  ASSERT_EQ(shell.calls.size(), 1u);
  const NotifyCall& add = shell.calls[0];
  EXPECT_EQ(add.command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
  EXPECT_EQ(add.data.hWnd, owner.hwnd());
  EXPECT_EQ(add.data.uID, kIconId);
  EXPECT_EQ(add.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.data.uCallbackMessage, kCallback);
  EXPECT_EQ(add.data.hIcon, icon);
  EXPECT_EQ(add.tip(), "Click here");
  EXPECT_EQ(add.info(), "");

  // The tray window: a hidden, zero-sized popup without owner.
  ASSERT_NE(tray.hwnd(), nullptr);
  EXPECT_FALSE(IsWindowVisible(tray.hwnd()));
  RECT rect{};
  GetWindowRect(tray.hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);
  EXPECT_NE(GetWindowLongA(tray.hwnd(), GWL_STYLE) & WS_POPUP, 0);

  // Changes go to the shell at once.
  EXPECT_TRUE(tray.SetTipText("status"));
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(Last().data.uFlags, static_cast<UINT>(NIF_TIP));
  EXPECT_EQ(Last().tip(), "status");
  EXPECT_TRUE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(Last().data.uFlags, static_cast<UINT>(NIF_ICON));
  EXPECT_NE(Last().data.hIcon, icon);
  EXPECT_EQ(shell.calls.size(), 3u);
}

TEST_F(TrayIconTest, WithoutParentTheTrayWindowGetsTheNotifications) {
  CTrayIcon tray;
  ASSERT_TRUE(tray.CreateTray(nullptr, kCallback, "x", icon, kIconId));
  EXPECT_EQ(shell.calls[0].data.hWnd, tray.hwnd());
}

TEST_F(TrayIconTest, RefusedAddStoresChangesUntilTheTaskbarIsCreated) {
  CTrayIcon tray;
  shell.answers = {FALSE};
  EXPECT_FALSE(Create(tray));
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, true, true}));
  EXPECT_FALSE(tray.IsShown());

  // Stored only.
  EXPECT_TRUE(tray.SetTipText("Connecting"));
  EXPECT_TRUE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  EXPECT_EQ(shell.calls.size(), 1u);
  HICON current = tray.record().hIcon;
  EXPECT_NE(current, icon);
  EXPECT_EQ(std::string(tray.record().szTip), "Connecting");

  // The taskbar appears: the icon is added with what the record holds now.
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(shell.calls.size(), 2u);
  const NotifyCall& add = Last();
  EXPECT_EQ(add.command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.tip(), "Connecting");
  EXPECT_EQ(add.data.hIcon, current);
  EXPECT_FALSE(add.staleIcon);
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));

  // In the notification area now, so it is taken out again at the end.
  EXPECT_TRUE(tray.RemoveFromTray());
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, RefusedAgainWhenTheTaskbarIsCreatedStaysPending) {
  CTrayIcon tray;
  shell.answers = {FALSE, FALSE};
  EXPECT_FALSE(Create(tray));
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(shell.Count(NIM_ADD), 2u);
  EXPECT_EQ(shell.Count(NIM_MODIFY), 0u);  // no probe: it was never shown
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, true, true}));
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
}

TEST_F(TrayIconTest, OldWindowsCreatesNothing) {
  shell.version = 0x00000003;  // 3.x
  CTrayIcon tray;
  EXPECT_FALSE(Create(tray));
  EXPECT_EQ(tray.hwnd(), nullptr);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(FlagsOf(tray), (Flags{false, true, true, false}));
  EXPECT_FALSE(tray.SetTipText("x"));
  EXPECT_FALSE(tray.ChangeIcon(icon));
  EXPECT_TRUE(tray.RemoveFromTray());
  EXPECT_TRUE(shell.calls.empty());
}

// ---- the taskbar re-created and the work area changed ----

TEST_F(TrayIconTest, TaskbarRecreatedAddsTheCurrentStateAgain) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray, "Welcome"));
  tray.SetTipText("first line");
  tray.ChangeIconFromResource(IDR_MAINFRAME);
  HICON current = tray.record().hIcon;
  shell.Clear();

  EXPECT_EQ(SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0), 0);
  ASSERT_EQ(shell.calls.size(), 1u);
  const NotifyCall& add = Last();
  EXPECT_EQ(add.command, static_cast<DWORD>(NIM_ADD));
  // The creation flags, balloon included, but the balloon's text is gone.
  EXPECT_EQ(add.data.uFlags,
            static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
  EXPECT_EQ(add.info(), "");
  EXPECT_EQ(add.tip(), "first line");
  EXPECT_EQ(add.data.hIcon, current);
  EXPECT_FALSE(add.staleIcon);
  EXPECT_EQ(add.data.uCallbackMessage, kCallback);
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
}

TEST_F(TrayIconTest, WorkAreaChangeAddsAgainAndKeepsTheStateWhenAccepted) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));

  // Other settings send nothing.
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(TrayIconTest, WorkAreaChangeWithTheIconStillThereKeepsItShown) {
  // The shell refuses to add an icon it has; it takes a change of it.
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  shell.answers = {FALSE, TRUE};
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0].command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(shell.calls[1].command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
  EXPECT_TRUE(tray.SetTipText("still sent"));
  EXPECT_EQ(shell.calls.size(), 3u);
}

TEST_F(TrayIconTest, WorkAreaChangeRefusedHidesTheIconUntilTheTaskbarReturns) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  shell.answers = {FALSE, FALSE};
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, false, true}));

  // Changes are stored only; a further work-area change sends nothing.
  shell.Clear();
  EXPECT_TRUE(tray.SetTipText("later"));
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, false, false}));

  // A new taskbar brings it back with the stored tooltip.
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(Last().tip(), "later");
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
}

// ---- what the shell is told ----

TEST_F(TrayIconTest, OnlyChangesGoToTheShell) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  EXPECT_TRUE(tray.SetTipText("Click here"));
  EXPECT_TRUE(tray.ChangeIcon(icon));
  EXPECT_TRUE(shell.calls.empty()) << "the shell has that tooltip and icon";

  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_TRUE(tray.SetTipText("Connecting"));
    EXPECT_TRUE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  }
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.iconsLoaded, 1);

  // A new taskbar gets everything with the add, and then has it.
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(Last().tip(), "Connecting");
  tray.SetTipText("Connecting");
  tray.ChangeIconFromResource(IDR_MAINFRAME);
  EXPECT_EQ(shell.calls.size(), 3u);

  // Now and then an unchanged tooltip goes out all the same, so that a shell
  // that lost the icon is found out while nothing changes; rarely.
  shell.Clear();
  constexpr int kTicks = 1000;
  for (int tick = 0; tick < kTicks; ++tick) tray.SetTipText("Connecting");
  EXPECT_GT(shell.calls.size(), 0u);
  EXPECT_LT(shell.calls.size(), static_cast<std::size_t>(kTicks / 10));
}

TEST_F(TrayIconTest, ARefusedChangeMeansTheShellHasLostTheIcon) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();

  // The shell lost it but takes it again: it comes back at once, changed.
  shell.answers = {FALSE, TRUE};
  EXPECT_TRUE(tray.SetTipText("after the restart"));
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(Last().data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(Last().tip(), "after the restart");
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
  // A balloon as well: it follows the add.
  shell.answers = {FALSE, TRUE};
  EXPECT_TRUE(tray.ShowBalloonTip("Connecting"));
  ASSERT_EQ(shell.calls.size(), 5u);
  EXPECT_EQ(Last().info(), "Connecting");

  // The shell has gone and takes no icon: not shown until an add succeeds.
  shell.answers = {FALSE, FALSE};
  EXPECT_FALSE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, false, true}));
  EXPECT_FALSE(tray.IsShown());
  shell.Clear();
  EXPECT_TRUE(tray.SetTipText("later"));
  EXPECT_TRUE(shell.calls.empty());
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().tip(), "later");
  EXPECT_FALSE(Last().staleIcon);
  EXPECT_TRUE(tray.IsShown());
}

// ---- removal ----

TEST_F(TrayIconTest, RemoveTwiceSendsOneDelete) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  EXPECT_TRUE(tray.RemoveFromTray());
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(Last().data.uFlags, 0u);
  EXPECT_EQ(FlagsOf(tray), (Flags{true, true, true, false}));
  EXPECT_TRUE(tray.RemoveFromTray());
  EXPECT_EQ(shell.calls.size(), 1u);

  // Removed on purpose: a new taskbar does not bring it back.
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  SendMessageA(tray.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(TrayIconTest, RefusedDeleteKeepsTheFlags) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.answers = {FALSE};
  EXPECT_FALSE(tray.RemoveFromTray());
  EXPECT_EQ(FlagsOf(tray), (Flags{true, false, false, false}));
  EXPECT_TRUE(tray.RemoveFromTray());
}

TEST_F(TrayIconTest, DestructionRemovesTheIconAndTheWindow) {
  HWND window = nullptr;
  {
    CTrayIcon tray;
    ASSERT_TRUE(Create(tray));
    window = tray.hwnd();
    shell.Clear();
  }
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_DELETE));
  EXPECT_FALSE(IsWindow(window));
}

// ---- balloons ----

TEST_F(TrayIconTest, BalloonIsCarriedOnce) {
  CTrayIcon tray;
  ASSERT_TRUE(tray.balloonsSupported());
  ASSERT_TRUE(Create(tray, "Welcome", "Tolvane"));
  const NotifyCall& add = shell.calls[0];
  EXPECT_EQ(add.data.uFlags,
            static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
  EXPECT_EQ(add.info(), "Welcome");
  EXPECT_EQ(add.infoTitle(), "Tolvane");
  EXPECT_EQ(add.data.uTimeout, 10000u);
  EXPECT_EQ(add.data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));

  EXPECT_TRUE(tray.ShowBalloonTip("Connecting", nullptr, 0, 10));
  const NotifyCall& balloon = Last();
  EXPECT_EQ(balloon.command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(balloon.data.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(balloon.info(), "Connecting");
  EXPECT_EQ(balloon.infoTitle(), "");
  EXPECT_EQ(balloon.data.dwInfoFlags, 0u);
  EXPECT_EQ(balloon.data.uTimeout, 10000u);

  // No later call carries a balloon text.
  tray.SetTipText("tip");
  tray.ChangeIconFromResource(IDR_MAINFRAME);
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  for (std::size_t i = 2; i < shell.calls.size(); ++i) {
    EXPECT_EQ(shell.calls[i].info(), "") << "call " << i;
  }
  EXPECT_EQ(shell.calls.size(), 5u);
}

TEST_F(TrayIconTest, BalloonGoesOutWhateverTheIconsState) {
  CTrayIcon tray;
  shell.answers = {FALSE, FALSE};
  EXPECT_FALSE(Create(tray));
  EXPECT_FALSE(tray.ShowBalloonTip("Connecting"));
  EXPECT_EQ(Last().command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(Last().info(), "Connecting");
  EXPECT_EQ(tray.record().szInfo[0], '\0');
}

TEST_F(TrayIconTest, WithoutBalloonSupportNoBalloonAndNoBox) {
  for (auto [platform, major] : {std::pair<DWORD, DWORD>{VER_PLATFORM_WIN32_NT, 4},
                                 {VER_PLATFORM_WIN32_WINDOWS, 4},
                                 {VER_PLATFORM_WIN32_WINDOWS, 5}}) {
    shell.versionEx.dwPlatformId = platform;
    shell.versionEx.dwMajorVersion = major;
    shell.Clear();
    MessageBoxCatcher boxes;
    CTrayIcon tray;
    EXPECT_FALSE(tray.balloonsSupported());
    ASSERT_TRUE(Create(tray, "Welcome"));
    EXPECT_EQ(shell.calls[0].data.uFlags,
              static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(shell.calls[0].info(), "");
    for (int tick = 0; tick < 3; ++tick) EXPECT_FALSE(tray.ShowBalloonTip("Connecting"));
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_TRUE(boxes.boxes().empty());
  }
}

TEST_F(TrayIconTest, FailedVersionQueryMeansNoBalloons) {
  shell.versionExResult = FALSE;
  CTrayIcon tray;
  EXPECT_FALSE(tray.balloonsSupported());
}

// ---- text limits ----

TEST_F(TrayIconTest, TextsAreCutToTheirFields) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  const std::string tip(200, 't');
  const std::string text(400, 'b');
  const std::string title(100, 'h');
  tray.SetTipText(tip.c_str());
  EXPECT_EQ(Last().tip(), tip.substr(0, 127));
  tray.ShowBalloonTip(text.c_str(), title.c_str());
  EXPECT_EQ(Last().info(), text.substr(0, 255));
  EXPECT_EQ(Last().infoTitle(), title.substr(0, 63));

  // Exactly at the limit, and a shorter text after a longer one: the rest
  // of the field is zero.
  tray.SetTipText(std::string(127, 'x').c_str());
  EXPECT_EQ(Last().tip(), std::string(127, 'x'));
  tray.SetTipText("short");
  const NOTIFYICONDATAA& data = Last().data;
  EXPECT_EQ(Last().tip(), "short");
  for (std::size_t i = 5; i < sizeof data.szTip; ++i) {
    ASSERT_EQ(data.szTip[i], '\0') << i;
  }
  tray.SetTipText(nullptr);
  EXPECT_EQ(Last().tip(), "");
}

// ---- icons ----

TEST_F(TrayIconTest, IconsFromResourcesStayValidAndDoNotLeak) {
  {
    CTrayIcon tray;
    ASSERT_TRUE(Create(tray));
    for (int i = 0; i < 5000; ++i) {
      ASSERT_TRUE(tray.ChangeIconFromResource(i % 2 == 0 ? IDR_MAINFRAME
                                                         : IDI_CONNECTING));
      ASSERT_LE(shell.liveIcons.size(), 1u) << "after change " << i;
    }
    EXPECT_EQ(shell.iconsLoaded, 5000);
    EXPECT_EQ(shell.iconsDestroyed, 4999);
    for (const NotifyCall& call : shell.calls) EXPECT_FALSE(call.staleIcon);

    // A re-add long after the last change still names a live icon.
    shell.Clear();
    SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_FALSE(Last().staleIcon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(Last().data.hIcon, &info));
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);

    // A handle from elsewhere replaces the loaded one, which goes.
    tray.ChangeIcon(icon);
    EXPECT_TRUE(shell.liveIcons.empty());
    tray.ChangeIconFromResource(IDR_MAINFRAME);
  }
  EXPECT_EQ(shell.iconsLoaded, shell.iconsDestroyed);
  EXPECT_EQ(shell.foreignDestroys, 0);  // the caller's own icon is left alone
}

TEST_F(TrayIconTest, IconChangesWhileHiddenAreKeptForTheAdd) {
  CTrayIcon tray;
  shell.answers = {FALSE};
  Create(tray);
  EXPECT_TRUE(tray.ChangeIconFromResource(IDR_MAINFRAME));
  EXPECT_TRUE(tray.ChangeIconFromResource(IDI_CONNECTING));
  EXPECT_EQ(shell.liveIcons.size(), 1u);
  SendMessageA(tray.hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_FALSE(Last().staleIcon);
  EXPECT_EQ(shell.liveIcons.count(Last().data.hIcon), 1u);
}

TEST_F(TrayIconTest, MissingIconResourceChangesNothing) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  shell.Clear();
  EXPECT_FALSE(tray.ChangeIconFromResource(4321));
  EXPECT_FALSE(tray.ChangeIconFromResource("NO_SUCH_ICON"));
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(tray.record().hIcon, icon);
}

TEST_F(TrayIconTest, IconIdFormUsesTheLowWordOnly) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  EXPECT_TRUE(tray.ChangeIconFromResource(0x10000u + IDR_MAINFRAME));
}

// ---- mouse notifications ----

// Closes the popup menu as soon as its loop runs.
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

class MenuTray : public CTrayIcon {
 public:
  int adjusted = 0;
  UINT defaultItem = 0xFFFF;
  UINT firstItem = 0;

 protected:
  void AdjustPopupMenu(HMENU menu) override {
    ++adjusted;
    defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
    firstItem = GetMenuItemID(menu, 0);
    SetTimer(nullptr, 0, 50, &EndMenuSoon);
  }
};

bool CommandPosted(HWND window, UINT* command) {
  MSG message;
  bool found = false;
  while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
    if (message.message == WM_COMMAND) {
      found = true;
      *command = LOWORD(message.wParam);
    }
  }
  return found;
}

TEST_F(TrayIconTest, MouseNotificationsWithoutMenu) {
  TestApplication app;
  app.SetMainWindow(&owner);
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  PumpMessages();

  EXPECT_EQ(tray.HandleTrayNotification(kIconId + 1, WM_LBUTTONDBLCLK), 0);
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_RBUTTONUP), 0);
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_LBUTTONUP), 1);
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_MOUSEMOVE), 1);

  // A double click brings the main window forward and posts nothing.
  PlainWindow other;
  ShowWindow(other.hwnd(), SW_SHOW);
  SetForegroundWindow(other.hwnd());
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_LBUTTONDBLCLK), 0);
  EXPECT_EQ(GetForegroundWindow(), owner.hwnd());
  UINT command = 0;
  EXPECT_FALSE(CommandPosted(owner.hwnd(), &command));
  app.SetMainWindow(nullptr);
}

TEST_F(TrayIconTest, WithoutMainWindowNothingHappens) {
  CTrayIcon tray;
  ASSERT_TRUE(Create(tray));
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(tray.HandleTrayNotification(kIconId, WM_MOUSEMOVE), 0);
}

TEST_F(TrayIconTest, MenuOfTheIconIdOnRightAndDoubleClick) {
  TestApplication app;
  app.SetMainWindow(&owner);
  MenuTray tray;
  ASSERT_TRUE(tray.CreateTray(&owner, kCallback, "menu", icon, IDR_TEST_TRAY_MENU));
  PumpMessages();

  EXPECT_EQ(tray.HandleTrayNotification(IDR_TEST_TRAY_MENU, WM_RBUTTONUP), 1);
  EXPECT_EQ(tray.adjusted, 1);
  EXPECT_EQ(tray.defaultItem, 0u);  // the first item, by position
  EXPECT_EQ(tray.firstItem, static_cast<UINT>(ID_TEST_TRAY_OPEN));

  UINT command = 0;
  CommandPosted(owner.hwnd(), &command);
  EXPECT_EQ(tray.HandleTrayNotification(IDR_TEST_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
  ASSERT_TRUE(CommandPosted(owner.hwnd(), &command));
  EXPECT_EQ(command, static_cast<UINT>(ID_TEST_TRAY_OPEN));
  app.SetMainWindow(nullptr);
}

TEST_F(TrayIconTest, CallbackSentToTheTrayWindowIsHandled) {
  TestApplication app;
  app.SetMainWindow(&owner);
  CTrayIcon tray;
  ASSERT_TRUE(tray.CreateTray(nullptr, kCallback, "own", icon, kIconId));
  EXPECT_EQ(SendMessageA(tray.hwnd(), kCallback, kIconId, WM_MOUSEMOVE), 1);
  EXPECT_EQ(SendMessageA(tray.hwnd(), kCallback, kIconId + 1, WM_MOUSEMOVE), 0);
  app.SetMainWindow(nullptr);
}

TEST(TrayIconType, TaskbarCreatedIsRegisteredBeforeMain) {
  // Registered during static initialisation: the number is already there,
  // and it is the one the system gives for the name.
  EXPECT_NE(CTrayIcon::TaskbarCreatedMessage(), 0u);
  EXPECT_EQ(CTrayIcon::TaskbarCreatedMessage(), RegisterWindowMessageA("TaskbarCreated"));
  CTrayIcon tray;
  fw::Window* window = &tray;
  EXPECT_NE(dynamic_cast<CTrayIcon*>(window), nullptr);
  EXPECT_STREQ(CTrayIcon::TypeName(), "CTrayIcon");
}

}  // namespace
