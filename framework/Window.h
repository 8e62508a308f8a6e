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

// What a typed handler answers: the message is dealt with, with the result
// for its sender, or it goes on to its default processing (DefWindowProc;
// for a dialog, the dialog manager's).
struct Handling {
  bool handled = false;
  LRESULT result = 0;
};
inline Handling Handled(LRESULT result = 0) { return {true, result}; }
inline Handling NotHandled() { return {}; }

// One line of a message map.
struct MessageEntry {
  enum class Kind { kMessage, kCommand, kCommandRange, kNotify };
  Kind kind = Kind::kMessage;
  UINT message = 0;              // kMessage
  const UINT* registered = nullptr;  // kMessage: a number known only at run time
  UINT id = 0;                   // kCommand, kNotify: control or command id
  UINT lastId = 0;               // kCommandRange
  UINT code = 0;                 // kCommand, kNotify: notification code
  std::function<Handling(Window&, WPARAM, LPARAM)> call;
};

// The message map of one class; it names the map of its base class, which is
// searched when no entry of its own matches.
class MessageMap {
 public:
  MessageMap(const MessageMap* base, std::initializer_list<MessageEntry> entries);
  // Finds the handler of a message and calls it. False when no entry
  // matches or the handler leaves the message to its default processing.
  bool Dispatch(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                LRESULT* result) const;

 private:
  const MessageMap* base_;
  std::vector<MessageEntry> entries_;
};

namespace detail {

// An entry for one message; call(T&, wParam, lParam) gives the Handling.
template <class T, class Call>
MessageEntry MessageEntryFor(UINT message, Call call) {
  MessageEntry entry;
  entry.kind = MessageEntry::Kind::kMessage;
  entry.message = message;
  entry.call = [call](Window& w, WPARAM a, LPARAM b) {
    return call(static_cast<T&>(w), a, b);
  };
  return entry;
}

}  // namespace detail

// Map entries. The handler's class must derive from Window.

// Any message, with its raw parameters; the message counts as handled.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return detail::MessageEntryFor<T>(message, [handler](T& w, WPARAM a, LPARAM b) {
    return Handled((w.*handler)(a, b));
  });
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

// WM_TIMER, with the timer's id.
template <class T>
MessageEntry OnTimer(Handling (T::*handler)(UINT_PTR id)) {
  return detail::MessageEntryFor<T>(WM_TIMER, [handler](T& w, WPARAM a, LPARAM) {
    return (w.*handler)(static_cast<UINT_PTR>(a));
  });
}

// WM_SYSCOMMAND, with the command (SC_CLOSE, a command of the program's
// own, ...) without its four low bits, which the system uses itself.
template <class T>
MessageEntry OnSysCommand(Handling (T::*handler)(UINT command)) {
  return detail::MessageEntryFor<T>(WM_SYSCOMMAND, [handler](T& w, WPARAM a, LPARAM) {
    return (w.*handler)(static_cast<UINT>(a & 0xFFF0));
  });
}

// WM_SETTINGCHANGE, with the system parameter that changed (SPI_...).
template <class T>
MessageEntry OnSettingChange(Handling (T::*handler)(UINT action)) {
  return detail::MessageEntryFor<T>(WM_SETTINGCHANGE, [handler](T& w, WPARAM a, LPARAM) {
    return (w.*handler)(static_cast<UINT>(a));
  });
}

// WM_PAINT.
template <class T>
MessageEntry OnPaint(Handling (T::*handler)()) {
  return detail::MessageEntryFor<T>(WM_PAINT, [handler](T& w, WPARAM, LPARAM) {
    return (w.*handler)();
  });
}

// WM_QUERYDRAGICON: the icon shown while the minimised window is dragged;
// without one (null), the default icon.
template <class T>
MessageEntry OnQueryDragIcon(HICON (T::*handler)()) {
  return detail::MessageEntryFor<T>(WM_QUERYDRAGICON, [handler](T& w, WPARAM, LPARAM) {
    HICON icon = (w.*handler)();
    return icon != nullptr ? Handled(reinterpret_cast<LRESULT>(icon)) : NotHandled();
  });
}

// The callback message of a notification-area icon (Shell_NotifyIcon), with
// the icon's id and the mouse message.
template <class T>
MessageEntry OnTrayNotification(UINT message,
                                Handling (T::*handler)(UINT iconId, UINT mouseMessage)) {
  return detail::MessageEntryFor<T>(message, [handler](T& w, WPARAM a, LPARAM b) {
    return (w.*handler)(static_cast<UINT>(a), LOWORD(b));
  });
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
    return Handled();
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
    return Handled();
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
    return Handled((static_cast<T&>(w).*handler)(reinterpret_cast<NMHDR*>(b)));
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
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Called after the window has been destroyed and unbound.
  virtual void PostNcDestroy() {}

  HWND hwnd_ = nullptr;

  friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class Dialog;

 private:
  void Bind(HWND hwnd);
  void Unbind();
  bool ownsWindow_ = false;
};

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);

// The barrier of the window and dialog procedures, for their catch (...):
// no exception may go back into the system that called them. Tells the user
// in a box owned by the window, with the error icon and sound, that what the
// message asked for could not be finished, and why. Never throws.
void ReportFailedHandler(HWND window) noexcept;

}  // namespace fw
