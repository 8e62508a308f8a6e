// Checks the resources linked into the program: every dialog template
// control by control, the two icons, the About string, the manifest and the
// version information. The same resource object is linked into this test
// program, so the resources are read from the running module.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/WindowText.h"
#include "tests/win/DialogTemplate.h"

namespace {

using restest::DialogItem;
using restest::DialogTemplate;

HMODULE Module() { return GetModuleHandleA(nullptr); }

struct ResourceBytes {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

ResourceBytes FindResourceBytes(LPCSTR name, LPCSTR type) {
  ResourceBytes bytes;
  HRSRC found = FindResourceA(Module(), name, type);
  if (found == nullptr) return bytes;
  HGLOBAL loaded = LoadResource(Module(), found);
  if (loaded == nullptr) return bytes;
  bytes.data = static_cast<const BYTE*>(LockResource(loaded));
  bytes.size = SizeofResource(Module(), found);
  return bytes;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// ---------------------------------------------------------------------------
// Expected dialog layouts

// What a control is, with the class and style bits that make it so.
enum class Kind {
  DefaultButton, Button, CheckBox, Edit, Password, MessageEditor, ListView, KeyList,
  Label, Icon
};

struct KindRule {
  const char* className;
  DWORD typeMask;   // the bits that select the control's type within its class
  DWORD type;
  DWORD required;   // besides WS_CHILD | WS_VISIBLE
  DWORD forbidden;  // besides WS_DISABLED
};

KindRule RuleFor(Kind kind) {
  const DWORD editForbidden = ES_MULTILINE | ES_PASSWORD | ES_READONLY | ES_NUMBER |
                              WS_VSCROLL | WS_HSCROLL;
  switch (kind) {
    case Kind::DefaultButton:
      return {"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP, 0};
    case Kind::Button:
      return {"Button", BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP, 0};
    case Kind::CheckBox:
      return {"Button", BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP, 0};
    case Kind::Edit:
      return {"Edit", 0, 0, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, editForbidden};
    case Kind::Password:
      return {"Edit", 0, 0, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
              editForbidden & ~static_cast<DWORD>(ES_PASSWORD)};
    case Kind::MessageEditor:
      // Multi-line without word wrap (auto horizontal scroll), Enter makes
      // a new line, no scroll bars. It scrolls down as the user types, so a
      // message may have more lines than the box shows.
      return {"Edit", 0, 0,
              ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                  WS_BORDER | WS_TABSTOP,
              ES_PASSWORD | ES_READONLY | ES_NUMBER | WS_VSCROLL | WS_HSCROLL};
    case Kind::ListView:
      // Several entries may be selected; entries stay in insertion order.
      return {"SysListView32", LVS_TYPEMASK, LVS_LIST, WS_BORDER | WS_TABSTOP,
              LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_OWNERDATA};
    case Kind::KeyList:
      // The same, showing the entries that its dialog keeps (LVS_OWNERDATA),
      // so that a long list opens fast.
      return {"SysListView32", LVS_TYPEMASK, LVS_LIST,
              LVS_OWNERDATA | WS_BORDER | WS_TABSTOP,
              LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING};
    case Kind::Label:
      return {"Static", SS_TYPEMASK, SS_LEFT, 0, WS_TABSTOP};
    case Kind::Icon:
      return {"Static", SS_TYPEMASK, SS_ICON, 0, WS_TABSTOP};
  }
  return {};
}

bool TakesFocus(Kind kind) { return kind != Kind::Label && kind != Kind::Icon; }

struct ControlSpec {
  int id;  // IDC_STATIC for labels and icons
  Kind kind;
  const char* text;  // caption; for an icon, unused (the icon is IDR_MAINFRAME)
  short x, y, cx, cy;
};

struct DialogSpec {
  int templateId;
  const char* name;
  const char* caption;
  short cx, cy;
  DWORD style;
  DWORD exStyle;
  std::vector<ControlSpec> controls;  // in tab order
};

// Names the dialog in failure messages.
void PrintTo(const DialogSpec& spec, std::ostream* out) { *out << spec.name; }

constexpr DWORD kEditorStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr int kStatic = IDC_STATIC;

const std::vector<DialogSpec>& Dialogs() {
  static const std::vector<DialogSpec> dialogs = {
      {IDD_ABOUTBOX, "About", "About Tolvane", 235, 55, kEditorStyle, 0,
       {
           {kStatic, Kind::Icon, nullptr, 11, 17, 20, 20},
           {kStatic, Kind::Label, "Tolvane Version 1.0", 40, 10, 119, 8},
           {IDOK, Kind::DefaultButton, "OK", 178, 7, 50, 14},
       }},
      {IDD_TOLVANE_DIALOG, "Main", "Tolvane", 301, 172, kEditorStyle | WS_VISIBLE,
       WS_EX_APPWINDOW,
       {
           {IDOK, Kind::DefaultButton, "Start", 244, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Exit", 244, 23, 50, 14},
           {IDC_SETTINGS, Kind::Button, "Settings", 15, 18, 77, 21},
           {IDC_CONTACT_INFO, Kind::Button, "Contact Info", 15, 55, 77, 21},
           {IDC_TRUSTED_BUDDIES, Kind::Button, "Trusted Buddies", 15, 90, 77, 21},
           {IDC_DELIVER_MESSAGES, Kind::Button, "Deliver Messages", 15, 124, 77, 21},
           {IDC_AWAY_MESSAGES, Kind::Button, "Away Messages", 109, 17, 77, 21},
           {IDC_SAVED_MESSAGES, Kind::Button, "Saved Messages", 109, 54, 77, 21},
           {IDC_SCHEDULE_MESSAGE, Kind::Button, "Schedule Message", 109, 90, 77, 21},
           {IDC_HELP_BUTTON, Kind::Button, "Help!", 109, 123, 77, 21},
           {kStatic, Kind::Icon, nullptr, 260, 124, 21, 20},
       }},
      {IDD_SETTINGS, "Settings", "Settings", 203, 334, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 146, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 146, 24, 50, 14},
           {kStatic, Kind::Label, "AIM User Name", 14, 15, 77, 12},
           {IDC_AIM_USER_NAME, Kind::Edit, "", 14, 33, 76, 12},
           {kStatic, Kind::Label, "AIM Password", 14, 62, 77, 12},
           {IDC_AIM_PASSWORD, Kind::Password, "", 14, 81, 76, 12},
           {kStatic, Kind::Label, "Chat AI Name", 14, 127, 77, 12},
           {IDC_CHAT_AI_NAME, Kind::Edit, "", 14, 145, 76, 12},
           {kStatic, Kind::Label, "Owner Name", 14, 174, 77, 12},
           {IDC_OWNER_NAME, Kind::Edit, "", 14, 193, 76, 12},
           {IDC_REQUIRE_TRUSTED, Kind::CheckBox,
            "Require users to be trusted to obtain contact info", 14, 233, 170, 19},
           {IDC_SAVE_AWAY_MESSAGES, Kind::CheckBox, "Save buddies away messages", 14, 260, 175,
            15},
           {IDC_START_WITH_WINDOWS, Kind::CheckBox, "Startup when Windows Starts", 14, 279, 129,
            17},
           {IDC_AUTO_CONNECT, Kind::CheckBox, "Automatically connect when Tolvane starts", 14,
            300, 173, 17},
       }},
      {IDD_CONTACT_INFO, "ContactInfo", "Contact Information", 224, 273, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 167, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 167, 24, 50, 14},
           {kStatic, Kind::Label, "Phone", 13, 16, 95, 13},
           {IDC_PHONE, Kind::Edit, "", 13, 31, 109, 15},
           {kStatic, Kind::Label, "Homepage", 13, 59, 95, 13},
           {IDC_HOMEPAGE, Kind::Edit, "", 13, 74, 109, 15},
           {kStatic, Kind::Label, "Email", 13, 100, 95, 13},
           {IDC_EMAIL, Kind::Edit, "", 13, 115, 109, 15},
           {kStatic, Kind::Label, "Cell Phone", 13, 139, 95, 13},
           {IDC_CELL_PHONE, Kind::Edit, "", 13, 154, 109, 15},
           {kStatic, Kind::Label, "List of favourite websites", 13, 180, 95, 13},
           // A tall box, but single-line like the others.
           {IDC_WEBSITES, Kind::Edit, "", 13, 195, 168, 56},
       }},
      {IDD_TRUSTED_BUDDIES, "TrustedBuddies", "Dialog", 260, 158, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 203, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 203, 24, 50, 14},
           {kStatic, Kind::Label, "Enter the name of the buddy you'd like to make trusted.", 21,
            14, 141, 16},
           {IDC_TRUSTED_NAME, Kind::Edit, "", 21, 34, 91, 15},
           {IDC_TRUSTED_LIST, Kind::ListView, "", 21, 58, 158, 74},
           {IDC_TRUSTED_ADD, Kind::Button, "Add", 197, 63, 48, 20},
           {IDC_TRUSTED_REMOVE, Kind::Button, "Remove", 197, 90, 48, 20},
       }},
      {IDD_DELIVER_MESSAGES, "DeliverMessages", "Dialog", 357, 201, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 300, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 300, 24, 50, 14},
           {IDC_MESSAGE_EDITOR, Kind::MessageEditor, "", 148, 77, 194, 86},
           {IDC_BUDDY_ADD, Kind::Button, "Add", 148, 28, 62, 19},
           {kStatic, Kind::Label, "Add buddy", 13, 13, 70, 11},
           {IDC_BUDDY_NAME, Kind::Edit, "", 13, 30, 88, 14},
           {kStatic, Kind::Label, "List of buddies to deliver to.", 13, 55, 97, 14},
           {kStatic, Kind::Label, "Message to deliver.", 146, 55, 103, 13},
           {IDC_KEY_LIST, Kind::KeyList, "", 13, 76, 127, 86},
           {IDC_BUDDY_REMOVE, Kind::Button, "Remove", 213, 28, 62, 19},
       }},
      {IDD_AWAY_MESSAGES, "AwayMessages", "Dialog", 353, 206, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 296, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 296, 24, 50, 14},
           {IDC_MESSAGE_EDITOR, Kind::MessageEditor, "", 148, 77, 194, 86},
           {IDC_BUDDY_ADD, Kind::Button, "Add", 148, 28, 62, 19},
           {kStatic, Kind::Label, "Add buddy", 13, 13, 70, 11},
           {IDC_BUDDY_NAME, Kind::Edit, "", 13, 30, 88, 14},
           {IDC_KEY_LIST, Kind::KeyList, "", 13, 76, 127, 86},
           {IDC_BUDDY_REMOVE, Kind::Button, "Remove", 213, 28, 62, 19},
           {kStatic, Kind::Label, "Custom Away Message", 150, 57, 77, 13},
           {kStatic, Kind::Label, "Buddies", 14, 58, 73, 13},
       }},
      {IDD_SCHEDULE_MESSAGE, "ScheduleMessage", "Dialog", 396, 218, kEditorStyle, 0,
       {
           {IDOK, Kind::DefaultButton, "OK", 339, 7, 50, 14},
           {IDCANCEL, Kind::Button, "Cancel", 339, 24, 50, 14},
           {IDC_MESSAGE_EDITOR, Kind::MessageEditor, "", 187, 76, 194, 86},
           {IDC_BUDDY_ADD, Kind::Button, "Add", 187, 28, 62, 19},
           {kStatic, Kind::Label, "Add buddy", 13, 13, 70, 11},
           {IDC_BUDDY_NAME, Kind::Edit, "", 13, 30, 88, 14},
           {IDC_KEY_LIST, Kind::KeyList, "", 13, 76, 127, 86},
           {IDC_BUDDY_REMOVE, Kind::Button, "Remove", 251, 28, 62, 19},
           {kStatic, Kind::Label, "Custom Away Message", 187, 57, 77, 13},
           {kStatic, Kind::Label, "Schedule", 14, 58, 73, 13},
           {IDC_HOURS, Kind::Edit, "", 109, 31, 23, 14},
           {IDC_MINUTES, Kind::Edit, "", 133, 31, 23, 14},
           {kStatic, Kind::Label, "Time", 109, 13, 52, 13},
       }},
  };
  return dialogs;
}

