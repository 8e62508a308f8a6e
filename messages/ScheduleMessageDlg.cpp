#include "messages/ScheduleMessageDlg.h"

#include "app/DataFolder.h"
#include "app/UserName.h"

CScheduleMessageDlg::CScheduleMessageDlg(fw::Window* parent)
    : CScheduleMessageDlg(tolvane::DataFolder(tolvane::CurrentUserName()), parent) {}

CScheduleMessageDlg::CScheduleMessageDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_SCHEDULE_MESSAGE, tolvane::kScheduleSetup, dataFolder, parent) {}
