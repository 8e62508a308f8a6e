#include "tests/e2e/driver/Input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/driver/TolvaneProcess.h"
#include "tests/e2e/driver/Wait.h"
#include "tests/e2e/driver/Windows.h"

namespace e2e {
namespace {

// Absolute mouse coordinates are 0..65535 over the virtual screen.
LONG Normalised(LONG value, int origin, int size) {
  return static_cast<LONG>((static_cast<long long>(value - origin) * 65536 + size - 1) /
                           size);
}

INPUT MouseInput(POINT point, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(point.x, GetSystemMetrics(SM_XVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN));
  input.mi.dy = Normalised(point.y, GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CYVIRTUALSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  return input;
}

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool IsSelfOrAncestor(HWND ancestor, HWND window) {
  for (HWND w = window; w != nullptr; w = GetParent(w)) {
    if (w == ancestor) return true;
  }
  return false;
}

bool CursorAt(POINT point) {
  POINT now{};
  return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

LRESULT HitTest(HWND window, int x, int y) {
  DWORD_PTR hit = HTNOWHERE;
  SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                      &hit);
  return static_cast<LRESULT>(hit);
}

HWND WaitForMenu(DWORD pid) {
  return WaitForWindowOf(pid, WindowSpec{kMenuClass, std::nullopt, true});
}

}  // namespace

bool BringToFront(HWND topLevel) {
  if (GetForegroundWindow() == topLevel) return true;
  if (WaitUntil(
          [&] {
            if (GetForegroundWindow() != topLevel) SetForegroundWindow(topLevel);
            return GetForegroundWindow() == topLevel;
          },
          3000)) {
    return true;
  }
  ADD_FAILURE() << "could not bring this window to the front: " << Describe(topLevel)
                << "\nthe foreground window is: " << Describe(GetForegroundWindow());
  return false;
}

POINT CentreOf(HWND window) {
  RECT rect = RectOf(window);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

namespace {

void MovePointerTo(POINT point) {
  Send({MouseInput(point, MOUSEEVENTF_MOVE)});
  if (!WaitUntil([&] { return CursorAt(point); }, 2000)) {
    POINT now{};
    GetCursorPos(&now);
    ADD_FAILURE() << "the pointer did not reach (" << point.x << "," << point.y
                  << "); it is at (" << now.x << "," << now.y << ")";
  }
}

void PressButtonAt(POINT point, MouseButton button) {
  // Wine moves the X pointer along with each move, and the X server reports
  // those moves back late, which can put Wine's pointer back where it was a
  // moment ago. So every button event carries its own position as well.
  const bool left = button == MouseButton::kLeft;
  Send({MouseInput(point, MOUSEEVENTF_MOVE |
                              (left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN)),
        MouseInput(point, MOUSEEVENTF_MOVE |
                              (left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP))});
}

}  // namespace

void ClickAt(POINT point, MouseButton button) {
  MovePointerTo(point);
  PressButtonAt(point, button);
}

bool Click(HWND control, MouseButton button) {
  if (!IsWindow(control) || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
    ADD_FAILURE() << "cannot click a window that is not there, hidden or disabled: "
                  << Describe(control);
    return false;
  }
  const HWND root = GetAncestor(control, GA_ROOT);
  if (!BringToFront(root)) return false;
  POINT point = CentreOf(control);
  MovePointerTo(point);
  // Looked at once the pointer is there, right before the button goes down:
  // on a busy machine the move takes a while, and a window that opened
  // meanwhile (another program's console, say) would take the click.
  if (!BringToFront(root)) return false;
  HWND there = WindowFromPoint(point);
  if (!IsSelfOrAncestor(control, there)) {
    ADD_FAILURE() << "cannot click " << Describe(control) << "\nit is covered at ("
                  << point.x << "," << point.y << ") by " << Describe(there);
    return false;
  }
  PressButtonAt(point, button);
  return true;
}

void PressKey(WORD virtualKey) { PressKeys({virtualKey}); }

void PressKeys(std::initializer_list<WORD> virtualKeys) {
  std::vector<INPUT> inputs;
  for (WORD key : virtualKeys) inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key) {
    inputs.push_back(KeyInput(*key, true));
  }
  Send(inputs);
}

void TypeText(const std::string& text) {
  std::vector<INPUT> inputs;
  for (unsigned char c : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;  // the 8-bit text of the program is Latin-1 here
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  Send(inputs);
}

bool TypeInto(HWND edit, const std::string& text) {
  if (!Click(edit)) return false;
  DWORD thread = GetWindowThreadProcessId(edit, nullptr);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (!WaitUntil([&] { return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == edit; },
                 3000)) {
    ADD_FAILURE() << "clicked into " << Describe(edit) << " but the focus is on "
                  << Describe(gui.hwndFocus);
    return false;
  }
  TypeText(text);
  return true;
}

HWND OpenSystemMenuWithKeyboard(HWND topLevel) {
  if (!BringToFront(topLevel)) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(topLevel, &pid);
  PressKeys({VK_MENU, VK_SPACE});
  return WaitForMenu(pid);
}

HWND OpenSystemMenuWithMouse(HWND topLevel) {
  if (!ClickCaption(topLevel, HTSYSMENU)) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(topLevel, &pid);
  return WaitForMenu(pid);
}

POINT CaptionPoint(HWND topLevel, LRESULT hitTest) {
  const POINT none{-1, -1};
  RECT rect = RectOf(topLevel);
  // Down the middle of the window to the caption's rows...
  const int middle = (rect.left + rect.right) / 2;
  int captionTop = -1;
  int captionBottom = -1;
  for (int y = rect.top; y < rect.bottom && y < rect.top + 80; ++y) {
    if (HitTest(topLevel, middle, y) == HTCAPTION) {
      if (captionTop < 0) captionTop = y;
      captionBottom = y;
    } else if (captionTop >= 0) {
      break;
    }
  }
  if (captionTop < 0) return none;
  const int row = (captionTop + captionBottom) / 2;
  // ...and along its middle row to the part wanted.
  int first = -1;
  int last = -1;
  for (int x = rect.left; x < rect.right; ++x) {
    if (HitTest(topLevel, x, row) == hitTest) {
      if (first < 0) first = x;
      last = x;
    } else if (first >= 0) {
      break;
    }
  }
  if (first < 0) return none;
  return POINT{(first + last) / 2, row};
}

bool ClickCaption(HWND topLevel, LRESULT hitTest) {
  if (!BringToFront(topLevel)) return false;
  POINT point = CaptionPoint(topLevel, hitTest);
  if (point.x < 0) {
    ADD_FAILURE() << "the title bar has no part with hit-test code " << hitTest << ": "
                  << Describe(topLevel);
    return false;
  }
  ClickAt(point);
  return true;
}

bool StartLinuxProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessOnceMoreAfterLoaderError(commandLine, [&] {
        std::string line = commandLine;  // CreateProcessA may change it
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info);
      })) {
    ADD_FAILURE() << "could not start " << commandLine << " (error " << GetLastError()
                  << ")";
    return false;
  }
  // Wine starts a Linux program without a Windows process and leaves stale
  // stack values in `info`: they can name a handle of this process (the
  // Tolvane process, say), which must not be closed. Only a real process
  // handle with its id is closed.
  if (info.dwProcessId != 0 && info.hProcess != nullptr &&
      GetProcessId(info.hProcess) == info.dwProcessId) {
    CloseHandle(info.hProcess);
    if (info.hThread != nullptr && GetThreadId(info.hThread) == info.dwThreadId) {
      CloseHandle(info.hThread);
    }
  }
  return true;
}