// The template stores a control id as a DWORD; "no id" may come as 0xFFFF or -1.
int ControlId(const DialogItem& item) {
  if (item.id == 0xFFFFFFFFu || item.id == 0xFFFFu) return IDC_STATIC;
  return static_cast<int>(item.id);
}

void ExpectControl(const ControlSpec& expected, const DialogItem& item) {
  const KindRule rule = RuleFor(expected.kind);
  EXPECT_EQ(ControlId(item), expected.id);
  EXPECT_TRUE(EqualNoCase(item.className, rule.className))
      << "class " << item.className << ", expected " << rule.className;
  EXPECT_EQ(item.x, expected.x);
  EXPECT_EQ(item.y, expected.y);
  EXPECT_EQ(item.cx, expected.cx);
  EXPECT_EQ(item.cy, expected.cy);

  const DWORD required = rule.required | WS_CHILD | WS_VISIBLE;
  const DWORD forbidden = rule.forbidden | WS_DISABLED;
  EXPECT_EQ(item.style & rule.typeMask, rule.type) << std::hex << "style 0x" << item.style;
  EXPECT_EQ(item.style & required, required) << std::hex << "style 0x" << item.style;
  EXPECT_EQ(item.style & forbidden, 0u) << std::hex << "style 0x" << item.style;
  EXPECT_EQ(item.exStyle, 0u);

  if (expected.kind == Kind::Icon) {
    EXPECT_TRUE(item.text.isOrdinal);
    EXPECT_EQ(item.text.ordinal, IDR_MAINFRAME);
  } else {
    EXPECT_FALSE(item.text.isOrdinal);
    EXPECT_EQ(item.text.name, expected.text);
  }
}

