// The yardstick of the figures: the smallest Win32 program that shows a
// dialog (a caption and one OK button, from a template in memory) and waits.
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// Appends a UTF-16 string the way dialog templates hold it.
void PutText(std::vector<WORD>& out, const wchar_t* text) {
  do {
    out.push_back(static_cast<WORD>(*text));
  } while (*text++ != L'\0');
}

void AlignToDword(std::vector<WORD>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD));
  DLGTEMPLATE header{};
  header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER |
                 WS_VISIBLE;
  header.cdit = 1;
  header.cx = 160;
  header.cy = 60;
  std::memcpy(t.data(), &header, sizeof header);
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  PutText(t, L"Minimal");
  t.push_back(8);
  PutText(t, L"MS Shell Dlg");
  AlignToDword(t);

  DLGITEMTEMPLATE item{};
  item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
  item.x = 55;
  item.y = 35;
  item.cx = 50;
  item.cy = 14;
  item.id = IDOK;
  std::size_t at = t.size();
  t.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
  std::memcpy(t.data() + at, &item, sizeof item);
  t.push_back(0xFFFF);
  t.push_back(0x0080);  // button
  PutText(t, L"OK");
  t.push_back(0);  // no creation data

  return static_cast<int>(DialogBoxIndirectParamW(
      instance, reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), nullptr, DialogProc, 0));
}