bool XClickAt(POINT point, MouseButton button) {
  // Two clicks at one place within the double-click time are a double click
  // (the notification area then reports WM_LBUTTONDBLCLK, not a button
  // press): a second single click waits, as a person's does.
  static ULONGLONG lastClick = 0;
  static POINT lastPoint{-1000, -1000};
  const ULONGLONG gap = GetDoubleClickTime() + 100;
  if (std::abs(point.x - lastPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(point.y - lastPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
    const ULONGLONG since = GetTickCount64() - lastClick;
    if (since < gap) Pause(static_cast<DWORD>(gap - since));
  }
  lastPoint = point;
  // Where the pointer rests afterwards tells that the click is through; when
  // it rests there already (the same click before), it rests above instead.
  POINT after{point.x, point.y + 1};
  if (CursorAt(after)) after.y = point.y - 1;
  const std::string x = std::to_string(point.x);
  const std::string y = std::to_string(point.y);
  if (!StartLinuxProgram("/usr/bin/xdotool mousemove " + x + " " + y + " click " +
                         (button == MouseButton::kLeft ? "1" : "3") + " mousemove " + x +
                         " " + std::to_string(after.y))) {
    return false;
  }
  const bool clicked = WaitUntil([&] { return CursorAt(after); });
  lastClick = GetTickCount64();
  if (clicked) return true;
  POINT now{};
  GetCursorPos(&now);
  ADD_FAILURE() << "xdotool did not click at (" << point.x << "," << point.y
                << "): the pointer is at (" << now.x << "," << now.y << ")";
  return false;
}

bool XMoveTo(POINT point) {
  const std::string move =
      "/usr/bin/xdotool mousemove " + std::to_string(point.x) + " " + std::to_string(point.y);
  // A move is harmless to make again: on a busy machine a move has been seen
  // never to reach Wine's idea of the pointer; it is then made once more, and
  // the output says so. A click is never repeated.
  POINT now{};
  for (int attempt = 1; attempt <= 2; ++attempt) {
    if (!StartLinuxProgram(move)) return false;
    if (WaitUntil([&] { return CursorAt(point); })) return true;
    GetCursorPos(&now);
    if (attempt == 1) {
      std::printf("[ pointer    ] xdotool's move to (%ld,%ld) had not arrived; the pointer is "
                  "at (%ld,%ld): moving it once more\n",
                  point.x, point.y, now.x, now.y);
      std::fflush(stdout);
    }
  }
  ADD_FAILURE() << "xdotool did not move the pointer to (" << point.x << "," << point.y
                << "), twice: it is at (" << now.x << "," << now.y << ")";
  return false;
}

POINT TrayIconPoint(int slot) {
  RECT tray = RectOf(FindWindowA("Shell_TrayWnd", nullptr));
  // Each icon takes a small icon's width and a border of 2 on each side,
  // from the right end of the taskbar leftwards.
  const int width = GetSystemMetrics(SM_CXSMICON) + 4;
  return POINT{tray.right - width * slot - width / 2, (tray.top + tray.bottom) / 2};
}

}  // namespace e2e