class DialogTemplateTest : public ::testing::TestWithParam<DialogSpec> {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
  }

  // Loads and decodes the template; fails the test when it cannot.
  static bool Load(int templateId, DialogTemplate* decoded) {
    ResourceBytes bytes = FindResourceBytes(MAKEINTRESOURCEA(templateId), RT_DIALOG);
    if (bytes.data == nullptr) {
      ADD_FAILURE() << "no RT_DIALOG resource " << templateId;
      return false;
    }
    std::string error;
    if (!restest::ParseDialogTemplate(bytes.data, bytes.size, decoded, &error)) {
      ADD_FAILURE() << "template " << templateId << ": " << error;
      return false;
    }
    return true;
  }
};

TEST_P(DialogTemplateTest, FrameCaptionSizeAndFont) {
  const DialogSpec& spec = GetParam();
  DialogTemplate decoded;
  ASSERT_TRUE(Load(spec.templateId, &decoded));

  EXPECT_EQ(decoded.caption, spec.caption);
  EXPECT_EQ(decoded.x, 0);
  EXPECT_EQ(decoded.y, 0);
  EXPECT_EQ(decoded.cx, spec.cx);
  EXPECT_EQ(decoded.cy, spec.cy);
  EXPECT_EQ(decoded.style, spec.style | DS_SETFONT) << std::hex << "style 0x" << decoded.style;
  EXPECT_EQ(decoded.exStyle, spec.exStyle) << std::hex << "extended style 0x" << decoded.exStyle;
  EXPECT_FALSE(decoded.menu.isOrdinal || !decoded.menu.name.empty()) << "the dialog has a menu";
  EXPECT_FALSE(decoded.windowClass.isOrdinal || !decoded.windowClass.name.empty())
      << "the dialog has a window class of its own";
  ASSERT_TRUE(decoded.hasFont);
  EXPECT_EQ(decoded.pointSize, 8);
  EXPECT_EQ(decoded.typeface, "MS Sans Serif");
  EXPECT_EQ(decoded.italic, 0);
}

