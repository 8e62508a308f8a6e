#include "messages/DeliverMessagesDlg.h"

#include "core/DataFolder.h"

CDeliverMessagesDlg::CDeliverMessagesDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_DELIVER_MESSAGES, tolvane::kDeliverSetup, dataFolder, parent) {}
