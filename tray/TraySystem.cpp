#include "tray/TraySystem.h"

namespace tolvane {
namespace {
TraySystem g_windows;
TraySystem* g_current = &g_windows;
}  // namespace

BOOL TraySystem::NotifyIcon(DWORD command, NOTIFYICONDATAA* data) {
  return ::Shell_NotifyIconA(command, data);
}

DWORD TraySystem::Version() { return ::GetVersion(); }

BOOL TraySystem::VersionEx(OSVERSIONINFOA* info) {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  return ::GetVersionExA(info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

HANDLE TraySystem::LoadImageResource(HINSTANCE instance, const char* name,
                                     UINT type, int width, int height,
                                     UINT flags) {
  return ::LoadImageA(instance, name, type, width, height, flags);
}

BOOL TraySystem::DestroyIconHandle(HICON icon) { return ::DestroyIcon(icon); }

HWND TraySystem::FindTopWindow(const char* className, const char* title) {
  return ::FindWindowA(className, title);
}

UINT_PTR TraySystem::AppBarMessage(DWORD message, APPBARDATA* data) {
  return ::SHAppBarMessage(message, data);
}

BOOL TraySystem::SystemParameters(UINT action, UINT param, void* value,
                                  UINT winIni) {
  return ::SystemParametersInfoA(action, param, value, winIni);
}

BOOL TraySystem::AnimateRects(HWND window, int animation, const RECT* from,
                              const RECT* to) {
  return ::DrawAnimatedRects(window, animation, from, to);
}

TraySystem& CurrentTraySystem() { return *g_current; }

ScopedTraySystem::ScopedTraySystem(TraySystem& calls) : previous_(g_current) {
  g_current = &calls;
}

ScopedTraySystem::~ScopedTraySystem() { g_current = previous_; }

}  // namespace tolvane
