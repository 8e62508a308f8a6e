#include "tray/TrayIcon.h"

#include <cstring>
#include <utility>

#include "core/BoundedCopy.h"
#include "framework/Application.h"
#include "framework/UniqueHandle.h"
#include "tray/TraySystem.h"

// Registered before the application's own initialisation runs, so that the
// taskbar's broadcast is recognised from the first message on.
const UINT CTrayIcon::s_taskbarCreatedMessage =
    ::RegisterWindowMessageA("TaskbarCreated");

fw::Window CTrayIcon::s_hiddenParent;

namespace {

using tolvane::CurrentTraySystem;

bool AnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// Copies a text into a field of the notify record, leaving its last byte 0.
template <std::size_t N>
void CopyField(char (&field)[N], const char* text) {
  tolvane::CopyBounded(field, text, N - 1, &AnsiLeadByte);
  field[N - 1] = '\0';
}

constexpr int kTaskbarSlackPixels = 5;

// Narrows the taskbar's rectangle to the notification area, without the clock.
BOOL CALLBACK NarrowToNotificationArea(HWND child, LPARAM lParam) {
  RECT* rect = reinterpret_cast<RECT*>(lParam);
  char className[255] = {};
  ::GetClassNameA(child, className, sizeof className);
  if (std::strcmp(className, "TrayNotifyWnd") == 0) {
    ::GetWindowRect(child, rect);
    return TRUE;
  }
  if (std::strcmp(className, "TrayClockWClass") == 0) {
    RECT clock{};
    ::GetWindowRect(child, &clock);
    if (clock.bottom < rect->bottom - kTaskbarSlackPixels) {
      rect->top = clock.bottom;  // the clock stands above the icons
    } else {
      rect->right = clock.left;  // the clock stands to their right
    }
    return FALSE;
  }
  return TRUE;
}

}  // namespace

CTrayIcon::CTrayIcon() {
  std::memset(&record_, 0, sizeof record_);
  OSVERSIONINFOA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  balloonsSupported_ = CurrentTraySystem().VersionEx(&version) &&
                       version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                       version.dwMajorVersion >= 5;
}

CTrayIcon::~CTrayIcon() {
  RemoveFromTray();
  DestroyWindow();
  ownedIcon_.reset();
}

const fw::MessageMap& CTrayIcon::Messages() {
  static const fw::MessageMap map(
      &fw::Window::Messages(),
      {
          fw::OnRegisteredMessage(&s_taskbarCreatedMessage,
                                  &CTrayIcon::OnTaskbarCreated),
          fw::OnSettingChange(&CTrayIcon::OnSettingChange),
      });
  return map;
}

bool CTrayIcon::Notify(DWORD command) {
  return CurrentTraySystem().NotifyIcon(command, &record_) != FALSE;
}

void CTrayIcon::NoteShellHas(UINT flags) {
  if ((flags & NIF_TIP) != 0) std::memcpy(shellTip_, record_.szTip, sizeof shellTip_);
  if ((flags & NIF_ICON) != 0) shellIcon_ = record_.hIcon;
}

bool CTrayIcon::Add() {
  record_.uFlags = creationFlags_;
  if (!Notify(NIM_ADD)) return false;
  shellTip_[0] = '\0';
  shellIcon_ = nullptr;
  NoteShellHas(creationFlags_);
  return true;
}

bool CTrayIcon::Modify() {
  const UINT flags = record_.uFlags;
  if (Notify(NIM_MODIFY)) {
    NoteShellHas(flags);
    return true;
  }
  if (hidden_) return false;
  // The shell has no such icon: it has ended, or lost its icons without
  // telling. Put the icon back now; when the shell takes no icon either, the
  // icon is not shown until an add succeeds (the taskbar created again).
  const bool added = Add();
  hidden_ = !added;
  reinstallPending_ = !added;
  if (!added) return false;
  record_.uFlags = flags;
  if ((flags & ~creationFlags_) == 0) return true;  // the add carried the change
  if (!Notify(NIM_MODIFY)) return false;
  NoteShellHas(flags);
  return true;
}

