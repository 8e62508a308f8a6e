#include "tests/e2e/driver/Windows.h"

#include <gtest/gtest.h>

#include <sstream>

namespace e2e {
namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &length)) {
    return "";
  }
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(),
                           reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &got)) {
    return "";
  }
  text.resize(got <= length ? got : length);
  return text;
}

LONG StyleOf(HWND window) { return GetWindowLongA(window, GWL_STYLE); }
LONG ExStyleOf(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE); }

RECT RectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::string Describe(HWND window) {
  if (!IsWindow(window)) return "(no window)";
  RECT rect = RectOf(window);
  std::ostringstream out;
  out << "class " << Quoted(ClassOf(window)) << " caption " << Quoted(WindowText(window))
      << (IsWindowVisible(window) ? " visible" : " hidden")
      << (IsWindowEnabled(window) ? "" : " disabled") << " at (" << rect.left << ","
      << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
  return out.str();
}

namespace {

struct WindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  WindowSearch search{pid, {}};
  EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::string DescribeWindowsOf(DWORD pid) {
  std::string text;
  for (HWND window : TopLevelWindowsOf(pid)) {
    // The IME helper windows every GUI process has say nothing to a reader.
    if (ClassOf(window) == "IME") continue;
    text += "  " + Describe(window) + "\n";
  }
  return text.empty() ? "  (none)\n" : text;
}

namespace {

std::string ProgramOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return "?";
  char image[MAX_PATH * 2] = {};
  DWORD size = sizeof image;
  std::string name = QueryFullProcessImageNameA(process, 0, image, &size) ? image : "?";
  CloseHandle(process);
  return name.substr(name.find_last_of('\\') + 1);
}

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM data) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

}  // namespace

std::string DescribeScreen() {
  std::vector<HWND> windows;
  EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&windows));
  const HWND foreground = GetForegroundWindow();
  std::string text;
  for (HWND window : windows) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    text += (window == foreground ? "* " : "  ") + ProgramOf(pid) + " (" +
            std::to_string(pid) + "): " + Describe(window) + "\n";
  }
  if (foreground == nullptr) text += "  (no foreground window)\n";
  return text;
}

std::string WindowSpec::Describe() const {
  std::string text = mustBeVisible ? "a visible window" : "a window";
  if (!className.empty()) text += " of class " + Quoted(className);
  if (caption) text += " with caption " + Quoted(*caption);
  return text;
}

HWND FindWindowOf(DWORD pid, const WindowSpec& spec) {
  for (HWND window : TopLevelWindowsOf(pid)) {
    if (spec.mustBeVisible && !IsWindowVisible(window)) continue;
    if (!spec.className.empty() && ClassOf(window) != spec.className) continue;
    if (spec.caption && WindowText(window) != *spec.caption) continue;
    return window;
  }
  return nullptr;
}

HWND WaitForWindowOf(DWORD pid, const WindowSpec& spec, DWORD timeoutMs) {
  HWND found = nullptr;
  if (WaitUntil([&] { return (found = FindWindowOf(pid, spec)) != nullptr; },
                timeoutMs)) {
    return found;
  }
  ADD_FAILURE() << "expected " << spec.Describe() << " of process " << pid
                << " within " << timeoutMs << " ms; its windows are:\n"
                << DescribeWindowsOf(pid);
  return nullptr;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
  if (WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); },
                timeoutMs)) {
    return true;
  }
  ADD_FAILURE() << "expected this window to close within " << timeoutMs
                << " ms: " << Describe(window);
  return false;
}

HWND MessageBoxContent::ButtonWithText(const std::string& wanted) const {
  for (const Button& button : buttons) {
    if (button.text == wanted) return button.hwnd;
  }
  return nullptr;
}

std::string MessageBoxContent::Describe() const {
  std::string out = "message box caption " + Quoted(caption) + " text " + Quoted(text);
  for (const Button& button : buttons) {
    out += " [" + button.text + "]";
  }
  return out;
}

std::optional<MessageBoxContent> ReadMessageBox(HWND window) {
  if (!IsWindow(window) || ClassOf(window) != kDialogClass) return std::nullopt;
  HWND textControl = GetDlgItem(window, kMessageBoxTextId);
  if (textControl == nullptr || ClassOf(textControl) != "Static") return std::nullopt;
  LONG kind = StyleOf(textControl) & SS_TYPEMASK;
  if (kind == SS_ICON || kind == SS_BITMAP) return std::nullopt;
  MessageBoxContent box;
  box.hwnd = window;
  box.caption = WindowText(window);
  box.text = WindowText(textControl);
  for (HWND child : ChildrenOf(window)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child)) {
      box.buttons.push_back({GetDlgCtrlID(child), WindowText(child), child});
    }
  }
  return box;
}

std::vector<MessageBoxContent> MessageBoxesOf(DWORD pid) {
  std::vector<MessageBoxContent> boxes;
  for (HWND window : TopLevelWindowsOf(pid)) {
    if (!IsWindowVisible(window)) continue;
    if (std::optional<MessageBoxContent> box = ReadMessageBox(window)) {
      boxes.push_back(*box);
    }
  }
  return boxes;
}

std::optional<MessageBoxContent> WaitForMessageBox(
    DWORD pid, const std::optional<std::string>& caption, DWORD timeoutMs) {
  std::optional<MessageBoxContent> found;
  bool seen = WaitUntil(
      [&] {
        for (const MessageBoxContent& box : MessageBoxesOf(pid)) {
          if (!caption || box.caption == *caption) {
            found = box;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  if (!seen) {
    ADD_FAILURE() << "expected a message box"
                  << (caption ? " with caption " + Quoted(*caption) : std::string())
                  << " from process " << pid << " within " << timeoutMs
                  << " ms; its windows are:\n"
                  << DescribeWindowsOf(pid);
  }
  return found;
}

HWND ControlOf(HWND dialog, int id) { return GetDlgItem(dialog, id); }

}  // namespace e2e
