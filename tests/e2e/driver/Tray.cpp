#include "tests/e2e/driver/Tray.h"

#include <shellapi.h>
#include <commctrl.h>

#include <sstream>

#include "tests/e2e/driver/Screen.h"
#include "tests/e2e/driver/Windows.h"

namespace e2e {
namespace {

NOTIFYICONDATAA Record(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = 0;
  return data;
}

BOOL CALLBACK CollectTip(HWND window, LPARAM lParam) {
  auto* tips = reinterpret_cast<std::vector<TipWindow>*>(lParam);
  if (!IsWindowVisible(window) || ClassOf(window) != "tooltips_class32") return TRUE;
  TipWindow tip;
  tip.hwnd = window;
  tip.balloon = (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0;
  tip.text = TextOf(window);
  tips->push_back(tip);
  return TRUE;
}

}  // namespace

HWND Taskbar() { return FindWindowA("Shell_TrayWnd", nullptr); }

RECT TaskbarRect() { return RectOf(Taskbar()); }

bool TrayIconExists(HWND owner, UINT id) {
  NOTIFYICONDATAA data = Record(owner, id);
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool DeleteTrayIcon(HWND owner, UINT id) {
  NOTIFYICONDATAA data = Record(owner, id);
  return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

bool TaskbarShowsIcon(HICON icon) {
  return FindIconOnScreen(icon, TaskbarRect(), GetSystemMetrics(SM_CXSMICON)).has_value();
}

void BroadcastTaskbarCreated() {
  const UINT message = RegisterWindowMessageA("TaskbarCreated");
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

std::vector<TipWindow> VisibleTips() {
  std::vector<TipWindow> tips;
  EnumWindows(&CollectTip, reinterpret_cast<LPARAM>(&tips));
  return tips;
}

std::string DescribeTips() {
  std::ostringstream out;
  out << "visible tooltips:";
  std::vector<TipWindow> tips = VisibleTips();
  if (tips.empty()) out << " none";
  for (const TipWindow& tip : tips) {
    out << (tip.balloon ? " balloon \"" : " tip \"") << tip.text << "\"";
  }
  return out.str();
}

}  // namespace e2e
