#include "framework/Dialog.h"

#include <algorithm>

#include "core/WholeNumber.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"

namespace fw {

// ---- data exchange --------------------------------------------------------

HWND DataExchange::Item(int id) const { return dialog_.GetDlgItem(id); }

namespace {

std::string WindowText(HWND item) {
  int length = GetWindowTextLengthA(item);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

}  // namespace

void DataExchange::Text(int id, std::string& value) {
  if (failed_) return;
  HWND item = Item(id);
  if (saving_) {
    std::string text = WindowText(item);
    auto shown = dialog_.shownTexts_.find(id);
    if (shown != dialog_.shownTexts_.end() && shown->second.shown == text) {
      value = shown->second.value;  // untouched: what was read, whole
    } else {
      value = std::move(text);
    }
  } else {
    // An edit control takes ages over megabytes on one line, and a user
    // cannot read them there anyway: it shows the start, unless the dialog
    // raised the control's limit for longer texts. Other controls answer
    // EM_GETLIMITTEXT with 0.
    constexpr std::size_t kShownChars = 32767;
    const std::size_t limit = std::max<std::size_t>(
        kShownChars, static_cast<std::size_t>(SendMessageA(item, EM_GETLIMITTEXT, 0, 0)));
    SetWindowTextA(item, value.size() > limit ? value.substr(0, limit).c_str()
                                              : value.c_str());
    std::string text = WindowText(item);
    if (text == value) {
      dialog_.shownTexts_.erase(id);
    } else {
      dialog_.shownTexts_[id] = {value, std::move(text)};
    }
  }
}

void DataExchange::Check(int id, int& value) {
  if (failed_) return;
  HWND item = Item(id);
  if (saving_) {
    value = SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  } else {
    SendMessageA(item, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void DataExchange::Int(int id, int& value) {
  if (failed_) return;
  if (saving_) {
    std::string text;
    Text(id, text);
    int parsed = 0;
    if (!tolvane::ParseInt(text, &parsed)) {
      Fail(id, tolvane::NotANumberMessage());
      return;
    }
    value = parsed;
  } else {
    std::string text = std::to_string(value);
    Text(id, text);
  }
}

void DataExchange::Range(int id, int value, int min, int max) {
  if (failed_ || !saving_) return;
  if (value < min || value > max) Fail(id, tolvane::OutOfRangeMessage(min, max));
}

void DataExchange::Control(int id, Window& control) {
  HWND item = Item(id);
  if (control.hwnd() != item) control.Attach(item);
}

void DataExchange::Fail(int id, const std::string& message) {
  failed_ = true;
  ShowMessageBox(dialog_.hwnd(), message, nullptr, MB_OK | MB_ICONEXCLAMATION);
  HWND item = Item(id);
  if (item != nullptr) {
    SetFocus(item);
    SendMessageA(item, EM_SETSEL, 0, -1);
  }
}

// ---- dialog ---------------------------------------------------------------

Dialog::Dialog(UINT templateId, Window* parent)
    : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
  if (hwnd_ != nullptr && !modal_) {
    HWND hwnd = hwnd_;
    Detach();
    if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }
}

const MessageMap& Dialog::Messages() {
  static const MessageMap map(&Window::Messages(),
                              {
                                  OnMessage(WM_INITDIALOG, &Dialog::OnInitDialogMessage),
                                  OnCommand(IDOK, &Dialog::OnOKCommand),
                                  OnCommand(IDCANCEL, &Dialog::OnCancelCommand),
                              });
  return map;
}

HWND Dialog::OwnerForModal() const {
  HWND owner = parent_ != nullptr ? parent_->hwnd() : nullptr;
  if (owner == nullptr) {
    Application* app = Application::Current();
    if (app != nullptr && app->MainWindow() != nullptr &&
        app->MainWindow() != this) {
      owner = app->MainWindow()->hwnd();
    }
  }
  // The owner of a modal dialog is a top-level window.
  while (owner != nullptr && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) != 0) {
    owner = GetParent(owner);
  }
  return owner;
}

INT_PTR Dialog::DoModal() {
  modal_ = true;
  INT_PTR result = DialogBoxParamA(Application::ResourceInstance(),
                                   MAKEINTRESOURCEA(templateId_), OwnerForModal(),
                                   &Dialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  modal_ = false;
  if (hwnd_ != nullptr) Detach();
  return result;
}

bool Dialog::Create(HWND parent) {
  modal_ = false;
  HWND hwnd = CreateDialogParamA(Application::ResourceInstance(),
                                 MAKEINTRESOURCEA(templateId_), parent,
                                 &Dialog::DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

bool Dialog::UpdateData(bool saving) {
  DataExchange dx(*this, saving);
  DoDataExchange(dx);
  return !dx.failed();
}

void Dialog::EndDialog(INT_PTR result) {
  if (modal_) {
    ::EndDialog(hwnd_, result);
  } else {
    ::DestroyWindow(hwnd_);
  }
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::DoDataExchange(DataExchange&) {}

LRESULT Dialog::OnInitDialogMessage(WPARAM, LPARAM) { return OnInitDialog(); }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
  Dialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->Bind(hwnd);
  } else {
    dialog = static_cast<Dialog*>(Window::FromHandle(hwnd));
  }
  if (dialog == nullptr) return FALSE;

  LRESULT result = 0;
  bool handled = false;  // a handler that failed leaves it to the dialog manager
  try {
    handled = dialog->OnWndMsg(message, wParam, lParam, &result);
  } catch (...) {
    ReportFailedHandler(hwnd);
  }

  if (message == WM_NCDESTROY) {
    dialog->Unbind();
    try {
      dialog->PostNcDestroy();
    } catch (...) {
      ReportFailedHandler(nullptr);
    }
  }
  if (!handled) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

}  // namespace fw
