#include "messages/DeliverMessagesDlg.h"

#include "app/DataFolder.h"
#include "app/UserName.h"

CDeliverMessagesDlg::CDeliverMessagesDlg(fw::Window* parent)
    : CDeliverMessagesDlg(tolvane::DataFolder(tolvane::CurrentUserName()), parent) {}

CDeliverMessagesDlg::CDeliverMessagesDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_DELIVER_MESSAGES, tolvane::kDeliverSetup, dataFolder, parent) {}
