// Trusted Buddies dialog: who may obtain the contact details.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CTrustedBuddiesDlg : public fw::Dialog {
 public:
  explicit CTrustedBuddiesDlg(fw::Window* parent = nullptr)
      : Dialog(IDD_TRUSTED_BUDDIES, parent) {}
};