TEST_P(DialogTemplateTest, ControlsInTabOrder) {
  const DialogSpec& spec = GetParam();
  DialogTemplate decoded;
  ASSERT_TRUE(Load(spec.templateId, &decoded));

  ASSERT_EQ(decoded.items.size(), spec.controls.size());
  for (std::size_t n = 0; n < spec.controls.size(); ++n) {
    SCOPED_TRACE("control " + std::to_string(n) + " (id " + std::to_string(spec.controls[n].id) +
                 ")");
    ExpectControl(spec.controls[n], decoded.items[n]);
  }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The dialog manager builds every template into a window whose controls are
// of the expected classes, and Tab walks the focusable ones in table order.
TEST_P(DialogTemplateTest, CreatesWindowWithTabOrder) {
  const DialogSpec& spec = GetParam();
  HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(spec.templateId), nullptr,
                                   QuietDialogProc, 0);
  ASSERT_NE(dialog, nullptr) << "error " << GetLastError();

  EXPECT_EQ(tolvane::testing::WindowText(dialog), spec.caption);

  std::vector<int> expectedTabOrder;
  for (const ControlSpec& control : spec.controls) {
    if (!TakesFocus(control.kind)) continue;
    expectedTabOrder.push_back(control.id);
    HWND window = GetDlgItem(dialog, control.id);
    ASSERT_NE(window, nullptr) << "control " << control.id;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_TRUE(EqualNoCase(className, RuleFor(control.kind).className))
        << "control " << control.id << " is a " << className;
  }

  std::vector<int> tabOrder;
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  for (HWND at = first; at != nullptr && tabOrder.size() <= spec.controls.size();) {
    tabOrder.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(dialog, at, FALSE);
    if (at == first) break;
  }
  EXPECT_EQ(tabOrder, expectedTabOrder);

  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(AllTemplates, DialogTemplateTest, ::testing::ValuesIn(Dialogs()),
                         [](const ::testing::TestParamInfo<DialogSpec>& info) {
                           return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------
// Icons

#pragma pack(push, 2)
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)

std::vector<GroupIconEntry> GroupEntries(int iconId) {
  std::vector<GroupIconEntry> entries;
  ResourceBytes group = FindResourceBytes(MAKEINTRESOURCEA(iconId), RT_GROUP_ICON);
  if (group.data == nullptr || group.size < sizeof(GroupIconHeader)) return entries;
  GroupIconHeader header;
  std::memcpy(&header, group.data, sizeof header);
  if (header.reserved != 0 || header.type != 1) return entries;
  if (group.size < sizeof header + header.count * sizeof(GroupIconEntry)) return entries;
  for (WORD n = 0; n < header.count; ++n) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data + sizeof header + n * sizeof entry, sizeof entry);
    entries.push_back(entry);
  }
  return entries;
}

