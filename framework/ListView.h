// A list-view control used in list mode: text-only items, no columns.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Window.h"

namespace fw {

class ListView : public Window {
 public:
  // Inserts a text item at index; returns its index, or -1.
  int InsertItem(int index, const std::string& text);
  // The whole text of an item, whatever its length.
  std::string GetItemText(int index) const;
  bool SetItemText(int index, const std::string& text);
  bool DeleteItem(int index);
  bool DeleteAllItems();
  int GetItemCount() const;
  // Makes room for count items at once, before many are inserted; in a list
  // that holds no items of its own (LVS_OWNERDATA), sets how many it shows.
  // flags: LVSICF_NOSCROLL, LVSICF_NOINVALIDATEALL.
  void SetItemCount(int count, DWORD flags = 0);
  // The item the user selected last, or -1.
  int GetSelectionMark() const;
  int SetSelectionMark(int index);
  // Selects and focuses one item (for keyboard and tests).
  void SelectItem(int index, bool selected);
  // Stops or resumes redrawing, around many changes at once.
  void SetRedraw(bool redraw);
};

}  // namespace fw
