// Start-up and the main dialog of Tolvane.exe, driven as a user does.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Screen.h"
#include "tests/e2e/driver/TolvaneTest.h"
#include "tests/e2e/driver/Tray.h"
#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

constexpr char kNotice[] =
    "Tolvane has detected that this is the fist time Tolvane has been run. "
    "Tolvane will quickly configure perl libraries.";

// The parameters a command line gives its program: what follows the
// program name (quoted or not) and one blank.
std::string ParametersOf(const std::string& commandLine) {
  if (commandLine.empty()) return "";
  std::size_t end = commandLine[0] == '"' ? commandLine.find('"', 1) + 1
                                          : commandLine.find(' ');
  if (end == std::string::npos || end >= commandLine.size()) return "";
  return commandLine.substr(end + 1);
}

std::string ProgramOf(const std::string& commandLine) {
  if (commandLine.empty()) return "";
  if (commandLine[0] == '"') return commandLine.substr(1, commandLine.find('"', 1) - 1);
  return commandLine.substr(0, commandLine.find(' '));
}

bool NamesPpm(const std::string& program) {
  std::string lower;
  for (unsigned char c : program) lower += static_cast<char>(std::tolower(c));
  std::string base = lower.substr(lower.find_last_of('\\') + 1);
  return base == "ppm" || base == "ppm.exe";
}

// The visible buttons of the taskbar's window list (not the Start button).
std::vector<HWND> TaskbarButtons() {
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  const RECT bar = RectOf(taskbar);
  std::vector<HWND> buttons;
  for (HWND child : ChildrenOf(taskbar)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child) &&
        RectOf(child).left > bar.left) {
      buttons.push_back(child);
    }
  }
  return buttons;
}

// ---- first run ------------------------------------------------------------

class FirstRun : public TolvaneTest {
 protected:
  // Waits until ppm has recorded its start; then, until it has recorded its
  // end, checks at every poll that the main dialog stays hidden and that no
  // settings file has been made yet. Returns ppm's run.
  StandinRun WatchPpm() {
    StandinRun ppm;
    bool started = WaitUntil([&] {
      std::vector<StandinRun> runs = StandinRuns("ppm");
      if (!runs.empty()) ppm = runs[0];
      return !runs.empty();
    });
    if (!started) {
      ADD_FAILURE() << "ppm was not started after the notice; " << LogText();
      return ppm;
    }
    int shownWhileRunning = 0;
    int settingsWhileRunning = 0;
    bool ended = WaitUntil(
        [&] {
          // Looked at first, and counted only when ppm still runs after
          // the look: between a look at the log and a look at the screen
          // ppm may end and Tolvane go on.
          HWND main = FindMainDialog();
          const bool shown = main != nullptr && IsWindowVisible(main);
          const bool settings = ReadDataFile("settings.txt").has_value();
          ppm = StandinRuns("ppm")[0];
          if (ppm.Has("ended")) return true;
          shownWhileRunning += shown;
          settingsWhileRunning += settings;
          return false;
        },
        30000);
    EXPECT_TRUE(ended) << "ppm did not end; " << LogText();
    EXPECT_EQ(shownWhileRunning, 0) << "the main dialog was visible while ppm ran";
    EXPECT_EQ(settingsWhileRunning, 0) << "settings.txt was there while ppm ran";
    return ppm;
  }
};