// The colour index of every pixel of a 4-bit image, top row first; -1 for a
// transparent pixel.
std::vector<int> Pixels(const ResourceBytes& image, int size) {
  BITMAPINFOHEADER header;
  std::memcpy(&header, image.data, sizeof header);
  const BYTE* colours = image.data + header.biSize + 16 * sizeof(RGBQUAD);
  const int colourStride = ((size * 4 + 31) / 32) * 4;
  const BYTE* mask = colours + colourStride * size;
  const int maskStride = ((size + 31) / 32) * 4;
  std::vector<int> pixels;
  for (int row = size - 1; row >= 0; --row) {
    for (int x = 0; x < size; ++x) {
      BYTE pair = colours[row * colourStride + x / 2];
      int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
      bool transparent = (mask[row * maskStride + x / 8] & (0x80 >> (x % 8))) != 0;
      pixels.push_back(transparent ? -1 : index);
    }
  }
  return pixels;
}

class IconTest : public ::testing::TestWithParam<int> {};

// Each icon holds exactly a 16x16 and a 32x32 image of 16 colours, and the
// images are what the directory says they are.
TEST_P(IconTest, HasSmallAndLargeSixteenColourImages) {
  const int iconId = GetParam();
  std::vector<GroupIconEntry> entries = GroupEntries(iconId);
  ASSERT_EQ(entries.size(), 2u);

  std::set<int> sizes;
  for (const GroupIconEntry& entry : entries) {
    SCOPED_TRACE("image " + std::to_string(entry.width) + "x" + std::to_string(entry.height));
    sizes.insert(entry.width);
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_EQ(entry.colorCount, 16);
    EXPECT_EQ(entry.planes, 1);
    EXPECT_EQ(entry.bitCount, 4);

    ResourceBytes image = FindResourceBytes(MAKEINTRESOURCEA(entry.id), RT_ICON);
    ASSERT_NE(image.data, nullptr);
    ASSERT_EQ(image.size, entry.bytesInRes);
    ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biWidth, entry.width);
    EXPECT_EQ(header.biHeight, 2 * entry.height);
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const int size = entry.width;
    const DWORD expectedSize = header.biSize + 16 * sizeof(RGBQUAD) +
                               ((size * 4 + 31) / 32) * 4 * size + ((size + 31) / 32) * 4 * size;
    EXPECT_EQ(image.size, expectedSize);

    // Drawn with a shape, not a full square.
    std::vector<int> pixels = Pixels(image, size);
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), -1), 0);
    EXPECT_LT(std::count(pixels.begin(), pixels.end(), -1), size * size / 2);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

