#include "framework/Window.h"

#include <cstdio>
#include <exception>
#include <map>
#include <new>
#include <unordered_map>

#include "framework/Application.h"
#include "framework/MessageBox.h"

namespace fw {
namespace {

// Windows bound to objects. Only the GUI thread touches it.
std::unordered_map<HWND, Window*>& Bindings() {
  static std::unordered_map<HWND, Window*> bindings;
  return bindings;
}

// The object whose window CreateEx is creating; bound at its first message.
thread_local Window* g_creating = nullptr;

// A failure box is on the screen. Its message loop goes on calling the
// handlers, and one that fails at each paint or timer tick would pile box
// upon box.
bool g_reportingFailure = false;

}  // namespace

MessageMap::MessageMap(const MessageMap* base,
                       std::initializer_list<MessageEntry> entries)
    : base_(base), entries_(entries) {}

bool MessageMap::Dispatch(Window& window, UINT message, WPARAM wParam,
                          LPARAM lParam, LRESULT* result) const {
  for (const MessageMap* map = this; map != nullptr; map = map->base_) {
    for (const MessageEntry& entry : map->entries_) {
      bool match = false;
      switch (entry.kind) {
        case MessageEntry::Kind::kMessage:
          match = entry.registered != nullptr
                      ? (*entry.registered != 0 && *entry.registered == message)
                      : entry.message == message;
          break;
        case MessageEntry::Kind::kCommand:
          match = message == WM_COMMAND && LOWORD(wParam) == entry.id &&
                  HIWORD(wParam) == entry.code;
          break;
        case MessageEntry::Kind::kCommandRange:
          match = message == WM_COMMAND && LOWORD(wParam) >= entry.id &&
                  LOWORD(wParam) <= entry.lastId && HIWORD(wParam) == entry.code;
          break;
        case MessageEntry::Kind::kNotify:
          if (message == WM_NOTIFY && lParam != 0) {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            match = header->idFrom == entry.id && header->code == entry.code;
          }
          break;
      }
      if (match) {
        // A handler that leaves the message alone leaves it to the default
        // processing, not to the base class's entries.
        const Handling handling = entry.call(window, entry.handler, wParam, lParam);
        *result = handling.result;
        return handling.handled;
      }
    }
  }
  return false;
}

namespace detail {
namespace {

// The handler in the form its entry was made with (EntryFor).
template <class F>
F Window::*As(MessageEntry::AnyHandler handler) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
  return reinterpret_cast<F Window::*>(handler);
#pragma GCC diagnostic pop
}

}  // namespace

Handling CallRaw(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM b) {
  return Handled((w.*As<LRESULT(WPARAM, LPARAM)>(h))(a, b));
}

Handling CallTimer(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM) {
  return (w.*As<Handling(UINT_PTR)>(h))(static_cast<UINT_PTR>(a));
}

Handling CallSysCommand(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM) {
  return (w.*As<Handling(UINT)>(h))(static_cast<UINT>(a & 0xFFF0));
}

Handling CallSettingChange(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM) {
  return (w.*As<Handling(UINT)>(h))(static_cast<UINT>(a));
}

Handling CallPaint(Window& w, MessageEntry::AnyHandler h, WPARAM, LPARAM) {
  return (w.*As<Handling()>(h))();
}

Handling CallQueryDragIcon(Window& w, MessageEntry::AnyHandler h, WPARAM, LPARAM) {
  HICON icon = (w.*As<HICON()>(h))();
  return icon != nullptr ? Handled(reinterpret_cast<LRESULT>(icon)) : NotHandled();
}

Handling CallTrayNotification(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM b) {
  return (w.*As<Handling(UINT, UINT)>(h))(static_cast<UINT>(a), LOWORD(b));
}

Handling CallCommand(Window& w, MessageEntry::AnyHandler h, WPARAM, LPARAM) {
  (w.*As<void()>(h))();
  return Handled();
}

Handling CallCommandRange(Window& w, MessageEntry::AnyHandler h, WPARAM a, LPARAM) {
  (w.*As<void(UINT)>(h))(LOWORD(a));
  return Handled();
}

Handling CallNotify(Window& w, MessageEntry::AnyHandler h, WPARAM, LPARAM b) {
  return Handled((w.*As<LRESULT(NMHDR*)>(h))(reinterpret_cast<NMHDR*>(b)));
}

}  // namespace detail

