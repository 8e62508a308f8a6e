#include "messages/ScheduleMessageDlg.h"

#include "core/DataFolder.h"

CScheduleMessageDlg::CScheduleMessageDlg(const std::string& dataFolder, fw::Window* parent)
    : CBuddyMessageDlg(IDD_SCHEDULE_MESSAGE, tolvane::kScheduleSetup, dataFolder, parent) {}