TEST_P(IconTest, LoadsAtBothSizes) {
  const int iconId = GetParam();
  for (int size : {16, 32}) {
    SCOPED_TRACE("size " + std::to_string(size));
    HICON icon = static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, size);
    EXPECT_EQ(mask.bmHeight, info.hbmColor != nullptr ? size : 2 * size);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  // What the main dialog uses: the system's standard size.
  EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(iconId)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothIcons, IconTest, ::testing::Values(IDR_MAINFRAME, IDI_CONNECTING),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == IDR_MAINFRAME ? std::string("Application")
                                                              : std::string("Connecting");
                         });

// The tray swaps 140 for 128 when the bot has connected: the two must look
// clearly different at both sizes, not only in a few pixels.
TEST(Icons, ConnectingIconDiffersVisiblyFromApplicationIcon) {
  std::vector<GroupIconEntry> app = GroupEntries(IDR_MAINFRAME);
  std::vector<GroupIconEntry> connecting = GroupEntries(IDI_CONNECTING);
  ASSERT_EQ(app.size(), 2u);
  ASSERT_EQ(connecting.size(), 2u);
  for (const GroupIconEntry& a : app) {
    auto c = std::find_if(connecting.begin(), connecting.end(),
                          [&](const GroupIconEntry& e) { return e.width == a.width; });
    ASSERT_NE(c, connecting.end());
    const int size = a.width;
    std::vector<int> pixelsA = Pixels(FindResourceBytes(MAKEINTRESOURCEA(a.id), RT_ICON), size);
    std::vector<int> pixelsC = Pixels(FindResourceBytes(MAKEINTRESOURCEA(c->id), RT_ICON), size);
    int differing = 0;
    for (std::size_t n = 0; n < pixelsA.size(); ++n) differing += pixelsA[n] != pixelsC[n];
    EXPECT_GE(differing, size * size / 5) << "at " << size << "x" << size;
  }
}

// ---------------------------------------------------------------------------
// String table, manifest and version information

TEST(Strings, AboutMenuEntry) {
  char text[64] = {};
  int length = LoadStringA(Module(), IDS_ABOUTBOX, text, sizeof text);
  EXPECT_EQ(length, 17);
  EXPECT_STREQ(text, "&About Tolvane...");
}

std::string ManifestText() {
  ResourceBytes manifest =
      FindResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  if (manifest.data == nullptr) return std::string();
  return std::string(reinterpret_cast<const char*>(manifest.data), manifest.size);
}

