// The About box, opened from the main dialog's system menu.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CAboutDlg : public fw::Dialog {
 public:
  explicit CAboutDlg(fw::Window* parent = nullptr) : Dialog(IDD_ABOUTBOX, parent) {}
};
