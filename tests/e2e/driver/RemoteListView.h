// Reading a list-view control of another process. The control's messages
// that return text or rectangles need their buffers in the control's own
// process, so they are placed there and read back.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The texts of all items, top to bottom.
std::vector<std::string> ListViewItems(HWND listView);
// The screen rectangle of an item's label, or nullopt.
std::optional<RECT> ListViewItemRect(HWND listView, int index);
// Whether the item is selected.
bool ListViewItemSelected(HWND listView, int index);

}  // namespace e2e
