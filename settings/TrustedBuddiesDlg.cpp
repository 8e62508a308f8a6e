#include "settings/TrustedBuddiesDlg.h"

#include <vector>

#include "core/BarList.h"
#include "core/DataFolder.h"
#include "core/EditableFile.h"
#include "framework/EditorFileUi.h"

CTrustedBuddiesDlg::CTrustedBuddiesDlg(const std::string& dataFolder,
                                       fw::Window* parent)
    : Dialog(IDD_TRUSTED_BUDDIES, parent), dataFolder_(dataFolder) {}

const fw::MessageMap& CTrustedBuddiesDlg::Messages() {
  static const fw::MessageMap map(
      &fw::Dialog::Messages(),
      {
          fw::OnCommand(IDC_TRUSTED_ADD, &CTrustedBuddiesDlg::OnAdd),
          fw::OnCommand(IDC_TRUSTED_REMOVE, &CTrustedBuddiesDlg::OnRemove),
      });
  return map;
}

void CTrustedBuddiesDlg::DoDataExchange(fw::DataExchange& dx) {
  dx.Control(IDC_TRUSTED_LIST, list_);
  dx.Text(IDC_TRUSTED_NAME, editText_);
  path_ = dataFolder_ + tolvane::files::kTrustedList;
  if (!loaded_) Load();
}

void CTrustedBuddiesDlg::Load() {
  loaded_ = true;
  tolvane::TextLines file = tolvane::LoadForEditing(path_);
  tolvane::WarnIfUnreadable(*this, path_, file.error);
  // Each name of the file goes to the top of the list, so the list shows
  // them last to first. Appending them in that order gives the same list
  // without moving every item at each insertion.
  std::vector<std::string> names =
      tolvane::ParseBarList(tolvane::LineOrEmpty(file.lines, 0));
  list_.SetRedraw(false);
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    list_.InsertItem(itemCount_, *name);
    ++itemCount_;
  }
  list_.SetRedraw(true);
}

void CTrustedBuddiesDlg::OnAdd() {
  if (!UpdateData(true)) return;
  if (editText_.find('|') != std::string::npos) {
    // The list file separates names with "|": such a name would come back
    // as several names.
    ShowMessageBox("A trusted buddy's name cannot contain the character \"|\".\n\n"
                   "Screen names never do; please check the name.",
                   nullptr, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(IDC_TRUSTED_NAME));
    return;
  }
  list_.InsertItem(itemCount_, editText_);
  ++itemCount_;
}

void CTrustedBuddiesDlg::OnRemove() {
  int mark = list_.GetSelectionMark();
  if (mark >= 0 && list_.DeleteItem(mark)) --itemCount_;
}

void CTrustedBuddiesDlg::OnOK() {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(itemCount_));
  for (int i = 0; i < itemCount_; ++i) names.push_back(list_.GetItemText(i));
  if (!tolvane::SaveTextOrReport(*this, path_, tolvane::FormatBarList(names))) return;
  Dialog::OnOK();
}
