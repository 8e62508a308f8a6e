#include "messages/BuddyMessageDlg.h"

#include <commctrl.h>
#include <cstdio>
static double T(){LARGE_INTEGER f,c;QueryPerformanceFrequency(&f);QueryPerformanceCounter(&c);return double(c.QuadPart)/double(f.QuadPart);}

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
          fw::OnMessage(WM_TIMER, &CBuddyMessageDlg::OnTimer),
      });
  return map;
}

BOOL CBuddyMessageDlg::OnInitDialog() {
  double a=T(); struct P{double a; ~P(){fprintf(stderr,"init %.3f\n",T()-a);}} p{a};
  // A message may be as long as the user likes.
  SendDlgItemMessageA(hwnd_, IDC_MESSAGE_EDITOR, EM_SETLIMITTEXT, 0, 0);
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
  double a=T();
  editor_.OnOk();
  fprintf(stderr, "ok %.3f\n", T()-a);
}

void CBuddyMessageDlg::OnCancel() {
  DropWaitingQuestion();
  if (editor_.OnCancel()) Dialog::OnCancel();
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

LRESULT CBuddyMessageDlg::OnTimer(WPARAM id, LPARAM) {
  if (id != kQuestionTimer) return 0;
  if (ClickUnderWay() && GetTickCount() - questionSince_ < kLongestWaitMs) return 0;
  KillTimer(hwnd_, kQuestionTimer);
  editor_.AskToSave();
  return 0;
}

LRESULT CBuddyMessageDlg::OnListClick(NMHDR*) {
  DropWaitingQuestion();
  editor_.OnSelectEntry();
  return 0;
}

bool CBuddyMessageDlg::ReadFields() { return UpdateData(true); }

void CBuddyMessageDlg::ShowFields() { UpdateData(false); }

void CBuddyMessageDlg::ShowEntries(const std::vector<std::string>& entries) {
  // All at once and in their final order, without redrawing in between:
  // each item is appended, so the list never moves the items it holds.
  double a=T();
  list_.SetRedraw(false);
  list_.DeleteAllItems();
  list_.SetItemCount(static_cast<int>(entries.size()));
  double b=T();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    list_.InsertItem(static_cast<int>(i), entries[i]);
    if (i == entries.size()/2) fprintf(stderr, "  half %.3f\n", T()-b);
  }
  double c=T();
  list_.SetRedraw(true);
  fprintf(stderr, "show: prep %.3f insert %.3f redraw %.3f\n", b-a, c-b, T()-c);
}

void CBuddyMessageDlg::InsertEntry(std::size_t index, const std::string& text) {
  list_.InsertItem(static_cast<int>(index), text);
}

void CBuddyMessageDlg::DeleteEntry(std::size_t index) {
  list_.DeleteItem(static_cast<int>(index));
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

void CBuddyMessageDlg::CloseWithOk() { double a=T(); bool r=UpdateData(true); fprintf(stderr,"read %.3f\n",T()-a); a=T(); list_.DeleteAllItems(); fprintf(stderr,"deleteall %.3f\n",T()-a);a=T(); if(r) EndDialog(IDOK); fprintf(stderr,"end %.3f\n",T()-a);}
