// Away Messages dialog: a custom away message per buddy.
#pragma once

#include <string>

#include "messages/BuddyMessageDlg.h"

class CAwayMessagesDlg : public CBuddyMessageDlg {
 public:
  // Edits buddya.txt and its message files in the given data folder (with its
  // trailing backslash).
  explicit CAwayMessagesDlg(const std::string& dataFolder, fw::Window* parent = nullptr);
};