bool CTrayIcon::CreateTray(fw::Window* parent, UINT callbackMessage,
                           const char* tipText, HICON icon, UINT iconId,
                           bool createHidden, const char* balloonText,
                           const char* balloonTitle, DWORD balloonIconFlags,
                           UINT balloonTimeoutSeconds) {
  const DWORD version = CurrentTraySystem().Version();
  if (LOBYTE(LOWORD(version)) < 4) {
    enabled_ = false;
    return false;
  }
  enabled_ = true;

  if (hwnd() == nullptr) {
    CreateEx(0, fw::RegisterWindowClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr,
             nullptr);
  }

  record_.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record_.hWnd = parent != nullptr && parent->hwnd() != nullptr ? parent->hwnd()
                                                                 : hwnd();
  record_.uID = iconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = callbackMessage;
  record_.hIcon = icon;
  CopyField(record_.szTip, tipText);

  const bool balloon = balloonsSupported_ && balloonText != nullptr;
  if (balloon) {
    record_.uFlags |= NIF_INFO;
    CopyField(record_.szInfo, balloonText);
    CopyField(record_.szInfoTitle, balloonTitle != nullptr ? balloonTitle : "");
    record_.uTimeout = balloonTimeoutSeconds * 1000;
    record_.dwInfoFlags = balloonIconFlags;
  }

  hidden_ = createHidden;
  creationFlags_ = record_.uFlags;
  wanted_ = true;

  const bool added = Add();
  removed_ = !added;
  hidden_ = !added;
  reinstallPending_ = !added;

  if (balloon) record_.szInfo[0] = '\0';
  ReleaseReplacedIcon();
  return added;
}

bool CTrayIcon::SetTipText(const char* text) {
  if (!enabled_) return false;
  record_.uFlags = NIF_TIP;
  CopyField(record_.szTip, text);
  if (hidden_) return true;
  // An unchanged tooltip is sent again now and then all the same: a shell
  // that has ended without coming back refuses it, and that is the only
  // way to learn that the icon is gone while nothing changes.
  if (std::strcmp(record_.szTip, shellTip_) == 0 &&
      ++unchangedTips_ < kUnchangedTipsBeforeCheck) {
    return true;
  }
  unchangedTips_ = 0;
  return Modify();
}

bool CTrayIcon::ChangeIcon(HICON icon) {
  if (!enabled_) return false;
  record_.uFlags = NIF_ICON;
  record_.hIcon = icon;
  const bool result = hidden_ || icon == shellIcon_ || Modify();
  ReleaseReplacedIcon();
  return result;
}

bool CTrayIcon::ChangeIconFromResource(UINT resourceId) {
  return ChangeIconFromResource(MAKEINTRESOURCEA(LOWORD(resourceId)));
}

bool CTrayIcon::ChangeIconFromResource(const char* resourceName) {
  if (ownedIcon_ && record_.hIcon == ownedIcon_.get() && ownedIconId_ != 0 &&
      IS_INTRESOURCE(resourceName) && LOWORD(resourceName) == ownedIconId_) {
    return ChangeIcon(ownedIcon_.get());  // the icon of that resource is there already
  }
  tolvane::OwnedTrayIcon loaded(static_cast<HICON>(
      CurrentTraySystem().LoadImageResource(fw::Application::ResourceInstance(),
                                            resourceName, IMAGE_ICON, 0, 0,
                                            LR_DEFAULTCOLOR)));
  if (!loaded) return false;
  const bool result = ChangeIcon(loaded.get());
  if (record_.hIcon == loaded.get()) {
    // The record names this icon from now on, and a later add shows it
    // again: it lives until another icon replaces it.
    ownedIcon_ = std::move(loaded);
    ownedIconId_ = IS_INTRESOURCE(resourceName) ? LOWORD(resourceName) : 0;
  }
  return result;
}

void CTrayIcon::ReleaseReplacedIcon() {
  if (ownedIcon_ && ownedIcon_.get() != record_.hIcon) {
    ownedIcon_.reset();
    ownedIconId_ = 0;
  }
}

