// The system's Open and Save As dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

namespace fw {

class Window;

class FileDialog {
 public:
  // The flags the framework uses when the caller gives none of its own.
  static constexpr DWORD kDefaultFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

  // filter: entries "label|pattern|", the whole ending in an extra "|",
  // for instance "HTML Files (*.html)|*.html||".
  FileDialog(bool openMode, const char* defaultExtension = nullptr,
             const char* fileName = nullptr, DWORD flags = kDefaultFlags,
             const char* filter = nullptr, Window* parent = nullptr);

  // The folder the dialog starts in.
  std::string initialDirectory;

  // IDOK when the user chose a file, IDCANCEL otherwise.
  INT_PTR DoModal();
  // The full path of the chosen file.
  std::string GetPathName() const { return path_; }

 private:
  bool openMode_;
  std::string defaultExtension_;
  std::string fileName_;
  DWORD flags_;
  std::string filter_;
  Window* parent_;
  std::string path_;
};

}  // namespace fw
