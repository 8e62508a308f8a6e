// Dialog base of the framework: a window made from a dialog template, run
// modally, with data exchange between its controls and its members.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "framework/Window.h"

namespace fw {

class Dialog;

// One exchange between a dialog's controls and its members, in one
// direction. Reading stops at the first field that fails: that field shows
// a message, gets the focus back, and the exchange reports failure; the
// fields after it are not read.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}

  // true: from the controls into the members; false: the other way.
  bool saving() const { return saving_; }
  bool failed() const { return failed_; }

  // The text of an edit or other control. A control shows at most 32767
  // characters, or as many as its text limit when that was raised (an edit
  // control's EM_SETLIMITTEXT). A value that the control cannot show whole
  // (a NUL byte in it, or more than it shows) comes back whole as long as
  // the user leaves the control's text as it was shown.
  void Text(int id, std::string& value);
  // A check box: 1 checked, 0 clear.
  void Check(int id, int& value);
  // A whole number in an edit control.
  void Int(int id, int& value);
  // Checks, when reading, that the value just read from control id lies in
  // [min, max].
  void Range(int id, int value, int min, int max);
  // Binds a wrapper object to a control of the dialog.
  void Control(int id, Window& control);

  // Fails the exchange at control id with a message of its own.
  void Fail(int id, const std::string& message);

 private:
  HWND Item(int id) const;
  Dialog& dialog_;
  bool saving_;
  bool failed_ = false;
};

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId, Window* parent = nullptr);
  ~Dialog() override;

  // Runs the dialog modally and returns how it ended (IDOK, IDCANCEL, ...).
  // Without a parent the owner is the application's main window, so that it
  // stays disabled while this dialog is open.
  virtual INT_PTR DoModal();
  // Creates the dialog modelessly (for tests and embedders).
  bool Create(HWND parent = nullptr);

  // Exchanges data: saving = from the controls into the members. Returns
  // false when a field fails.
  bool UpdateData(bool saving = true);
  void EndDialog(INT_PTR result);

  UINT templateId() const { return templateId_; }

 protected:
  static const MessageMap& Messages();
  const MessageMap& GetMessageMap() const override { return Messages(); }

  // WM_INITDIALOG: by default shows the members in the controls and lets
  // the dialog manager set the focus.
  virtual BOOL OnInitDialog();
  // IDOK (the default button and the Enter key): by default reads the
  // fields and ends the dialog when that worked.
  virtual void OnOK();
  // IDCANCEL (the Escape key and the close box): ends the dialog.
  virtual void OnCancel();
  virtual void DoDataExchange(DataExchange& dx);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam);
  LRESULT OnInitDialogMessage(WPARAM, LPARAM);
  void OnOKCommand() { OnOK(); }
  void OnCancelCommand() { OnCancel(); }
  HWND OwnerForModal() const;

  friend class DataExchange;
  // For each text control: the value given to it and the text it then
  // showed.
  struct ShownText {
    std::string value;
    std::string shown;
  };
  std::map<int, ShownText> shownTexts_;

  UINT templateId_;
  Window* parent_;
  bool modal_ = false;
};

}  // namespace fw