TEST(Manifest, AsksForCommonControlsSixDpiAwarenessAndSupportedSystems) {
  const std::string manifest = ManifestText();
  ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
  const char* const needed[] = {
      "name=\"Microsoft.Windows.Common-Controls\"",
      "version=\"6.0.0.0\"",
      "publicKeyToken=\"6595b64144ccf1df\"",
      "level=\"asInvoker\"",
      ">true</dpiAware>",
      ">system</dpiAwareness>",
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  for (const char* text : needed) EXPECT_NE(manifest.find(text), std::string::npos) << text;
  // The same manifest serves the 32-bit and the 64-bit program.
  EXPECT_EQ(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
  EXPECT_EQ(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
}

// The loader accepts the manifest: an activation context can be made from it.
TEST(Manifest, MakesAnActivationContext) {
  ACTCTXA context{};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  context.hModule = Module();
  context.lpResourceName = MAKEINTRESOURCEA(1);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Module(), path, MAX_PATH);
  context.lpSource = path;
  HANDLE handle = CreateActCtxA(&context);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  ReleaseActCtx(handle);
}

// One block of a VS_VERSIONINFO tree: key, value and children.
struct VersionBlock {
  std::wstring key;
  const BYTE* value = nullptr;
  WORD valueLength = 0;  // in WCHARs for text, in bytes otherwise
  WORD type = 0;         // 1 text, 0 binary
  std::vector<VersionBlock> children;
};

bool ReadVersionBlock(const BYTE* data, std::size_t size, VersionBlock* block) {
  auto align = [](std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); };
  if (size < 6) return false;
  WORD length, valueLength, type;
  std::memcpy(&length, data, 2);
  std::memcpy(&valueLength, data + 2, 2);
  std::memcpy(&type, data + 4, 2);
  if (length < 6 || length > size) return false;
  std::size_t at = 6;
  for (;;) {
    if (at + 2 > length) return false;
    WCHAR c;
    std::memcpy(&c, data + at, 2);
    at += 2;
    if (c == 0) break;
    block->key.push_back(c);
  }
  at = align(at);
  const std::size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;
  if (valueBytes > 0) {
    if (at + valueBytes > length) return false;
    block->value = data + at;
    at = align(at + valueBytes);
  }
  block->valueLength = valueLength;
  block->type = type;
  while (at + 6 <= length) {
    VersionBlock child;
    if (!ReadVersionBlock(data + at, length - at, &child)) return false;
    WORD childLength;
    std::memcpy(&childLength, data + at, 2);
    block->children.push_back(child);
    at = align(at + childLength);
  }
  return true;
}

std::wstring VersionString(const VersionBlock& root, const std::wstring& name) {
  for (const VersionBlock& info : root.children) {
    if (info.key != L"StringFileInfo") continue;
    for (const VersionBlock& table : info.children) {
      for (const VersionBlock& value : table.children) {
        if (value.key != name || value.value == nullptr || value.type != 1) continue;
        std::wstring text(reinterpret_cast<const wchar_t*>(value.value), value.valueLength);
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
      }
    }
  }
  return L"<missing>";
}

TEST(VersionInfo, NamesTheProgramAndItsVersion) {
  ResourceBytes bytes = FindResourceBytes(MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  ASSERT_NE(bytes.data, nullptr);
  VersionBlock root;
  ASSERT_TRUE(ReadVersionBlock(bytes.data, bytes.size, &root));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  ASSERT_EQ(root.valueLength, sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, root.value, sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0u);
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(VersionString(root, L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(VersionString(root, L"ProductName"), L"Tolvane");
  EXPECT_EQ(VersionString(root, L"OriginalFilename"), L"Tolvane.exe");
  EXPECT_EQ(VersionString(root, L"CompanyName"), L"Tolvane");
  std::wstring description = VersionString(root, L"FileDescription");
  EXPECT_FALSE(description.empty() || description == L"<missing>");
}

}  // namespace
