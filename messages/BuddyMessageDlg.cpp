#include "messages/BuddyMessageDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "framework/EditorFileUi.h"

namespace {

// The save question that follows the message editor's loss of focus.
constexpr UINT_PTR kQuestionTimer = 1;
constexpr UINT kQuestionPollMs = 10;
// A question never waits longer than this for a mouse button to come up.
constexpr DWORD kLongestWaitMs = 30000;

// Whether a click is still under way: a control of this thread holds the
// mouse (a button being pressed, the list tracking a click), or a mouse
// button is down.
bool ClickUnderWay() {
  return GetCapture() != nullptr || (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 ||
         (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
}

}  // namespace

CBuddyMessageDlg::CBuddyMessageDlg(UINT templateId, const tolvane::EditorSetup& setup,
                                   const std::string& dataFolder, fw::Window* parent)
    : Dialog(templateId, parent), editor_(setup, dataFolder, *this) {}

const fw::MessageMap& CBuddyMessageDlg::Messages() {
  static const fw::MessageMap map(
      &fw::Dialog::Messages(),
      {
          fw::OnCommand(IDC_BUDDY_ADD, &CBuddyMessageDlg::OnAdd),
          fw::OnCommand(IDC_BUDDY_REMOVE, &CBuddyMessageDlg::OnRemove),
          fw::OnControl(IDC_MESSAGE_EDITOR, EN_CHANGE, &CBuddyMessageDlg::OnMessageChange),
          fw::OnControl(IDC_MESSAGE_EDITOR, EN_KILLFOCUS,
                        &CBuddyMessageDlg::OnMessageKillFocus),
          fw::OnNotify(IDC_KEY_LIST, NM_CLICK, &CBuddyMessageDlg::OnListClick),
          fw::OnNotify(IDC_KEY_LIST, LVN_GETDISPINFOA, &CBuddyMessageDlg::OnListGetText),
          fw::OnNotify(IDC_KEY_LIST, LVN_ODFINDITEMA, &CBuddyMessageDlg::OnListFind),
          // Some list views ask in wide characters even of an ANSI dialog.
          fw::OnNotify(IDC_KEY_LIST, LVN_ODFINDITEMW, &CBuddyMessageDlg::OnListFind),
          fw::OnTimer(&CBuddyMessageDlg::OnTimer),
      });
  return map;
}

BOOL CBuddyMessageDlg::OnInitDialog() {
  // The editor shows and takes messages of up to this length whole.
  SendDlgItemMessageA(hwnd_, IDC_MESSAGE_EDITOR, EM_SETLIMITTEXT,
                      tolvane::kLongestEditableMessage, 0);
  return Dialog::OnInitDialog();
}

void CBuddyMessageDlg::DoDataExchange(fw::DataExchange& dx) {
  bool wasShowing = showing_;
  if (!dx.saving()) showing_ = true;
  dx.Control(IDC_KEY_LIST, list_);
  editor_.LoadOnce();
  tolvane::EditorFields& fields = editor_.fields();
  if (editor_.setup().schedule) {
    dx.Text(IDC_BUDDY_NAME, fields.buddy);
    dx.Text(IDC_MESSAGE_EDITOR, fields.message);
    dx.Int(IDC_HOURS, fields.hours);
    dx.Range(IDC_HOURS, fields.hours, 0, 24);
    dx.Int(IDC_MINUTES, fields.minutes);
    dx.Range(IDC_MINUTES, fields.minutes, 0, 60);
  } else {
    dx.Text(IDC_MESSAGE_EDITOR, fields.message);
    dx.Text(IDC_BUDDY_NAME, fields.buddy);
  }
  showing_ = wasShowing;
}

// Each action asks the save question itself, first: a question still
// waiting for the click to end is no longer needed.
void CBuddyMessageDlg::DropWaitingQuestion() { KillTimer(hwnd_, kQuestionTimer); }

void CBuddyMessageDlg::OnOK() {
  DropWaitingQuestion();
  editor_.OnOk();
}

void CBuddyMessageDlg::OnCancel() {
  DropWaitingQuestion();
  editor_.OnCancel();
}

void CBuddyMessageDlg::OnAdd() {
  DropWaitingQuestion();
  editor_.OnAdd();
}

void CBuddyMessageDlg::OnRemove() {
  DropWaitingQuestion();
  editor_.OnRemove();
}

void CBuddyMessageDlg::OnMessageChange() {
  if (!showing_) editor_.OnMessageChanged();
}

void CBuddyMessageDlg::OnMessageKillFocus() {
  // The question is not asked while the focus is still moving: a message box
  // now would take the mouse from the button or list that was just pressed,
  // and its click would be lost. It is asked once the click is over, or
  // first thing by the action that the click starts (Add, Remove, OK,
  // Cancel, a click in the list), whichever comes first.
  if (!editor_.changed()) return;
  questionSince_ = GetTickCount();
  SetTimer(hwnd_, kQuestionTimer, kQuestionPollMs, nullptr);
}

fw::Handling CBuddyMessageDlg::OnTimer(UINT_PTR id) {
  if (id != kQuestionTimer) return fw::Handled();
  if (ClickUnderWay() && GetTickCount() - questionSince_ < kLongestWaitMs) return fw::Handled();
  KillTimer(hwnd_, kQuestionTimer);
  editor_.AskToSave();
  return fw::Handled();
}

LRESULT CBuddyMessageDlg::OnListClick(NMHDR*) {
  DropWaitingQuestion();
  editor_.OnSelectEntry();
  return 0;
}

bool CBuddyMessageDlg::ReadFields() { return UpdateData(true); }

void CBuddyMessageDlg::ShowFields() { UpdateData(false); }

void CBuddyMessageDlg::SetMessageEditable(bool editable) {
  SendDlgItemMessageA(hwnd_, IDC_MESSAGE_EDITOR, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
}

// The key list holds no items of its own (LVS_OWNERDATA): it shows the
// editor's entries, asking for the text of each one it draws. A list of any
// length is shown at once, and Add and Remove cost the same whatever its
// length.
void CBuddyMessageDlg::ShowEntries(const std::vector<std::string>& entries) {
  list_.SetItemCount(static_cast<int>(entries.size()));
  InvalidateRect(list_.hwnd(), nullptr, TRUE);
}

void CBuddyMessageDlg::InsertEntry(std::size_t, const std::string&) {
  // The editor adds each entry at the end of its list.
  list_.SetItemCount(static_cast<int>(editor_.itemCount()), LVSICF_NOSCROLL);
}

void CBuddyMessageDlg::DeleteEntry(std::size_t index) {
  list_.DeleteItem(static_cast<int>(index));
}

LRESULT CBuddyMessageDlg::OnListGetText(NMHDR* header) {
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
  const std::vector<std::string>& entries = editor_.entries();
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) {
    return 0;
  }
  const std::string* text =
      item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < entries.size()
          ? &entries[static_cast<std::size_t>(item.iItem)]
          : nullptr;
  std::size_t length = text == nullptr ? 0 : text->size();
  length = std::min(length, static_cast<std::size_t>(item.cchTextMax - 1));
  if (length > 0) std::memcpy(item.pszText, text->data(), length);
  item.pszText[length] = '\0';
  return 0;
}

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  const std::size_t length = prefix.size();
  if (length > text.size()) return false;
  if (length == 0) return true;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data(),
                        static_cast<int>(length), prefix.data(),
                        static_cast<int>(length)) == CSTR_EQUAL;
}

}  // namespace

