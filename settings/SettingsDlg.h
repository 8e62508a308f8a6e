// Settings dialog: account, names and options of the bot.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class CSettingsDlg : public fw::Dialog {
 public:
  explicit CSettingsDlg(fw::Window* parent = nullptr) : Dialog(IDD_SETTINGS, parent) {}
};
