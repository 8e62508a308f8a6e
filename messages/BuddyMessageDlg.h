// The dialog of a buddy message editor: the key list 1011, the message editor
// 1004, the name field 1013, Add 1002 and Remove 1006 (and, for the schedule,
// the time fields 1009 and 1010), wired to a BuddyMessageEditor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/ListView.h"
#include "messages/BuddyMessageEditor.h"
#include "resources/resource.h"

class CBuddyMessageDlg : public fw::Dialog, private tolvane::EditorView {
 public:
  // dataFolder ends with its backslash.
  CBuddyMessageDlg(UINT templateId, const tolvane::EditorSetup& setup,
                   const std::string& dataFolder, fw::Window* parent);

  tolvane::BuddyMessageEditor& editor() { return editor_; }
  const tolvane::BuddyMessageEditor& editor() const { return editor_; }

 protected:
  static const fw::MessageMap& Messages();
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void DoDataExchange(fw::DataExchange& dx) override;

 private:
  // Events
  void OnAdd();
  void OnRemove();
  void OnMessageChange();
  void OnMessageKillFocus();
  LRESULT OnListClick(NMHDR* header);
  LRESULT OnListGetText(NMHDR* header);
  LRESULT OnListFind(NMHDR* header);
  fw::Handling OnTimer(UINT_PTR id);
  void DropWaitingQuestion();

  // tolvane::EditorView
  bool ReadFields() override;
  void ShowFields() override;
  void SetMessageEditable(bool editable) override;
  void ShowEntries(const std::vector<std::string>& entries) override;
  void InsertEntry(std::size_t index, const std::string& text) override;
  void DeleteEntry(std::size_t index) override;
  void WarnUnreadable(const std::string& path, const std::string& problem) override;
  bool SaveList(const std::string& path, const std::string& text) override;
  int SelectionMark() override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void Tell(const std::string& text) override;
  void FocusName() override;
  void CloseWithOk() override;
  void CloseWithCancel() override;

  fw::ListView list_;
  tolvane::BuddyMessageEditor editor_;
  // Set while the fields are being shown: their change notifications are
  // not the user's.
  bool showing_ = false;
  // When the save question that the editor's loss of focus calls for began
  // to wait for a mouse click to end.
  DWORD questionSince_ = 0;
};