bool CTrayIcon::ShowBalloonTip(const char* text, const char* title,
                               DWORD iconFlags, UINT timeoutSeconds) {
  if (!balloonsSupported_) return false;
  record_.uFlags = NIF_INFO;
  CopyField(record_.szInfo, text);
  CopyField(record_.szInfoTitle, title != nullptr ? title : "");
  record_.dwInfoFlags = iconFlags;
  record_.uTimeout = timeoutSeconds * 1000;
  const bool result = Modify();
  record_.szInfo[0] = '\0';
  return result;
}

bool CTrayIcon::RemoveFromTray() {
  reinstallPending_ = false;
  wanted_ = false;
  if (!enabled_ || removed_) return true;
  record_.uFlags = 0;
  if (Notify(NIM_DELETE)) {
    hidden_ = true;
    removed_ = true;
  }
  return removed_;
}

void CTrayIcon::ReinstallIcon() {
  if (!reinstallPending_ || !wanted_) return;
  const bool wasShown = !hidden_;
  bool shown = Add();
  if (!shown && wasShown) {
    // The shell refuses to add an icon it already has (the work area changed
    // while the icon was shown): the icon is still there when it takes a
    // change of it.
    shown = Notify(NIM_MODIFY);
    if (shown) NoteShellHas(creationFlags_);
  }
  hidden_ = !shown;
  reinstallPending_ = !shown;
  if (shown) removed_ = false;
}

LRESULT CTrayIcon::OnTaskbarCreated(WPARAM, LPARAM) {
  reinstallPending_ = true;
  ReinstallIcon();
  return 0;
}

fw::Handling CTrayIcon::OnSettingChange(UINT action) {
  if (action == SPI_SETWORKAREA) {
    reinstallPending_ = !hidden_;
    ReinstallIcon();
  }
  // The message's default processing concerns this hidden window alone,
  // not the icon, and may as well come after the add.
  return fw::NotHandled();
}

LRESULT CTrayIcon::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (record_.uCallbackMessage != 0 && message == record_.uCallbackMessage) {
    return HandleTrayNotification(static_cast<UINT>(wParam), LOWORD(lParam));
  }
  return fw::Window::WindowProc(message, wParam, lParam);
}

CTrayIcon::IconMenu CTrayIcon::LoadIconMenu() const {
  IconMenu loaded;
  HINSTANCE module = fw::Application::ResourceInstance();
  const char* name = MAKEINTRESOURCEA(LOWORD(record_.uID));
  if (::FindResourceA(module, name, RT_MENU) == nullptr) return loaded;
  loaded.menu.reset(::LoadMenuA(module, name));
  if (loaded.menu) loaded.popup = ::GetSubMenu(loaded.menu.get(), 0);
  return loaded;
}

LRESULT CTrayIcon::HandleTrayNotification(UINT iconId, UINT mouseMessage) {
  if (iconId != record_.uID) return 0;
  fw::Application* application = fw::Application::Current();
  fw::Window* mainWindow =
      application != nullptr ? application->MainWindow() : nullptr;
  HWND target = mainWindow != nullptr ? mainWindow->hwnd() : nullptr;
  if (target == nullptr) return 0;

  if (mouseMessage == WM_RBUTTONUP) {
    const IconMenu menu = LoadIconMenu();
    HMENU popup = menu.popup;
    if (popup == nullptr) return 0;
    ::SetMenuDefaultItem(popup, defaultMenuItem_, defaultItemByPosition_);
    AdjustPopupMenu(popup);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(target);
    ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, target, nullptr);
    // Lets the menu close when the user clicks elsewhere.
    ::PostMessageA(target, WM_NULL, 0, 0);
    return 1;
  }
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    ::SetForegroundWindow(target);
    UINT command = defaultMenuItem_;
    if (defaultItemByPosition_) {
      const IconMenu menu = LoadIconMenu();
      if (menu.popup == nullptr) return 0;
      command = ::GetMenuItemID(menu.popup, static_cast<int>(defaultMenuItem_));
    }
    ::PostMessageA(target, WM_COMMAND, command, 0);
    return 1;
  }
  return 1;
}

void CTrayIcon::AdjustPopupMenu(HMENU) {}

// ---- moving a window into the notification area and back ----------------