TEST_F(FirstRun, NoticeThenPpmWaitedForThenTheMainDialogAndAnEmptySettingsFile) {
  ASSERT_TRUE(StartTolvane({true, {{"TOLVANE_PPM_DELAY_MS", "1500"}}}));

  std::optional<MessageBoxContent> notice = WaitForMessageBox(pid());
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->caption, "Notice");
  EXPECT_EQ(notice->text, kNotice);
  ASSERT_EQ(notice->buttons.size(), 1u) << notice->Describe();
  EXPECT_EQ(notice->buttons[0].text, "OK");
  // Nothing happens before the user has answered.
  Pause(300);
  EXPECT_TRUE(StandinRuns("ppm").empty()) << LogText();
  HWND hidden = FindMainDialog();
  EXPECT_TRUE(hidden == nullptr || !IsWindowVisible(hidden));

  ASSERT_NO_FATAL_FAILURE(AnswerOk(*notice));
  StandinRun ppm = WatchPpm();
  EXPECT_TRUE(NamesPpm(ProgramOf(ppm.Value("cmdline")))) << ppm.Value("cmdline");
  EXPECT_EQ(ParametersOf(ppm.Value("cmdline")), "install Net-OSCAR");
  EXPECT_EQ(ppm.Value("wShowWindow"), std::to_string(SW_SHOWNORMAL));

  // WatchPpm has checked that the dialog stayed hidden until ppm ended.
  HWND main = WaitForMainDialog();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_EQ(ReadDataFile("settings.txt"), std::string());
  EXPECT_EQ(ListDataFiles(), std::vector<std::string>{"settings.txt"});
  EXPECT_EQ(StandinRuns("ppm").size(), 1u) << LogText();
  EXPECT_TRUE(StandinRuns("perl").empty()) << LogText();
  EXPECT_EQ(ReadRunValue(), std::nullopt);
}

TEST_F(FirstRun, TheNextStartIsNoFirstRun) {
  ASSERT_TRUE(StartTolvane({true, {{"TOLVANE_PPM_DELAY_MS", "200"}}}));
  std::optional<MessageBoxContent> notice = WaitForMessageBox(pid(), "Notice");
  ASSERT_TRUE(notice);
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*notice));
  HWND main = WaitForMainDialog(kTimeoutMs + 200);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitForConsoleToClose(StandinRuns("ppm").at(0))) << LogText();
  ASSERT_TRUE(Click(ControlOf(main, IDCANCEL)));
  ASSERT_TRUE(ExpectExit());

  ASSERT_TRUE(StartTolvane({true, {{"TOLVANE_PPM_DELAY_MS", "200"}}}));
  ASSERT_NE(WaitForMainDialog(), nullptr);
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_EQ(StandinRuns("ppm").size(), 1u) << LogText();
  EXPECT_EQ(ReadDataFile("settings.txt"), std::string());
}

TEST_F(FirstRun, AMissingDataFolderIsNamedToTheUserAndTheMainDialogStillShows) {
  RemoveDataFolder();
  ASSERT_TRUE(StartTolvane({true, {{"TOLVANE_PPM_DELAY_MS", "200"}}}));

  std::optional<MessageBoxContent> notice = WaitForMessageBox(pid(), "Notice");
  ASSERT_TRUE(notice);
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*notice));
  // Tolvane cannot leave a settings file: it says so, naming the folder.
  std::optional<MessageBoxContent> problem = WaitForMessageBox(pid(), "Tolvane");
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->text.rfind("Tolvane could not create its settings file", 0), 0u)
      << problem->Describe();
  EXPECT_NE(problem->text.find(DataFolder()), std::string::npos)
      << "the message does not name " << DataFolder() << ": " << problem->Describe();
  EXPECT_EQ(StandinRuns("ppm").size(), 1u) << LogText();
  ASSERT_TRUE(WaitForConsoleToClose(StandinRuns("ppm").at(0))) << LogText();
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*problem));

  ASSERT_NE(WaitForMainDialog(), nullptr);
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_FALSE(DataFolderExists()) << "Tolvane must not create its data folder";
}

TEST_F(FirstRun, WithoutPpmTheUserIsToldAndTheStartGoesOn) {
  ASSERT_TRUE(StartTolvane({false, {}}));
  std::optional<MessageBoxContent> notice = WaitForMessageBox(pid(), "Notice");
  ASSERT_TRUE(notice);
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*notice));

  std::optional<MessageBoxContent> problem = WaitForMessageBox(pid(), "Tolvane");
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->text.rfind("Tolvane could not run ppm", 0), 0u) << problem->Describe();
  EXPECT_NE(problem->text.find("ppm install Net-OSCAR"), std::string::npos)
      << "the message does not give the command to run: " << problem->Describe();
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*problem));

  ASSERT_NE(WaitForMainDialog(), nullptr);
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_EQ(ReadDataFile("settings.txt"), std::string());
  EXPECT_TRUE(StandinRuns("ppm").empty()) << LogText();
}

