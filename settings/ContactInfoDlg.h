// Contact Information dialog: the owner's details that the bot hands out.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "resources/resource.h"
#include "settings/ContactFile.h"

class CContactInfoDlg : public fw::Dialog {
 public:
  // Loads contact.txt of the given data folder (with its trailing backslash).
  explicit CContactInfoDlg(const std::string& dataFolder, fw::Window* parent = nullptr);

  const std::string& path() const { return path_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(fw::DataExchange& dx) override;

 private:
  tolvane::Contact contact_;
  std::string path_;
  std::string loadProblem_;
};
