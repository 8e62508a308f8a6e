// Catches the message boxes that code under test shows on this thread:
// records caption and text and answers each with a chosen button.
#pragma once

#include <windows.h>

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
  const std::vector<CaughtBox>& boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_ = nullptr;
  int answer_;
  std::vector<CaughtBox> boxes_;
};

}  // namespace tolvane::testing
