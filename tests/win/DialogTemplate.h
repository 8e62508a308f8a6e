// Decodes an extended dialog template (DLGTEMPLATEEX), as the resource
// compiler stores it in an RT_DIALOG resource, for tests that check a
// template's layout without creating the dialog.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace restest {

// A name or an ordinal, as templates store menus, classes and texts.
struct NameOrOrdinal {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::string name;  // empty when absent or an ordinal
};

struct DialogItem {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  // Predefined classes stored as ordinals come back by name ("Button",
  // "Edit", "Static", "ListBox", "ScrollBar", "ComboBox").
  std::string className;
  NameOrOrdinal text;
  WORD extraCount = 0;
};

struct DialogTemplate {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  std::string caption;
  bool hasFont = false;
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  BYTE charset = 0;
  std::string typeface;
  std::vector<DialogItem> items;
};

namespace detail {

class Reader {
 public:
  Reader(const void* data, std::size_t size)
      : data_(static_cast<const BYTE*>(data)), size_(size) {}

  bool ok() const { return ok_; }
  std::size_t offset() const { return offset_; }

  template <typename T>
  T Get() {
    T value{};
    if (!ok_ || size_ - offset_ < sizeof(T)) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, data_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  void Skip(std::size_t count) {
    if (!ok_ || size_ - offset_ < count) {
      ok_ = false;
      return;
    }
    offset_ += count;
  }

  // Moves to the next multiple of four bytes from the start of the template.
  void AlignToDword() {
    std::size_t aligned = (offset_ + 3) & ~static_cast<std::size_t>(3);
    if (aligned > size_) aligned = size_;  // the last item may end unpadded
    offset_ = aligned;
  }

  // A zero-terminated UTF-16 string, returned as UTF-8.
  std::string String() {
    std::wstring wide;
    for (;;) {
      WCHAR c = Get<WCHAR>();
      if (!ok_ || c == 0) break;
      wide.push_back(c);
    }
    if (wide.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0],
                        length, nullptr, nullptr);
    return narrow;
  }

  NameOrOrdinal NameOrOrdinalField() {
    NameOrOrdinal field;
    WORD first = Get<WORD>();
    if (!ok_ || first == 0x0000) return field;
    if (first == 0xFFFF) {
      field.isOrdinal = true;
      field.ordinal = Get<WORD>();
      return field;
    }
    offset_ -= sizeof(WORD);
    field.name = String();
    return field;
  }

 private:
  const BYTE* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

inline std::string PredefinedClassName(WORD ordinal) {
  switch (ordinal) {
    case 0x0080: return "Button";
    case 0x0081: return "Edit";
    case 0x0082: return "Static";
    case 0x0083: return "ListBox";
    case 0x0084: return "ScrollBar";
    case 0x0085: return "ComboBox";
    default: return "#" + std::to_string(ordinal);
  }
}

}  // namespace detail

// Decodes the template. False, with a reason in *error, when the data is not
// an extended template or ends early.
inline bool ParseDialogTemplate(const void* data, std::size_t size, DialogTemplate* out,
                                std::string* error) {
  detail::Reader in(data, size);
  DialogTemplate result;
  WORD version = in.Get<WORD>();
  WORD signature = in.Get<WORD>();
  if (!in.ok() || version != 1 || signature != 0xFFFF) {
    *error = "not an extended dialog template";
    return false;
  }
  result.helpId = in.Get<DWORD>();
  result.exStyle = in.Get<DWORD>();
  result.style = in.Get<DWORD>();
  WORD count = in.Get<WORD>();
  result.x = in.Get<short>();
  result.y = in.Get<short>();
  result.cx = in.Get<short>();
  result.cy = in.Get<short>();
  result.menu = in.NameOrOrdinalField();
  result.windowClass = in.NameOrOrdinalField();
  result.caption = in.String();
  if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
    result.hasFont = true;
    result.pointSize = in.Get<WORD>();
    result.weight = in.Get<WORD>();
    result.italic = in.Get<BYTE>();
    result.charset = in.Get<BYTE>();
    result.typeface = in.String();
  }
  for (WORD n = 0; n < count && in.ok(); ++n) {
    in.AlignToDword();
    DialogItem item;
    item.helpId = in.Get<DWORD>();
    item.exStyle = in.Get<DWORD>();
    item.style = in.Get<DWORD>();
    item.x = in.Get<short>();
    item.y = in.Get<short>();
    item.cx = in.Get<short>();
    item.cy = in.Get<short>();
    item.id = in.Get<DWORD>();
    NameOrOrdinal itemClass = in.NameOrOrdinalField();
    item.className =
        itemClass.isOrdinal ? detail::PredefinedClassName(itemClass.ordinal) : itemClass.name;
    item.text = in.NameOrOrdinalField();
    item.extraCount = in.Get<WORD>();
    in.Skip(item.extraCount);
    result.items.push_back(item);
  }
  if (!in.ok()) {
    *error = "template ends early";
    return false;
  }
  *out = result;
  return true;
}

}  // namespace restest
