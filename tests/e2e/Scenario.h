// Steps that many scenarios take: answering a message box, opening an
// editor from the main dialog, replacing what an edit holds.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver/TolvaneTest.h"

namespace e2e {

// A settings file as the Settings dialog writes it, with `line8` as the
// auto-connect line.
inline std::string SettingsWithLine8(const std::string& line8) {
  return "botuser\r\nsecret\r\nKavri\r\nAlex\r\n0\r\n1\r\n0\r\n" + line8 +
         "\r\nAlex is away right now. If you message the AI will provide you with "
         "custom away messages, contact, and location info\r\n"
         "Hello, you've reached Kavri in charge of taking messages for Alex. He's not "
         "here right now, but please leave a message, or send the word info to get "
         "options\r\n";
}

// Clicks a button of a message box and waits for the box to close.
inline void AnswerBox(const MessageBoxContent& box, const std::string& button) {
  HWND control = box.ButtonWithText(button);
  ASSERT_NE(control, nullptr) << box.Describe();
  ASSERT_TRUE(Click(control));
  ASSERT_TRUE(WaitUntilGone(box.hwnd));
}
inline void AnswerOk(const MessageBoxContent& box) { AnswerBox(box, "OK"); }

// Clicks a button and waits until the dialog it belongs to has closed.
inline void ClickAndWaitClosed(HWND dialog, int buttonId) {
  HWND button = ControlOf(dialog, buttonId);
  ASSERT_NE(button, nullptr) << "no control " << buttonId << " in " << Describe(dialog);
  ASSERT_TRUE(Click(button));
  ASSERT_TRUE(WaitUntilGone(dialog));
}

// Empties an edit as a user does (End, Shift+Home, Delete), types text into
// it and waits until the edit shows it.
inline void ReplaceText(HWND edit, const std::string& text) {
  ASSERT_TRUE(TypeInto(edit, ""));
  PressKey(VK_END);
  PressKeys({VK_SHIFT, VK_HOME});
  PressKey(VK_DELETE);
  TypeText(text);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == text; }))
      << "the edit shows \"" << TextOf(edit) << "\" instead of \"" << text << "\"";
}

// A scenario that starts with an existing settings file (no first run) and
// opens things from the main dialog.
class PanelTest : public TolvaneTest {
 protected:
  // Starts Tolvane with a settings file in place and waits for the main
  // dialog; returns it (nullptr after a reported failure).
  HWND StartWithSettings(const std::string& settings = SettingsWithLine8("0"),
                         const LaunchOptions& options = {}) {
    if (!WriteDataFile("settings.txt", settings)) {
      ADD_FAILURE() << "could not write settings.txt";
      return nullptr;
    }
    if (!StartTolvane(options)) return nullptr;
    main_ = WaitForMainDialog();
    return main_;
  }

  // Clicks a button of the main dialog and waits for the dialog with this
  // caption to open; returns it.
  HWND Open(int buttonId, const std::string& caption) {
    HWND button = ControlOf(main_, buttonId);
    if (button == nullptr || !Click(button)) {
      ADD_FAILURE() << "could not click button " << buttonId << " of the main dialog";
      return nullptr;
    }
    return WaitForWindowOf(pid(), {kDialogClass, caption});
  }

  HWND main() const { return main_; }
  // Waits for the main dialog of a Tolvane started otherwise (StartTolvane)
  // to be on the screen, and takes it as main().
  HWND TakeMainDialog() {
    main_ = WaitForMainDialog();
    return main_;
  }

 private:
  HWND main_ = nullptr;
};

}  // namespace e2e