void CTrayIcon::FindTrayRect(RECT* rect) {
  tolvane::TraySystem& system = CurrentTraySystem();
  HWND taskbar = system.FindTopWindow("Shell_TrayWnd", nullptr);
  if (taskbar != nullptr) {
    ::GetWindowRect(taskbar, rect);
    ::EnumChildWindows(taskbar, &NarrowToNotificationArea,
                       reinterpret_cast<LPARAM>(rect));
    return;
  }

  APPBARDATA bar;
  std::memset(&bar, 0, sizeof bar);
  bar.cbSize = sizeof bar;
  if (system.AppBarMessage(ABM_GETTASKBARPOS, &bar) != 0) {
    switch (bar.uEdge) {
      case ABE_LEFT:
      case ABE_RIGHT:
        rect->left = bar.rc.left;
        rect->right = bar.rc.right;
        rect->top = bar.rc.bottom - 100;
        rect->bottom = bar.rc.bottom - 16;
        break;
      case ABE_TOP:
      case ABE_BOTTOM:
        rect->top = bar.rc.top;
        rect->bottom = bar.rc.bottom;
        rect->left = bar.rc.right - 100;
        rect->right = bar.rc.right - 16;
        break;
      default:
        *rect = bar.rc;
        break;
    }
    return;
  }

  system.SystemParameters(SPI_GETWORKAREA, 0, rect, 0);
  rect->left = rect->right - 150;
  rect->top = rect->bottom - 30;
}

bool CTrayIcon::IsWindowAnimationOn() {
  ANIMATIONINFO animation;
  std::memset(&animation, 0, sizeof animation);
  animation.cbSize = sizeof animation;
  CurrentTraySystem().SystemParameters(SPI_GETANIMATION, sizeof animation,
                                       &animation, 0);
  return animation.iMinAnimate != 0;
}

bool CTrayIcon::AttachToHiddenParent(HWND window) {
  const char* className = fw::RegisterWindowClass(0);
  if (!::IsWindow(s_hiddenParent.hwnd())) {
    if (!s_hiddenParent.CreateEx(0, className, "", WS_POPUP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 nullptr, nullptr)) {
      return false;
    }
  }
  ::SetParent(window, s_hiddenParent.hwnd());
  return true;
}

HWND CTrayIcon::HiddenParentWindow() { return s_hiddenParent.hwnd(); }

void CTrayIcon::DestroyHiddenParent() { s_hiddenParent.DestroyWindow(); }

namespace {

// A plain change of the visible style: no show-window call, no move, no
// redraw.
bool SetVisibleStyle(HWND window, bool visible) {
  const LONG style = ::GetWindowLongA(window, GWL_STYLE);
  const LONG changed = visible ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
  ::SetLastError(0);
  const LONG previous = ::SetWindowLongA(window, GWL_STYLE, changed);
  return previous != 0 || ::GetLastError() == 0;
}

}  // namespace

bool CTrayIcon::AnimateWindowToTray(HWND window, bool forceAnimation) {
  if (forceAnimation || IsWindowAnimationOn()) {
    RECT from{};
    RECT to{};
    ::GetWindowRect(window, &from);
    FindTrayRect(&to);
    CurrentTraySystem().AnimateRects(window, IDANI_CAPTION, &from, &to);
  }
  AttachToHiddenParent(window);
  return SetVisibleStyle(window, false);
}

bool CTrayIcon::RestoreWindowFromTray(HWND window, bool forceAnimation) {
  if (forceAnimation || IsWindowAnimationOn()) {
    RECT to{};
    RECT from{};
    ::GetWindowRect(window, &to);  // where it stood when it was hidden
    FindTrayRect(&from);
    ::SetParent(window, nullptr);
    CurrentTraySystem().AnimateRects(window, IDANI_CAPTION, &from, &to);
  } else {
    ::SetParent(window, nullptr);
  }
  SetVisibleStyle(window, true);
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                     RDW_FRAME);
  if (::IsWindow(s_hiddenParent.hwnd())) ::SetActiveWindow(s_hiddenParent.hwnd());
  ::SetActiveWindow(window);
  return ::SetForegroundWindow(window) != FALSE;
}