const char* RegisterWindowClass(UINT classStyle, HCURSOR cursor,
                                HBRUSH background, HICON icon) {
  static std::map<std::string, bool> registered;
  char name[128];
  std::snprintf(name, sizeof name, "Fw:%p:%x:%p:%p:%p",
                static_cast<void*>(Application::ResourceInstance()), classStyle,
                static_cast<void*>(cursor), static_cast<void*>(background),
                static_cast<void*>(icon));
  auto it = registered.find(name);
  if (it == registered.end()) {
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = Application::ResourceInstance();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    RegisterClassA(&wc);  // an existing class of this name serves as well
    it = registered.emplace(name, true).first;
  }
  return it->first.c_str();
}

Window::~Window() {
  if (hwnd_ != nullptr) {
    HWND hwnd = hwnd_;
    bool owns = ownsWindow_;
    Unbind();
    if (owns && IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }
}

Window* Window::FromHandle(HWND hwnd) {
  auto it = Bindings().find(hwnd);
  return it == Bindings().end() ? nullptr : it->second;
}

void Window::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  Bindings()[hwnd] = this;
}

void Window::Unbind() {
  if (hwnd_ != nullptr) {
    auto it = Bindings().find(hwnd_);
    if (it != Bindings().end() && it->second == this) Bindings().erase(it);
  }
  hwnd_ = nullptr;
}

void Window::Attach(HWND hwnd) {
  Unbind();
  ownsWindow_ = false;
  if (hwnd != nullptr) Bind(hwnd);
}

HWND Window::Detach() {
  HWND hwnd = hwnd_;
  Unbind();
  return hwnd;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title,
                      DWORD style, int x, int y, int width, int height,
                      HWND parent, HMENU menu) {
  Window* previous = g_creating;
  g_creating = this;
  HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width,
                              height, parent, menu,
                              Application::ResourceInstance(), nullptr);
  g_creating = previous;
  if (hwnd == nullptr) return false;
  if (hwnd_ != hwnd) Bind(hwnd);  // a class whose procedure is not ours
  ownsWindow_ = true;
  return true;
}

bool Window::DestroyWindow() {
  if (hwnd_ == nullptr) return false;
  return ::DestroyWindow(hwnd_) != FALSE;
}

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(hwnd_, message, wParam, lParam);
}

bool Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(hwnd_, message, wParam, lParam) != FALSE;
}

HWND Window::GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }

std::string Window::GetWindowText() const {
  int length = GetWindowTextLengthA(hwnd_);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = ::GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void Window::SetWindowText(const std::string& text) {
  ::SetWindowTextA(hwnd_, text.c_str());
}

int Window::ShowMessageBox(const std::string& text, const char* caption,
                           UINT type) const {
  return fw::ShowMessageBox(hwnd_, text, caption, type);
}

const MessageMap& Window::Messages() {
  static const MessageMap map(nullptr, {});
  return map;
}

bool Window::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                      LRESULT* result) {
  return GetMessageMap().Dispatch(*this, message, wParam, lParam, result);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

LRESULT Window::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  Window* window = Window::FromHandle(hwnd);
  if (window == nullptr && g_creating != nullptr) {
    window = g_creating;
    g_creating = nullptr;
    window->Bind(hwnd);
  }
  if (window == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);

  LRESULT result = 0;
  bool failed = false;
  try {
    result = window->WindowProc(message, wParam, lParam);
  } catch (...) {
    ReportFailedHandler(hwnd);
    failed = true;
  }
  if (failed) result = window->DefWindowProc(message, wParam, lParam);

  if (message == WM_NCDESTROY) {
    window->Unbind();
    window->ownsWindow_ = false;
    try {
      window->PostNcDestroy();
    } catch (...) {
      ReportFailedHandler(nullptr);
    }
  }
  return result;
}

void ReportFailedHandler(HWND window) noexcept {
  if (g_reportingFailure) return;
  const char* reason = "an unexpected error.";
  try {
    throw;
  } catch (const std::bad_alloc&) {
    reason = "there is not enough memory.";
  } catch (const std::exception& e) {
    reason = e.what();
  } catch (...) {
  }
  // Made without allocating: memory may be what ran out.
  char text[2048];
  std::snprintf(text, sizeof text, "%s could not finish this: %s",
                Application::Name().c_str(), reason);
  g_reportingFailure = true;
  ::MessageBoxA(window, text, Application::Name().c_str(), MB_OK | MB_ICONERROR);
  g_reportingFailure = false;
}

}  // namespace fw
