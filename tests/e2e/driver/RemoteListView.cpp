#include "tests/e2e/driver/RemoteListView.h"

#include <commctrl.h>

namespace e2e {
namespace {

// A block of memory in another process, freed with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, pid);
    if (process_ != nullptr) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* address() const { return static_cast<char*>(address_); }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
    return offset + size <= size_ &&
           WriteProcessMemory(process_, address() + offset, data, size, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) const {
    return offset + size <= size_ &&
           ReadProcessMemory(process_, address() + offset, data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

constexpr SIZE_T kTextRoom = 65536;

}  // namespace

std::vector<std::string> ListViewItems(HWND listView) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
  RemoteBuffer buffer(listView, sizeof(LVITEMA) + kTextRoom);
  if (!buffer.ok()) return items;
  std::string text(kTextRoom, '\0');
  for (int i = 0; i < count; ++i) {
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = buffer.address() + sizeof(LVITEMA);
    item.cchTextMax = static_cast<int>(kTextRoom);
    buffer.Write(0, &item, sizeof item);
    LRESULT length = SendMessageA(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(buffer.address()));
    std::size_t n = length > 0 ? static_cast<std::size_t>(length) : 0;
    buffer.Read(sizeof(LVITEMA), text.data(), n);
    items.emplace_back(text.data(), n);
  }
  return items;
}

std::optional<RECT> ListViewItemRect(HWND listView, int index) {
  RemoteBuffer buffer(listView, sizeof(RECT));
  if (!buffer.ok()) return std::nullopt;
  RECT rect{};
  rect.left = LVIR_LABEL;
  buffer.Write(0, &rect, sizeof rect);
  if (!SendMessageA(listView, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(buffer.address()))) {
    return std::nullopt;
  }
  buffer.Read(0, &rect, sizeof rect);
  MapWindowPoints(listView, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool ListViewItemSelected(HWND listView, int index) {
  return (SendMessageA(listView, LVM_GETITEMSTATE, static_cast<WPARAM>(index),
                       LVIS_SELECTED) &
          LVIS_SELECTED) != 0;
}

}  // namespace e2e
