// Finding and reading the windows of another process, the way a person sees
// them: top-level windows by class and caption, message boxes, dialog
// controls.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/Wait.h"
#include "tests/support/WindowText.h"

namespace e2e {

using tolvane::testing::WindowText;

inline constexpr char kDialogClass[] = "#32770";
inline constexpr char kMenuClass[] = "#32768";

std::string ClassOf(HWND window);
// The text a control holds now, asked of the program (WM_GETTEXT): what an
// edit control shows. Waits while the program is busy.
std::string TextOf(HWND window);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);
RECT RectOf(HWND window);  // screen coordinates
// One line about a window for failure messages: class, caption, state, place.
std::string Describe(HWND window);

// Top-level windows of a process, in Z order (topmost first).
std::vector<HWND> TopLevelWindowsOf(DWORD pid);
// The direct children of a window, in Z order.
std::vector<HWND> ChildrenOf(HWND parent);
// All top-level windows of a process, one per line, for failure messages.
std::string DescribeWindowsOf(DWORD pid);

// Every visible top-level window on the screen, whatever its process, one
// per line in Z order (topmost first), with its program and the foreground
// window marked: what a failed test saw instead of what it waited for.
std::string DescribeScreen();

// What a top-level window must be like; empty fields match anything.
struct WindowSpec {
  std::string className;
  std::optional<std::string> caption;
  bool mustBeVisible = true;
  std::string Describe() const;
};

// The first top-level window of the process that matches, or nullptr.
HWND FindWindowOf(DWORD pid, const WindowSpec& spec);
// Waits for such a window; on time-out reports a failure naming what was
// expected and what windows the process had, and returns nullptr.
HWND WaitForWindowOf(DWORD pid, const WindowSpec& spec, DWORD timeoutMs = kTimeoutMs);
// Waits until the window is destroyed or hidden; reports a failure on
// time-out.
bool WaitUntilGone(HWND window, DWORD timeoutMs = kTimeoutMs);

// A message box: a "#32770" window whose control 0xFFFF is a text (not an
// icon) static.
struct MessageBoxContent {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
  struct Button {
    int id;
    std::string text;
    HWND hwnd;
  };
  std::vector<Button> buttons;
  // The button with this text ("OK"), or nullptr.
  HWND ButtonWithText(const std::string& text) const;
  std::string Describe() const;
};

std::optional<MessageBoxContent> ReadMessageBox(HWND window);
// The process's visible message boxes now.
std::vector<MessageBoxContent> MessageBoxesOf(DWORD pid);
// Waits for a visible message box of the process (with that caption, when
// one is given); reports a failure on time-out.
std::optional<MessageBoxContent> WaitForMessageBox(
    DWORD pid, const std::optional<std::string>& caption = std::nullopt,
    DWORD timeoutMs = kTimeoutMs);

// A control of a dialog by id (nullptr when there is none).
HWND ControlOf(HWND dialog, int id);

}  // namespace e2e
