#include "tests/win/MessageBoxCatcher.h"

namespace tolvane::testing {
namespace {
MessageBoxCatcher* g_catcher = nullptr;

std::string TextOf(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
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
  if (code == HCBT_ACTIVATE && g_catcher != nullptr) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[64] = {};
    GetClassNameA(box, className, sizeof className);
    // A message box is a dialog whose text sits in static control 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    if (std::string(className) == "#32770" && text != nullptr) {
      g_catcher->boxes_.push_back({TextOf(box), TextOf(text), GetWindow(box, GW_OWNER)});
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_catcher->answer_, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace tolvane::testing
