#include "tests/win/MessageBoxCatcher.h"

#include "tests/support/WindowText.h"

namespace tolvane::testing {
namespace {
MessageBoxCatcher* g_catcher = nullptr;

std::vector<int> ButtonsOf(HWND box) {
  std::vector<int> buttons;
  for (int id = IDOK; id <= IDCONTINUE; ++id) {
    if (GetDlgItem(box, id) != nullptr) buttons.push_back(id);
  }
  return buttons;
}

HICON IconOf(HWND box) {
  // The icon's static control has id 20 on Windows and 1088 under Wine.
  for (int id : {20, 1088}) {
    HWND item = GetDlgItem(box, id);
    if (item == nullptr) continue;
    LRESULT icon = SendMessageA(item, STM_GETICON, 0, 0);
    if (icon != 0) return reinterpret_cast<HICON>(icon);
  }
  return nullptr;
}
}  // namespace

MessageBoxCatcher::MessageBoxCatcher(int answer) : answer_(answer) {
  g_catcher = this;
  hook_ = SetWindowsHookExA(WH_CBT, &MessageBoxCatcher::Hook, nullptr,
                            GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
  UnhookWindowsHookEx(hook_);
  g_catcher = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND && g_catcher != nullptr) {
    g_catcher->open_.erase(reinterpret_cast<HWND>(wParam));
  }
  if (code == HCBT_ACTIVATE && g_catcher != nullptr &&
      g_catcher->open_.count(reinterpret_cast<HWND>(wParam)) == 0) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[64] = {};
    GetClassNameA(box, className, sizeof className);
    // A message box is a dialog whose text sits in static control 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    if (std::string(className) == "#32770" && text != nullptr) {
      g_catcher->boxes_.push_back({WindowText(box), WindowText(text), GetWindow(box, GW_OWNER),
                                   ButtonsOf(box), IconOf(box)});
      g_catcher->open_.insert(box);
      if (g_catcher->whileOpen_) {
        const CaughtBox caught = g_catcher->boxes_.back();
        g_catcher->whileOpen_(caught);
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_catcher->answer_, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace tolvane::testing
