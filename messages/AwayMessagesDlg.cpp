#include "messages/AwayMessagesDlg.h"

#include "app/DataFolder.h"
#include "app/UserName.h"

CAwayMessagesDlg::CAwayMessagesDlg(fw::Window* parent)
    : CAwayMessagesDlg(tolvane::DataFolder(tolvane::CurrentUserName()), parent) {}

CAwayMessagesDlg::CAwayMessagesDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_AWAY_MESSAGES, tolvane::kAwaySetup, dataFolder, parent) {}