// ---- auto-connect ---------------------------------------------------------

struct AutoConnectCase {
  const char* name;
  std::string settings;
  bool on;
};

class AutoConnect : public TolvaneTest,
                    public testing::WithParamInterface<AutoConnectCase> {
 protected:
  // Starts Tolvane on the given settings file and checks the auto-connect
  // decision as far as the program shows it.
  //
  // In every case there is no first run: no notice, no ppm, and settings.txt
  // is left exactly as it was (the main dialog only reads it).
  //
  // Off: the main dialog is shown and stays, and no bot is started.
  //
  // On: Start is performed before the main dialog is first shown: perl runs
  // with the command line "perl " + the short path of Kavri.pl, hidden
  // (dwFlags STARTF_USESHOWWINDOW, wShowWindow SW_HIDE), and the main
  // dialog goes into the tray without ever having been visible.
  void ExpectAutoConnect(bool on) {
    const std::string settings = GetParam().settings;
    ASSERT_TRUE(WriteDataFile("settings.txt", settings));
    ASSERT_TRUE(WriteDataFile("Kavri.pl", "# the bot\r\n"));
    ASSERT_TRUE(StartTolvane());

    int shown = 0;
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      if (FindMainDialog(true) != nullptr) ++shown;
      main = FindMainDialog(!on);
      if (!MessageBoxesOf(pid()).empty()) return true;
      return main != nullptr && (!on || !StandinRuns("perl").empty());
    })) << (on ? "no bot was started; " : "the main dialog did not appear; ")
        << LogText() << "windows:\n" << DescribeWindowsOf(pid());
    for (const MessageBoxContent& box : MessageBoxesOf(pid())) {
      ADD_FAILURE() << "unexpected " << box.Describe();
    }
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(StandinRuns("ppm").empty()) << LogText();

    // A bot started by mistake, or the dialog shown after all, would have
    // shown by now.
    Pause(1000);
    const std::vector<StandinRun> perl = StandinRuns("perl");
    if (on) {
      if (FindMainDialog(true) != nullptr) ++shown;
      EXPECT_EQ(shown, 0) << "the main dialog was on the screen";
      ASSERT_EQ(perl.size(), 1u) << LogText();
      EXPECT_EQ(perl[0].Value("cmdline"), "perl " + perl[0].Value("arg1"));
      EXPECT_EQ(perl[0].Value("arg1").find_first_of(" \""), std::string::npos);
      EXPECT_EQ(perl[0].Value("arg1.long"), DataFile("Kavri.pl"));
      EXPECT_EQ(perl[0].Value("dwFlags"), std::to_string(STARTF_USESHOWWINDOW));
      EXPECT_EQ(perl[0].Value("wShowWindow"), std::to_string(SW_HIDE));
      EXPECT_TRUE(TrayIconExists(main, kTrayIconId));
    } else {
      EXPECT_TRUE(perl.empty()) << LogText();
      EXPECT_TRUE(IsWindowVisible(main));
    }
    EXPECT_EQ(ReadDataFile("settings.txt"), settings);
    EXPECT_EQ(ListDataFiles(), (std::vector<std::string>{"Kavri.pl", "settings.txt"}));
  }
};

