// Schedule Message dialog: away messages by time of day.
#pragma once

#include <string>

#include "messages/BuddyMessageDlg.h"

class CScheduleMessageDlg : public CBuddyMessageDlg {
 public:
  // Edits schedule.txt and its message files in the given data folder (with its
  // trailing backslash).
  explicit CScheduleMessageDlg(const std::string& dataFolder, fw::Window* parent = nullptr);
};
