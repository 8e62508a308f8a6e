// Trusted Buddies dialog: who may obtain the contact details.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "framework/ListView.h"
#include "resources/resource.h"

class CTrustedBuddiesDlg : public fw::Dialog {
 public:
  // Edits trustedlist.txt of the given data folder (with its trailing
  // backslash).
  explicit CTrustedBuddiesDlg(const std::string& dataFolder, fw::Window* parent = nullptr);

  int itemCount() const { return itemCount_; }

 protected:
  static const fw::MessageMap& Messages();
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }

  void DoDataExchange(fw::DataExchange& dx) override;
  void OnOK() override;

 private:
  void Load();
  void OnAdd();
  void OnRemove();

  fw::ListView list_;
  std::string editText_;
  int itemCount_ = 0;
  bool loaded_ = false;
  std::string dataFolder_;
  std::string path_;
};
