// Deliver Messages dialog: a message to pass on to each listed buddy.
#pragma once

#include <string>

#include "messages/BuddyMessageDlg.h"

class CDeliverMessagesDlg : public CBuddyMessageDlg {
 public:
  // Edits buddym.txt and its message files in the given data folder (with its
  // trailing backslash).
  explicit CDeliverMessagesDlg(const std::string& dataFolder, fw::Window* parent = nullptr);
};