TEST_P(AutoConnect, IsReadFromTheFirstCharacterOfLine8) {
  ExpectAutoConnect(GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, AutoConnect,
    testing::Values(AutoConnectCase{"One", SettingsWithLine8("1"), true},
                    AutoConnectCase{"OneAndBlank", SettingsWithLine8("1 "), true},
                    AutoConnectCase{"Ten", SettingsWithLine8("10"), true},
                    AutoConnectCase{"Zero", SettingsWithLine8("0"), false},
                    AutoConnectCase{"BlankThenOne", SettingsWithLine8(" 1"), false},
                    AutoConnectCase{"EmptyLine", SettingsWithLine8(""), false},
                    AutoConnectCase{"SevenLines",
                                    "botuser\r\nsecret\r\nKavri\r\nAlex\r\n1\r\n1\r\n1\r\n",
                                    false},
                    AutoConnectCase{"EmptyFile", "", false}),
    [](const testing::TestParamInfo<AutoConnectCase>& info) { return info.param.name; });

// ---- the main dialog ------------------------------------------------------

class MainDialog : public TolvaneTest {
 protected:
  void SetUp() override {
    TolvaneTest::SetUp();
    ASSERT_TRUE(WriteDataFile("settings.txt", SettingsWithLine8("0")));
    ASSERT_TRUE(StartTolvane());
    main_ = WaitForMainDialog();
    ASSERT_NE(main_, nullptr);
  }

  // Waits for the About box, checks it, closes it with a click on OK and
  // checks that the main dialog is usable again.
  void ExpectAboutBoxThenClose() {
    HWND about =
        WaitForWindowOf(pid(), WindowSpec{kDialogClass, std::string("About Tolvane"), true});
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), main_);
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the About box is modal";
    std::vector<std::string> texts;
    for (HWND child : ChildrenOf(about)) {
      if (ClassOf(child) == "Static" && (StyleOf(child) & SS_TYPEMASK) != SS_ICON) {
        texts.push_back(WindowText(child));
      }
    }
    EXPECT_EQ(texts, std::vector<std::string>{"Tolvane Version 1.0"});
    HWND ok = ControlOf(about, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "OK");
    ASSERT_TRUE(Click(ok));
    ASSERT_TRUE(WaitUntilGone(about));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(tolvane().running());
  }

  void ExpectEndsNormally() {
    std::optional<DWORD> code = ExpectExit();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
  }

  HWND main_ = nullptr;
};

TEST_F(MainDialog, HasItsCaptionButtonsIconsAndTaskbarButton) {
  EXPECT_EQ(WindowText(main_), "Tolvane");
  const LONG style = StyleOf(main_);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_NE(ExStyleOf(main_) & WS_EX_APPWINDOW, 0);

  const struct {
    int id;
    const char* caption;
  } buttons[] = {{IDOK, "Start"},           {IDCANCEL, "Exit"},
                 {1002, "Settings"},        {1003, "Contact Info"},
                 {1004, "Trusted Buddies"}, {1005, "Deliver Messages"},
                 {1006, "Away Messages"},   {1007, "Saved Messages"},
                 {1008, "Schedule Message"}, {1009, "Help!"}};
  for (const auto& expected : buttons) {
    HWND button = ControlOf(main_, expected.id);
    ASSERT_NE(button, nullptr) << "no control " << expected.id;
    EXPECT_EQ(ClassOf(button), "Button") << expected.id;
    EXPECT_EQ(WindowText(button), expected.caption) << expected.id;
    EXPECT_TRUE(IsWindowVisible(button)) << expected.id;
    EXPECT_TRUE(IsWindowEnabled(button)) << expected.id;
    EXPECT_EQ(StyleOf(button) & BS_TYPEMASK,
              expected.id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)
        << expected.id;
  }

  // The caption shows the application icon, icon 128 of Tolvane.exe. (The
  // icons cannot be asked for: WM_GETICON from another process gives
  // nothing under Wine.)
  HICON appIcon = LoadIconOfFile(TolvaneExe(), 128);
  ASSERT_NE(appIcon, nullptr) << "Tolvane.exe has no icon 128";
  EXPECT_TRUE(CaptionShowsIcon(main_, appIcon))
      << "the caption of the main dialog does not show icon 128";

  // The dialog has a button on the taskbar, and a click on it brings the
  // dialog back to the front.
  std::vector<HWND> taskbarButtons = TaskbarButtons();
  ASSERT_EQ(taskbarButtons.size(), 1u) << "expected one taskbar button, for Tolvane";
  HWND other = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "other", WS_POPUP | WS_VISIBLE,
                               600, 100, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(BringToFront(other));
  ASSERT_TRUE(Click(taskbarButtons[0]));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; }))
      << "the foreground window is " << Describe(GetForegroundWindow());
  DestroyWindow(other);
}

