// The text of a window as GetWindowTextA gives it: a window of this process
// is asked for it (WM_GETTEXT); of a window of another process the caption,
// or the text of a button or static control, is read as the system keeps it,
// without waiting for the program.
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::testing {

std::string WindowText(HWND window);

}  // namespace tolvane::testing
