// Schedule Message dialog: away messages by time of day.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CScheduleMessageDlg : public fw::Dialog {
 public:
  explicit CScheduleMessageDlg(fw::Window* parent = nullptr)
      : Dialog(IDD_SCHEDULE_MESSAGE, parent) {}
};
