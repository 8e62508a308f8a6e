// Away Messages dialog: a custom away message per buddy.
#pragma once

#include <string>

#include "messages/BuddyMessageDlg.h"

class CAwayMessagesDlg : public CBuddyMessageDlg {
 public:
  // Edits buddya.txt and its message files in the current user's data folder.
  explicit CAwayMessagesDlg(fw::Window* parent = nullptr);
  // The same in the given data folder (with its trailing backslash).
  CAwayMessagesDlg(const std::string& dataFolder, fw::Window* parent);
};
