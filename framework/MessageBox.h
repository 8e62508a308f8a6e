// Message boxes. A box that gives no caption shows the application's name.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

int ShowMessageBox(HWND owner, const std::string& text,
                   const char* caption = nullptr, UINT type = MB_OK);

}  // namespace fw
