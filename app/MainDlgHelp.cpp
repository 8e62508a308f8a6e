// The Help! and Saved Messages buttons of the main dialog: both hand a page
// to the shell, which opens it with the program registered for it.
#include "app/MainDlg.h"

#include <shellapi.h>

#include "core/TextFile.h"
#include "framework/FileDialog.h"

namespace {

constexpr char kSavedPagesFilter[] = "HTML Files (*.html)|*.html||";

// Opens a page the way a double click in Explorer would. The page is
// opened in a window the user can see: a hidden one would leave the user
// with nothing.
void OpenWithShell(const std::string& path) {
  ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void CMainDlg::OnHelp() {
  if (!tolvane::FileExists(readmePath_)) {
    ShowMessageBox("The help page is missing:\n\n" + readmePath_ +
                       "\n\nReinstall Tolvane to put it back.",
                   nullptr, MB_OK | MB_ICONWARNING);
    return;
  }
  OpenWithShell(readmePath_);
}

void CMainDlg::OnSavedMessages() {
  ShowMessageBox(tolvane::ReadFirstLine(receivedPath_), nullptr, MB_OK);

  fw::FileDialog open(true, nullptr, nullptr, fw::FileDialog::kDefaultFlags,
                      kSavedPagesFilter, this);
  open.initialDirectory = savedMessagesFolder_;
  if (open.DoModal() == IDOK) OpenWithShell(open.GetPathName());
}
