#include "framework/FileDialog.h"

#include <commdlg.h>

#include <vector>

#include "core/FileFilter.h"
#include "framework/Application.h"
#include "framework/Window.h"

namespace fw {

FileDialog::FileDialog(bool openMode, const char* defaultExtension,
                       const char* fileName, DWORD flags, const char* filter,
                       Window* parent)
    : openMode_(openMode),
      defaultExtension_(defaultExtension != nullptr ? defaultExtension : ""),
      fileName_(fileName != nullptr ? fileName : ""),
      flags_(flags),
      filter_(filter != nullptr ? filter : ""),
      parent_(parent) {}

INT_PTR FileDialog::DoModal() {
  std::vector<char> file(32768, '\0');
  fileName_.copy(file.data(), file.size() - 1);
  std::string systemFilter = tolvane::SystemFileFilter(filter_);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  HWND owner = parent_ != nullptr ? parent_->hwnd() : nullptr;
  if (owner == nullptr && Application::Current() != nullptr &&
      Application::Current()->MainWindow() != nullptr) {
    owner = Application::Current()->MainWindow()->hwnd();
  }
  ofn.hwndOwner = owner;
  ofn.hInstance = Application::ResourceInstance();
  ofn.lpstrFilter = filter_.empty() ? nullptr : systemFilter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
  ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  // The program's current folder stays where it was.
  ofn.Flags = flags_ | OFN_EXPLORER | OFN_NOCHANGEDIR;

  BOOL chosen = openMode_ ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
  if (!chosen) return IDCANCEL;
  path_ = file.data();
  return IDOK;
}

}  // namespace fw
