#include "framework/ListView.h"

#include <commctrl.h>

namespace fw {

int ListView::InsertItem(int index, const std::string& text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text.c_str());
  return static_cast<int>(
      SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

std::string ListView::GetItemText(int index) const {
  // The control says only how much it copied: grow the buffer until the
  // text fits with room to spare.
  std::string buffer(256, '\0');
  for (;;) {
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    LRESULT copied =
        SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&item));
    std::size_t length = copied > 0 ? static_cast<std::size_t>(copied) : 0;
    if (length + 1 < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(buffer.size() * 2, '\0');
  }
}

bool ListView::SetItemText(int index, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = const_cast<char*>(text.c_str());
  return SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool ListView::DeleteItem(int index) {
  return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
}

bool ListView::DeleteAllItems() {
  return SendMessage(LVM_DELETEALLITEMS, 0, 0) != FALSE;
}

int ListView::GetItemCount() const {
  return static_cast<int>(SendMessage(LVM_GETITEMCOUNT, 0, 0));
}

void ListView::SetItemCount(int count, DWORD flags) {
  SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags));
}

int ListView::GetSelectionMark() const {
  return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK, 0, 0));
}

int ListView::SetSelectionMark(int index) {
  return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, index));
}

void ListView::SelectItem(int index, bool selected) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
  SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
              reinterpret_cast<LPARAM>(&item));
}

void ListView::SetRedraw(bool redraw) {
  SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace fw
