// Contact Information dialog: the owner's details that the bot hands out.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CContactInfoDlg : public fw::Dialog {
 public:
  explicit CContactInfoDlg(fw::Window* parent = nullptr)
      : Dialog(IDD_CONTACT_INFO, parent) {}
};
