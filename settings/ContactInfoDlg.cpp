#include "settings/ContactInfoDlg.h"

#include "core/DataFolder.h"
#include "core/EditableFile.h"
#include "framework/EditorFileUi.h"

CContactInfoDlg::CContactInfoDlg(const std::string& dataFolder, fw::Window* parent)
    : Dialog(IDD_CONTACT_INFO, parent), path_(dataFolder + tolvane::files::kContact) {
  tolvane::TextLines file = tolvane::LoadForEditing(path_);
  if (file.status == tolvane::ReadStatus::kFailed) loadProblem_ = file.error;
  contact_ = tolvane::ParseContact(file.lines);
}

BOOL CContactInfoDlg::OnInitDialog() {
  BOOL result = Dialog::OnInitDialog();
  tolvane::WarnIfUnreadable(*this, path_, loadProblem_);
  return result;
}

void CContactInfoDlg::DoDataExchange(fw::DataExchange& dx) {
  dx.Text(IDC_PHONE, contact_.phone);
  dx.Text(IDC_HOMEPAGE, contact_.homepage);
  dx.Text(IDC_EMAIL, contact_.email);
  dx.Text(IDC_CELL_PHONE, contact_.cellPhone);
  dx.Text(IDC_WEBSITES, contact_.websites);
}

void CContactInfoDlg::OnOK() {
  if (!UpdateData(true)) return;
  // A failed save keeps the dialog open with the edits, and the old file
  // whole: the user can try again or cancel.
  if (!tolvane::SaveTextOrReport(*this, path_, tolvane::FormatContact(contact_))) return;
  Dialog::OnOK();
}
