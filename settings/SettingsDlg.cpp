#include "settings/SettingsDlg.h"

#include "core/DataFolder.h"
#include "core/EditableFile.h"
#include "core/TextFile.h"
#include "framework/EditorFileUi.h"
#include "settings/RunValue.h"

CSettingsDlg::CSettingsDlg(const std::string& dataFolder, fw::Window* parent)
    : Dialog(IDD_SETTINGS, parent), path_(dataFolder + tolvane::files::kSettings) {
  Load();
}

void CSettingsDlg::Load() {
  tolvane::TextLines file = tolvane::LoadForEditing(path_);
  if (file.status == tolvane::ReadStatus::kFailed) loadProblem_ = file.error;
  settings_ = tolvane::ParseSettings(file.lines);
  userName_ = settings_.userName;
  password_ = settings_.password;
  chatName_ = settings_.chatName;
  ownerName_ = settings_.ownerName;
  requireTrusted_ = settings_.requireTrusted ? 1 : 0;
  saveAwayMessages_ = settings_.saveAwayMessages ? 1 : 0;
  startWithWindows_ = settings_.startWithWindows ? 1 : 0;
  autoConnect_ = settings_.autoConnect ? 1 : 0;
}

BOOL CSettingsDlg::OnInitDialog() {
  BOOL result = Dialog::OnInitDialog();
  tolvane::WarnIfUnreadable(*this, path_, loadProblem_);
  return result;
}

void CSettingsDlg::DoDataExchange(fw::DataExchange& dx) {
  dx.Text(IDC_AIM_USER_NAME, userName_);
  dx.Text(IDC_AIM_PASSWORD, password_);
  dx.Text(IDC_CHAT_AI_NAME, chatName_);
  dx.Text(IDC_OWNER_NAME, ownerName_);
  dx.Check(IDC_REQUIRE_TRUSTED, requireTrusted_);
  dx.Check(IDC_SAVE_AWAY_MESSAGES, saveAwayMessages_);
  dx.Check(IDC_START_WITH_WINDOWS, startWithWindows_);
  dx.Check(IDC_AUTO_CONNECT, autoConnect_);
}

void CSettingsDlg::OnOK() {
  if (!UpdateData(true)) return;
  tolvane::Settings edited;
  edited.userName = userName_;
  edited.password = password_;
  edited.chatName = chatName_;
  edited.ownerName = ownerName_;
  edited.requireTrusted = requireTrusted_ == 1;
  edited.saveAwayMessages = saveAwayMessages_ == 1;
  edited.startWithWindows = startWithWindows_ == 1;
  edited.autoConnect = autoConnect_ == 1;

  // A failed save keeps the dialog open with the edits, and the old file
  // whole: the user can try again or cancel.
  if (!tolvane::SaveTextOrReport(*this, path_, tolvane::FormatSettings(edited))) return;
  settings_ = edited;

  if (edited.startWithWindows) {
    tolvane::SetRunValue(tolvane::kRunValueName,
                         tolvane::RunCommandFor(tolvane::OwnExecutablePath()), 0);
  } else {
    tolvane::DeleteRunValue(tolvane::kRunValueName, 0);
  }
  Dialog::OnOK();
}
