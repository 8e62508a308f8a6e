// Looking at and pressing the controls of a dialog under test, by id.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/ListView.h"
#include "tests/support/WindowText.h"

namespace tolvane::testing {

inline void InitControls() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

inline std::string Text(const fw::Dialog& dialog, int id) {
  return WindowText(GetDlgItem(dialog.hwnd(), id));
}

inline void SetText(const fw::Dialog& dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog.hwnd(), id, text.c_str());
}

inline bool Checked(const fw::Dialog& dialog, int id) {
  return IsDlgButtonChecked(dialog.hwnd(), id) == BST_CHECKED;
}

inline void SetChecked(const fw::Dialog& dialog, int id, bool checked) {
  CheckDlgButton(dialog.hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// A button's click as the button itself reports it to the dialog.
inline void Press(const fw::Dialog& dialog, int id) {
  SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog.hwnd(), id)));
}

inline std::vector<std::string> Items(const fw::Dialog& dialog, int id) {
  fw::ListView list;
  list.Attach(GetDlgItem(dialog.hwnd(), id));
  std::vector<std::string> items;
  for (int i = 0; i < list.GetItemCount(); ++i) items.push_back(list.GetItemText(i));
  list.Detach();
  return items;
}

inline void Mark(const fw::Dialog& dialog, int id, int index) {
  ListView_SetSelectionMark(GetDlgItem(dialog.hwnd(), id), index);
}

}  // namespace tolvane::testing