TEST_F(MainDialog, AboutOpensFromTheSystemMenuWithTheKeyboard) {
  HWND menu = OpenSystemMenuWithKeyboard(main_);
  ASSERT_NE(menu, nullptr);
  // The About entry is the last item; Up goes there from the top. (Its
  // mnemonic A is no use here: Wine's system menu has an "About Wine" too.)
  PressKey(VK_UP);
  PressKey(VK_RETURN);
  ExpectAboutBoxThenClose();
}

TEST_F(MainDialog, AboutOpensFromTheSystemMenuWithTheMouse) {
  HWND menu = OpenSystemMenuWithMouse(main_);
  ASSERT_NE(menu, nullptr);
  // The About entry is the last item of the menu.
  RECT rect = RectOf(menu);
  ClickAt(POINT{(rect.left + rect.right) / 2, rect.bottom - 4 - GetSystemMetrics(SM_CYMENU) / 3});
  ExpectAboutBoxThenClose();
}

TEST_F(MainDialog, EverySystemCommandFrom0x10To0x1FOpensAbout) {
  for (UINT id = 0x10; id <= 0x1F; ++id) {
    SCOPED_TRACE(testing::Message() << "WM_SYSCOMMAND " << id);
    ASSERT_TRUE(PostMessageA(main_, WM_SYSCOMMAND, id, 0));
    ASSERT_NO_FATAL_FAILURE(ExpectAboutBoxThenClose());
  }
}

TEST_F(MainDialog, TheExitButtonEndsTheProgram) {
  ASSERT_TRUE(Click(ControlOf(main_, IDCANCEL)));
  ExpectEndsNormally();
}

TEST_F(MainDialog, TheEscapeKeyEndsTheProgram) {
  ASSERT_TRUE(BringToFront(main_));
  PressKey(VK_ESCAPE);
  ExpectEndsNormally();
}

TEST_F(MainDialog, TheCloseBoxEndsTheProgram) {
  ASSERT_TRUE(ClickCaption(main_, HTCLOSE));
  ExpectEndsNormally();
}

TEST_F(MainDialog, SystemCommandCloseEndsTheProgram) {
  ASSERT_TRUE(PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0));
  ExpectEndsNormally();
}

TEST_F(MainDialog, StartAndEnterTakeTheDialogIntoTheTrayWithoutClosingIt) {
  ASSERT_TRUE(WriteDataFile("Kavri.pl", "# the bot\r\n"));
  // The button, then the Enter key: each time the dialog leaves the screen
  // but stays, and a click on the icon brings the same dialog back.
  for (int run = 1; run <= 2; ++run) {
    if (run == 1) {
      ASSERT_TRUE(Click(ControlOf(main_, IDOK)));
    } else {
      ASSERT_TRUE(BringToFront(main_));
      PressKey(VK_RETURN);
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }))
        << "Start " << run << " left the dialog on the screen";
    ASSERT_TRUE(WaitUntil([&] { return StandinRuns("perl").size() == std::size_t(run); }))
        << LogText();
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(tolvane().running());
    EXPECT_TRUE(MessageBoxesOf(pid()).empty());
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main_, kTrayIconId); }));

    ASSERT_TRUE(XClickTrayIcon());
    std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
    ASSERT_TRUE(box) << "no stop after the click on the icon, run " << run;
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    EXPECT_TRUE(IsWindowVisible(main_));
  }
  EXPECT_TRUE(tolvane().running());
}

}  // namespace
}  // namespace e2e
