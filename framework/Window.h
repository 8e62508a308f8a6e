// Window base of the dialog framework: a C++ object bound to one window
// handle, with messages dispatched to handler methods through a message map.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <type_traits>
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
  // The handler, held as a member of Window whatever its own class and
  // form, and the function that calls it with the message's parameters in
  // the form the handler takes (and turns it back into that form first).
  using AnyHandler = void (Window::*)();
  using Caller = Handling (*)(Window& window, AnyHandler handler, WPARAM wParam,
                              LPARAM lParam);

  Kind kind = Kind::kMessage;
  UINT message = 0;              // kMessage
  const UINT* registered = nullptr;  // kMessage: a number known only at run time
  UINT id = 0;                   // kCommand, kNotify: control or command id
  UINT lastId = 0;               // kCommandRange
  UINT code = 0;                 // kCommand, kNotify: notification code
  AnyHandler handler = nullptr;
  Caller call = nullptr;
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

// The callers, one for each form of handler (Window.cpp).
Handling CallRaw(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallTimer(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallSysCommand(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallSettingChange(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallPaint(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallQueryDragIcon(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallTrayNotification(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallCommand(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallCommandRange(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);
Handling CallNotify(Window&, MessageEntry::AnyHandler, WPARAM, LPARAM);

// An entry whose handler, a member of T of form F, is called by `call`.
template <class F, class T>
MessageEntry EntryFor(MessageEntry::Kind kind, F T::*handler, MessageEntry::Caller call) {
  static_assert(std::is_base_of_v<Window, T>, "a handler is a member of a window");
  MessageEntry entry;
  entry.kind = kind;
  // Turned back into F Window::* by its caller before the call, which the
  // language guarantees gives the handler again.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
  entry.handler =
      reinterpret_cast<MessageEntry::AnyHandler>(static_cast<F Window::*>(handler));
#pragma GCC diagnostic pop
  entry.call = call;
  return entry;
}

template <class F, class T>
MessageEntry MessageEntryFor(UINT message, F T::*handler, MessageEntry::Caller call) {
  MessageEntry entry = EntryFor(MessageEntry::Kind::kMessage, handler, call);
  entry.message = message;
  return entry;
}

}  // namespace detail

// Map entries. The handler's class must derive from Window.

// Any message, with its raw parameters; the message counts as handled.
template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return detail::MessageEntryFor(message, handler, &detail::CallRaw);
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
  return detail::MessageEntryFor(WM_TIMER, handler, &detail::CallTimer);
}

// WM_SYSCOMMAND, with the command (SC_CLOSE, a command of the program's
// own, ...) without its four low bits, which the system uses itself.
template <class T>
MessageEntry OnSysCommand(Handling (T::*handler)(UINT command)) {
  return detail::MessageEntryFor(WM_SYSCOMMAND, handler, &detail::CallSysCommand);
}

// WM_SETTINGCHANGE, with the system parameter that changed (SPI_...).
template <class T>
MessageEntry OnSettingChange(Handling (T::*handler)(UINT action)) {
  return detail::MessageEntryFor(WM_SETTINGCHANGE, handler, &detail::CallSettingChange);
}

// WM_PAINT.
template <class T>
MessageEntry OnPaint(Handling (T::*handler)()) {
  return detail::MessageEntryFor(WM_PAINT, handler, &detail::CallPaint);
}

// WM_QUERYDRAGICON: the icon shown while the minimised window is dragged;
// without one (null), the default icon.
template <class T>
MessageEntry OnQueryDragIcon(HICON (T::*handler)()) {
  return detail::MessageEntryFor(WM_QUERYDRAGICON, handler, &detail::CallQueryDragIcon);
}

// The callback message of a notification-area icon (Shell_NotifyIcon), with
// the icon's id and the mouse message.
template <class T>
MessageEntry OnTrayNotification(UINT message,
                                Handling (T::*handler)(UINT iconId, UINT mouseMessage)) {
  return detail::MessageEntryFor(message, handler, &detail::CallTrayNotification);
}

// WM_COMMAND from a button (BN_CLICKED) or a menu item.
template <class T>
MessageEntry OnCommand(UINT id, void (T::*handler)()) {
  MessageEntry entry =
      detail::EntryFor(MessageEntry::Kind::kCommand, handler, &detail::CallCommand);
  entry.id = id;
  entry.code = BN_CLICKED;
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
  MessageEntry entry = detail::EntryFor(MessageEntry::Kind::kCommandRange, handler,
                                        &detail::CallCommandRange);
  entry.id = first;
  entry.lastId = last;
  entry.code = BN_CLICKED;
  return entry;
}

// WM_NOTIFY from a control.
template <class T>
MessageEntry OnNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
  MessageEntry entry =
      detail::EntryFor(MessageEntry::Kind::kNotify, handler, &detail::CallNotify);
  entry.id = id;
  entry.code = code;
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
