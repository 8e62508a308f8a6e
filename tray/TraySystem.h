// The Windows calls of the tray icon and of the move into the tray that tests
// watch or answer themselves. TraySystem forwards each call to Windows; a
// test installs an object of a derived class for the time of one test.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/UniqueHandle.h"

namespace tolvane {

class TraySystem {
 public:
  virtual ~TraySystem() = default;

  // Shell_NotifyIconA.
  virtual BOOL NotifyIcon(DWORD command, NOTIFYICONDATAA* data);
  // GetVersion and GetVersionExA.
  virtual DWORD Version();
  virtual BOOL VersionEx(OSVERSIONINFOA* info);
  // LoadImageA and DestroyIcon: every icon the tray loads passes here.
  virtual HANDLE LoadImageResource(HINSTANCE instance, const char* name, UINT type,
                                   int width, int height, UINT flags);
  virtual BOOL DestroyIconHandle(HICON icon);
  // FindWindowA, SHAppBarMessage, SystemParametersInfoA, DrawAnimatedRects:
  // what the move into the tray asks about the taskbar and the desktop.
  virtual HWND FindTopWindow(const char* className, const char* title);
  virtual UINT_PTR AppBarMessage(DWORD message, APPBARDATA* data);
  virtual BOOL SystemParameters(UINT action, UINT param, void* value, UINT winIni);
  virtual BOOL AnimateRects(HWND window, int animation, const RECT* from,
                            const RECT* to);
};

// The calls in use: Windows itself unless a test has installed others.
TraySystem& CurrentTraySystem();

// An icon the tray has loaded, destroyed through the calls in use.
struct TrayIconPolicy {
  using Handle = HICON;
  static bool IsHeld(HICON icon) { return icon != nullptr; }
  static bool Close(HICON icon) {
    return CurrentTraySystem().DestroyIconHandle(icon) != FALSE;
  }
};
using OwnedTrayIcon = fw::UniqueHandle<TrayIconPolicy>;

// Installs `calls` for its lifetime (tests).
class ScopedTraySystem {
 public:
  explicit ScopedTraySystem(TraySystem& calls);
  ~ScopedTraySystem();
  ScopedTraySystem(const ScopedTraySystem&) = delete;
  ScopedTraySystem& operator=(const ScopedTraySystem&) = delete;

 private:
  TraySystem* previous_;
};

}  // namespace tolvane
