// Catches the message boxes that code under test shows on this thread:
// records caption and text and answers each with a chosen button.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tolvane::testing {

struct CaughtBox {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  // The ids of its buttons (IDOK, IDYES, IDNO, ...), in id order.
  std::vector<int> buttons;
  // The icon it shows, or nullptr.
  HICON icon = nullptr;
};

class MessageBoxCatcher {
 public:
  // answer: the command that closes each box (IDOK, IDYES, IDNO, ...).
  explicit MessageBoxCatcher(int answer = IDOK);
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  void set_answer(int answer) { answer_ = answer; }
  // Runs for each box as it opens, before the answer is posted: what the
  // user does while the box is on the screen.
  void set_while_open(std::function<void(const CaughtBox&)> action) {
    whileOpen_ = std::move(action);
  }
  const std::vector<CaughtBox>& boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_ = nullptr;
  int answer_;
  std::function<void(const CaughtBox&)> whileOpen_;
  std::vector<CaughtBox> boxes_;
  // The boxes caught and not yet destroyed: a box that is activated again
  // (another window took the focus meanwhile) is the same box.
  std::set<HWND> open_;
};

}  // namespace tolvane::testing