// Typing in the list jumps to the next entry that begins with what was
// typed, as it does in a list that holds its items.
LRESULT CBuddyMessageDlg::OnListFind(NMHDR* header) {
  const NMLVFINDITEMA* request = reinterpret_cast<NMLVFINDITEMA*>(header);
  const LVFINDINFOA& find = request->lvfi;
  const std::vector<std::string>& entries = editor_.entries();
  if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.psz == nullptr ||
      entries.empty()) {
    return -1;
  }
  // The two forms of the request differ only in the characters of psz.
  std::string typed;
  if (header->code == LVN_ODFINDITEMW) {
    const wchar_t* wide = reinterpret_cast<const NMLVFINDITEMW*>(header)->lvfi.psz;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return -1;
    typed.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &typed[0], size, nullptr, nullptr);
    typed.resize(static_cast<std::size_t>(size - 1));
  } else {
    typed = find.psz;
  }
  const bool whole = (find.flags & LVFI_PARTIAL) == 0;
  const std::size_t count = entries.size();
  std::size_t start = request->iStart >= 0 &&
                              static_cast<std::size_t>(request->iStart) < count
                          ? static_cast<std::size_t>(request->iStart)
                          : 0;
  const std::size_t steps = (find.flags & LVFI_WRAP) != 0 ? count : count - start;
  for (std::size_t step = 0; step < steps; ++step) {
    std::size_t i = (start + step) % count;
    const std::string& entry = entries[i];
    if (StartsWithIgnoringCase(entry, typed) && (!whole || entry.size() == typed.size())) {
      return static_cast<LRESULT>(i);
    }
  }
  return -1;
}

void CBuddyMessageDlg::WarnUnreadable(const std::string& path, const std::string& problem) {
  tolvane::WarnIfUnreadable(*this, path, problem);
}

bool CBuddyMessageDlg::SaveList(const std::string& path, const std::string& text) {
  return tolvane::SaveTextOrReport(*this, path, text);
}

int CBuddyMessageDlg::SelectionMark() { return list_.GetSelectionMark(); }

bool CBuddyMessageDlg::AskYesNo(const std::string& text, const std::string& caption) {
  return ShowMessageBox(text, caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CBuddyMessageDlg::Tell(const std::string& text) {
  ShowMessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
}

void CBuddyMessageDlg::FocusName() {
  HWND name = GetDlgItem(IDC_BUDDY_NAME);
  SetFocus(name);
  ::SendMessageA(name, EM_SETSEL, 0, -1);
}

void CBuddyMessageDlg::CloseWithOk() { Dialog::OnOK(); }

void CBuddyMessageDlg::CloseWithCancel() { Dialog::OnCancel(); }
