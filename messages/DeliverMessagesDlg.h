// Deliver Messages dialog: a message to pass on to each listed buddy.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CDeliverMessagesDlg : public fw::Dialog {
 public:
  explicit CDeliverMessagesDlg(fw::Window* parent = nullptr)
      : Dialog(IDD_DELIVER_MESSAGES, parent) {}
};
