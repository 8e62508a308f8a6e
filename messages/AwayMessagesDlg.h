// Away Messages dialog: a custom away message per buddy.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CAwayMessagesDlg : public fw::Dialog {
 public:
  explicit CAwayMessagesDlg(fw::Window* parent = nullptr)
      : Dialog(IDD_AWAY_MESSAGES, parent) {}
};
