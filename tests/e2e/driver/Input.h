// Input as a user gives it: real mouse clicks and key presses through the
// system's input queue (SendInput), and real X clicks (xdotool) where only
// the X server reaches, as for the notification area.
//
// Windows screen coordinates equal X screen coordinates here: the Wine
// virtual desktop fills the Xvfb screen from 0,0 (the driver's self-test
// checks this).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace e2e {

enum class MouseButton { kLeft, kRight };

// Makes a top-level window the foreground window and waits until it is;
// reports a failure when it does not become so.
bool BringToFront(HWND topLevel);

POINT CentreOf(HWND window);

// A click at a screen point: move, button down, button up.
void ClickAt(POINT point, MouseButton button = MouseButton::kLeft);
// Brings the control's top-level window to the front and clicks the centre
// of the control; reports a failure (and does not click) when the control
// is hidden, disabled, or covered there by another window.
bool Click(HWND control, MouseButton button = MouseButton::kLeft);
inline bool RightClick(HWND control) { return Click(control, MouseButton::kRight); }

// Key presses go to the window that has the keyboard focus.
void PressKey(WORD virtualKey);
// Keys held together, pressed in order and released in reverse order:
// PressKeys({VK_MENU, VK_SPACE}) is Alt+Space.
void PressKeys(std::initializer_list<WORD> virtualKeys);
// Types text as characters (KEYEVENTF_UNICODE).
void TypeText(const std::string& text);
// Clicks into an edit control and types text at its caret.
bool TypeInto(HWND edit, const std::string& text);

// Opens the system menu of a top-level window with Alt+Space and waits for
// the menu; returns the menu window, or nullptr after reporting a failure.
HWND OpenSystemMenuWithKeyboard(HWND topLevel);
// Opens it with a click on the system-menu button of the caption.
HWND OpenSystemMenuWithMouse(HWND topLevel);

// A screen point of a title-bar part of a top-level window (HTCLOSE,
// HTSYSMENU, HTMINBUTTON, HTCAPTION), found by asking the window
// (WM_NCHITTEST); {-1, -1} when it has none.
POINT CaptionPoint(HWND topLevel, LRESULT hitTest);
// Brings the window to the front and clicks that part; reports a failure
// when the window has no such part.
bool ClickCaption(HWND topLevel, LRESULT hitTest);

// Starts a Linux program from inside Wine without waiting for it (Wine
// cannot wait for one). Arguments must not need quotes.
bool StartLinuxProgram(const std::string& commandLine);

// A real X click (xdotool) at a screen point; returns once the X server has
// had the click (the pointer then rests one pixel below the point).
bool XClickAt(POINT point, MouseButton button = MouseButton::kLeft);

// Centre of a notification-area icon: slot 0 is the rightmost icon in the
// taskbar (Shell_TrayWnd), slot 1 the one left of it, and so on.
POINT TrayIconPoint(int slot = 0);
inline bool XClickTrayIcon(MouseButton button = MouseButton::kLeft, int slot = 0) {
  return XClickAt(TrayIconPoint(slot), button);
}

}  // namespace e2e
