// The notification area as another program sees it: whether an icon is
// there, what it shows (found by its pixels in the taskbar), the tooltips
// and balloons on the screen, and the taskbar's "TaskbarCreated" broadcast.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The id of Tolvane's icon in the notification area.
inline constexpr UINT kTrayIconId = 140;

// The taskbar window (Shell_TrayWnd) and its screen rectangle.
HWND Taskbar();
RECT TaskbarRect();

// Whether the notification area has the icon (owner window, icon id): the
// shell takes a change of an icon only when it has it.
bool TrayIconExists(HWND owner, UINT id);
// Takes the icon out of the notification area, as a shell that restarts
// loses every icon; true when it was there.
bool DeleteTrayIcon(HWND owner, UINT id);

// Whether the taskbar shows the icon (at the small icon size) now.
bool TaskbarShowsIcon(HICON icon);

// What a program does when the shell has started again: the registered
// "TaskbarCreated" message to every top-level window.
void BroadcastTaskbarCreated();

// A visible tooltip window ("tooltips_class32") of any process.
struct TipWindow {
  HWND hwnd = nullptr;
  std::string text;      // what it shows (WM_GETTEXT)
  bool balloon = false;  // TTS_BALLOON
};
std::vector<TipWindow> VisibleTips();
// The texts of the visible balloons / plain tooltips, for messages.
std::string DescribeTips();

}  // namespace e2e
