// Window base of the dialog framework: a C++ object bound to one window
// handle, with messages dispatched to handler methods through a message map.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace fw {

class Window;

// One line of a message map.
struct MessageEntry {
  enum class Kind { kMessage, kCommand, kCommandRange, kNotify };
  Kind kind = Kind::kMessage;
  UINT message = 0;              // kMessage
  const UINT* registered = nullptr;  // kMessage: a number known only at run time
  UINT id = 0;                   // kCommand, kNotify: control or command id
  UINT lastId = 0;               // kCommandRange
  UINT code = 0;                 // kCommand, kNotify: notification code
  std::function<LRESULT(Window&, WPARAM, LPARAM)> call;
};

// The message map of one class; it names the map of its base class, which is
// searched when no entry of its own matches.
class MessageMap {
 public:
  MessageMap(const MessageMap* base, std::initializer_list<MessageEntry> entries);
  // Finds the handler of a message and calls it.
  bool Dispatch(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                LRESULT* result) const;

 private:
  const MessageMap* base_;
  std::vector<MessageEntry> entries_;
};

// Map entries. The handler's class must derive from Window.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  MessageEntry entry;
  entry.kind = MessageEntry::Kind::kMessage;
  entry.message = message;
  entry.call = [handler](Window& w, WPARAM a, LPARAM b) {
    return (static_cast<T&>(w).*handler)(a, b);
  };
  return entry;
}

// A message whose number is registered at run time (RegisterWindowMessage);
// the number is read from *number at each dispatch.
template <class T>
MessageEntry OnRegisteredMessage(const UINT* number,
                                 LRESULT (T::*handler)(WPARAM, LPARAM)) {
  MessageEntry entry = OnMessage<T>(0, handler);
  entry.registered = number;
  return entry;
}

// WM_COMMAND from a button (BN_CLICKED) or a menu item.
template <class T>
MessageEntry OnCommand(UINT id, void (T::*handler)()) {
  MessageEntry entry;
  entry.kind = MessageEntry::Kind::kCommand;
  entry.id = id;
  entry.code = BN_CLICKED;
  entry.call = [handler](Window& w, WPARAM, LPARAM) {
    (static_cast<T&>(w).*handler)();
    return LRESULT{0};
  };
  return entry;
}

// WM_COMMAND with a given notification code (EN_CHANGE, EN_KILLFOCUS, ...).
template <class T>
MessageEntry OnControl(UINT id, UINT code, void (T::*handler)()) {
  MessageEntry entry = OnCommand<T>(id, handler);
  entry.code = code;
  return entry;
}

// WM_COMMAND (BN_CLICKED) for any id from first to last.
template <class T>
MessageEntry OnCommandRange(UINT first, UINT last, void (T::*handler)(UINT)) {
  MessageEntry entry;
  entry.kind = MessageEntry::Kind::kCommandRange;
  entry.id = first;
  entry.lastId = last;
  entry.code = BN_CLICKED;
  entry.call = [handler](Window& w, WPARAM a, LPARAM) {
    (static_cast<T&>(w).*handler)(LOWORD(a));
    return LRESULT{0};
  };
  return entry;
}

// WM_NOTIFY from a control.
template <class T>
MessageEntry OnNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
  MessageEntry entry;
  entry.kind = MessageEntry::Kind::kNotify;
  entry.id = id;
  entry.code = code;
  entry.call = [handler](Window& w, WPARAM, LPARAM b) {
    return (static_cast<T&>(w).*handler)(reinterpret_cast<NMHDR*>(b));
  };
  return entry;
}

// Registers (once per combination) a window class whose procedure is the
// framework's, and returns its name.
const char* RegisterWindowClass(UINT classStyle, HCURSOR cursor = nullptr,
                                HBRUSH background = nullptr, HICON icon = nullptr);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // The object bound to a window handle, if any.
  static Window* FromHandle(HWND hwnd);

  // Creates a window of a class registered with RegisterWindowClass, bound
  // to this object.
  bool CreateEx(DWORD exStyle, const char* className, const char* title,
                DWORD style, int x, int y, int width, int height, HWND parent,
                HMENU menu);
  bool DestroyWindow();

  // Binds the object to a window it does not own (a dialog control). The
  // window's own procedure stays.
  void Attach(HWND hwnd);
  HWND Detach();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  HWND GetDlgItem(int id) const;
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);

  // A message box owned by this window; without a caption the box shows the
  // application's name.
  int ShowMessageBox(const std::string& text, const char* caption = nullptr,
                     UINT type = MB_OK) const;

 protected:
  static const MessageMap& Messages();
  virtual const MessageMap& GetMessageMap() const { return Messages(); }

  // Handles one message: the message map first, then default processing.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Dispatches through the message map; false when no entry handles it.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The window's default processing of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the message now being handled.
  LRESULT Default();

  // Called after the window has been destroyed and unbound.
  virtual void PostNcDestroy() {}

  HWND hwnd_ = nullptr;

  struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  CurrentMessage current_;

  friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class Dialog;

 private:
  void Bind(HWND hwnd);
  void Unbind();
  bool ownsWindow_ = false;
};

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);

}  // namespace fw
