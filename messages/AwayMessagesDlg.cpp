#include "messages/AwayMessagesDlg.h"

#include "core/DataFolder.h"

CAwayMessagesDlg::CAwayMessagesDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_AWAY_MESSAGES, tolvane::kAwaySetup, dataFolder, parent) {}
