// What the screen shows: icons found by their pixels, for what the harness
// cannot ask the program (Wine answers WM_GETICON, and
// InternalGetWindowIcon, from another process with nothing).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// An icon resource of an executable file, loaded from the file without
// running it (LoadIconA, as a program loads its own icons).
HICON LoadIconOfFile(const std::string& exe, int id);

// Where the icon, drawn size x size as window captions draw it, appears on
// the screen inside the area: the top-left corner of the first place whose
// pixels equal every opaque pixel of the icon, or nullopt.
std::optional<POINT> FindIconOnScreen(HICON icon, const RECT& area, int size);

// Whether the caption of a top-level window shows the icon (in the
// system-menu part of its title bar, at the small icon size) within the
// time given: what is painted reaches the screen a moment later. Brings the
// window to the front first.
bool CaptionShowsIcon(HWND topLevel, HICON icon, DWORD timeoutMs = 3000);

}  // namespace e2e
