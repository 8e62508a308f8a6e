#include "framework/MessageBox.h"

#include "framework/Application.h"

namespace fw {

int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                   UINT type) {
  const char* shown = caption != nullptr ? caption : Application::Name().c_str();
  return ::MessageBoxA(owner, text.c_str(), shown, type);
}

}  // namespace fw
