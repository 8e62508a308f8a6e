// Settings dialog: account, names and options of the bot, and the start
// with Windows.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

class CSettingsDlg : public fw::Dialog {
 public:
  // Loads settings.txt of the given data folder (with its trailing
  // backslash).
  explicit CSettingsDlg(const std::string& dataFolder, fw::Window* parent = nullptr);

  const tolvane::Settings& settings() const { return settings_; }
  const std::string& path() const { return path_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(fw::DataExchange& dx) override;

 private:
  void Load();

  std::string userName_;
  std::string password_;
  std::string chatName_;
  std::string ownerName_;
  int requireTrusted_ = 0;
  int saveAwayMessages_ = 0;
  int startWithWindows_ = 0;
  int autoConnect_ = 0;
  tolvane::Settings settings_;
  std::string path_;
  // Why the file could not be read, shown when the dialog opens.
  std::string loadProblem_;
};
