// Starting and stopping the bot, and watching it connect in the notification
// area, as a user does: the Start button or the Enter key, the icon in the
// taskbar, its tooltip and balloon, and a real click on the icon.
//
// The stand-in perl plays the bot (tests/standins/perl.cpp): it records how
// it was started and writes results.txt and control.txt as told.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Screen.h"
#include "tests/e2e/driver/Tray.h"
#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

constexpr char kPerlMissing[] = "Failed To Start Perl! Please Download And Install.";

// A command of the stand-in's script that writes a file of the data folder
// whole. TEXT uses the stand-in's escapes (\\r\\n for a line end).
std::string Write(const std::string& file, const std::string& text) {
  return "write \"" + DataFile(file) + "\" " + text + "; ";
}

// A command that waits for the test's cue: the file cue.txt in the data
// folder (GiveCue).
std::string WaitForCue() { return "waitfor \"" + DataFile("cue.txt") + "\"; "; }
bool GiveCue() { return WriteDataFile("cue.txt", ""); }

// Whether the process with this id ends within the time.
bool ProcessEnds(DWORD pid, DWORD timeoutMs) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return true;  // gone already
  const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

class BotTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    const int size = GetSystemMetrics(SM_CXSMICON);
    connecting_ = LoadIconOfFile(TolvaneExe(), 140, size);
    connected_ = LoadIconOfFile(TolvaneExe(), 128, size);
    ASSERT_NE(connecting_, nullptr);
    ASSERT_NE(connected_, nullptr);
    ASSERT_TRUE(WriteDataFile("Kavri.pl", "# the bot\r\n"));
  }

  // Starts Tolvane with perl on the PATH acting out `behaviour` (or with no
  // perl at all) and waits for the main dialog.
  HWND OpenPanel(const std::string& behaviour = "wait", bool withPerl = true,
                 const std::string& settings = SettingsWithLine8("0")) {
    LaunchOptions options;
    options.standinsOnPath = withPerl;
    options.environment.push_back({"TOLVANE_PERL_BEHAVIOUR", behaviour});
    return StartWithSettings(settings, options);
  }

  // Presses Start with a click, or with the Enter key, and waits until the
  // main dialog has left the screen.
  enum class Press { kClick, kEnter };
  bool PressStart(Press how = Press::kClick) {
    if (how == Press::kClick) {
      if (!Click(ControlOf(main(), IDOK))) return false;
    } else {
      if (!BringToFront(main())) return false;
      PressKey(VK_RETURN);
    }
    if (WaitUntil([&] { return !IsWindowVisible(main()) && MessageBoxesOf(pid()).empty(); }))
      return true;
    ADD_FAILURE() << "the main dialog did not leave the screen after Start; windows:\n"
                  << DescribeWindowsOf(pid());
    return false;
  }

  // The n-th (1-based) run of perl once it has been recorded.
  std::optional<StandinRun> WaitForBot(std::size_t n = 1) {
    std::optional<StandinRun> run;
    if (WaitUntil([&] {
          std::vector<StandinRun> runs = StandinRuns("perl");
          if (runs.size() >= n) run = runs[n - 1];
          return run.has_value();
        })) {
      return run;
    }
    ADD_FAILURE() << "perl run " << n << " was not recorded; " << LogText();
    return std::nullopt;
  }

  // The taskbar shows the one icon and not the other.
  bool ShowsConnecting() const {
    return TaskbarShowsIcon(connecting_) && !TaskbarShowsIcon(connected_);
  }
  bool ShowsConnected() const {
    return TaskbarShowsIcon(connected_) && !TaskbarShowsIcon(connecting_);
  }

  // Where the icon is, found as the user finds it: by its look.
  std::optional<POINT> IconPoint() const {
    const int size = GetSystemMetrics(SM_CXSMICON);
    for (HICON icon : {connecting_, connected_}) {
      if (std::optional<POINT> at = FindIconOnScreen(icon, TaskbarRect(), size)) {
        return POINT{at->x + size / 2, at->y + size / 2};
      }
    }
    return std::nullopt;
  }

  // Points at the icon and waits for its tooltip to read `expected`;
  // returns what it read last.
  std::string TooltipOfIcon(const std::string& expected) {
    std::optional<POINT> icon = IconPoint();
    if (!icon) {
      ADD_FAILURE() << "no Tolvane icon in the taskbar";
      return "";
    }
    std::string last = "(no tooltip)";
    for (int attempt = 0; attempt < 3 && last != expected; ++attempt) {
      // Away and back, so that the tooltip shows afresh.
      XMoveTo(POINT{icon->x - 200, icon->y - 200});
      XMoveTo(*icon);
      WaitUntil(
          [&] {
            for (const TipWindow& tip : VisibleTips()) {
              if (!tip.balloon) last = tip.text;
            }
            return last == expected;
          },
          3000);
    }
    XMoveTo(POINT{icon->x - 200, icon->y - 200});
    return last;
  }

  // The balloon window that shows `text`, once one does within the time.
  HWND BalloonWindow(const std::string& text, DWORD timeoutMs = kTimeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          for (const TipWindow& tip : VisibleTips()) {
            if (tip.balloon && tip.text == text) found = tip.hwnd;
          }
          return found != nullptr;
        },
        timeoutMs);
    return found;
  }
  bool BalloonShows(const std::string& text, DWORD timeoutMs = kTimeoutMs) {
    return BalloonWindow(text, timeoutMs) != nullptr;
  }

  // Clicks the icon for real (an X click where it is drawn) and waits for
  // the message box of the stop.
  std::optional<MessageBoxContent> ClickIconAndWaitForBox() {
    std::optional<POINT> icon = IconPoint();
    if (!icon) {
      ADD_FAILURE() << "no Tolvane icon in the taskbar to click";
      return std::nullopt;
    }
    if (!XClickAt(*icon)) return std::nullopt;
    return WaitForMessageBox(pid(), std::string("Tolvane"));
  }

  // The click that stops the bot: the window is back, the box shows
  // `line`; the box is answered and results.txt is then empty.
  void StopAndExpect(const std::string& line) {
    std::optional<MessageBoxContent> box = ClickIconAndWaitForBox();
    ASSERT_TRUE(box) << "no message box after the click on the icon";
    EXPECT_TRUE(IsWindowVisible(main())) << "the window is not back behind the box";
    EXPECT_EQ(box->text, line);
    ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
    EXPECT_TRUE(WaitUntil([] { return ReadDataFile("results.txt") == std::string(); }))
        << "results.txt holds "
        << ReadDataFile("results.txt").value_or("(no file)").substr(0, 80);
    EXPECT_TRUE(IsWindowVisible(main()));
    EXPECT_TRUE(tolvane().running());
  }

  HICON connecting_ = nullptr;
  HICON connected_ = nullptr;
};

class BotRun : public BotTest {};
class BotStatus : public BotTest {};

// ---- the road of one run ---------------------------------------------------

TEST_F(BotRun, StartRunsTheBotHiddenTheIconShowsItConnectAndAClickStopsIt) {
  const std::string longLine(600, 'x');
  ASSERT_NE(OpenPanel(Write("results.txt", "Signing on\\r\\n") + WaitForCue() +
                      Write("control.txt", "Connected!\\r\\n") +
                      Write("results.txt", longLine + "\\r\\nsecond line\\r\\n") + "wait"),
            nullptr);
  ASSERT_TRUE(PressStart());

  // "perl " + the short path of the script, no quotes, window hidden.
  std::optional<StandinRun> bot = WaitForBot();
  ASSERT_TRUE(bot);
  const std::string script = bot->Value("arg1");
  EXPECT_EQ(bot->Value("cmdline"), "perl " + script);
  EXPECT_EQ(script.find_first_of(" \""), std::string::npos) << script;
  EXPECT_EQ(bot->Value("arg1.exists"), "1");
  EXPECT_EQ(bot->Value("arg1.long"), DataFile("Kavri.pl"));
  EXPECT_EQ(bot->Value("argc"), "1");
  EXPECT_EQ(bot->Value("dwFlags"), std::to_string(STARTF_USESHOWWINDOW));
  EXPECT_EQ(bot->Value("wShowWindow"), std::to_string(SW_HIDE));

  // The window is off the screen; the icon is in the notification area,
  // first as "connecting".
  EXPECT_EQ(FindMainDialog(true), nullptr);
  EXPECT_TRUE(TrayIconExists(main(), kTrayIconId));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnecting(); }, 2000))
      << "the icon does not show 140 while the bot connects";
  EXPECT_EQ(TooltipOfIcon("Connecting"), "Connecting");
  ASSERT_TRUE(GiveCue());

  // The bot says it is connected: icon 128, the "Connected!" balloon, and
  // the status line as tooltip (as much of it as a tooltip holds).
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }))
      << "the icon did not change once control.txt said Connected!";
  EXPECT_TRUE(BalloonShows("Connected!")) << DescribeTips();
  EXPECT_EQ(TooltipOfIcon(std::string(127, 'x')), std::string(127, 'x'));

  // A click on the icon ends the bot and shows 499 characters of the line.
  ASSERT_NO_FATAL_FAILURE(StopAndExpect(std::string(499, 'x')));
  EXPECT_TRUE(ProcessEnds(bot->pid, 5000)) << "the bot still runs after the stop";

  // The icon stays, as it was last.
  EXPECT_TRUE(TrayIconExists(main(), kTrayIconId));
  EXPECT_TRUE(ShowsConnected());
}

TEST_F(BotRun, TheBotEndingByItselfChangesNothingUntilTheClick) {
  ASSERT_NE(OpenPanel(Write("results.txt", "Signed off\\r\\n") + "exit 0"), nullptr);
  ASSERT_TRUE(PressStart());
  std::optional<StandinRun> bot = WaitForBot();
  ASSERT_TRUE(bot);
  EXPECT_TRUE(ProcessEnds(bot->pid, 5000));
  Pause(1500);
  EXPECT_FALSE(IsWindowVisible(main()));
  EXPECT_TRUE(ShowsConnecting());
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Signed off"));
}

TEST_F(BotRun, ABotThatCrashesLeavesTheIconAndAClickStillStopsAndTellsItsLastStatus) {
  ASSERT_NE(OpenPanel(Write("results.txt", "Connected as botuser\\r\\n") +
                      Write("control.txt", "Connected!\\r\\n") + "crash"),
            nullptr);
  ASSERT_TRUE(PressStart());
  std::optional<StandinRun> bot = WaitForBot();
  ASSERT_TRUE(bot);
  EXPECT_TRUE(ProcessEnds(bot->pid, 5000));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  Pause(1000);
  EXPECT_FALSE(IsWindowVisible(main()));
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_TRUE(tolvane().running());
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Connected as botuser"));
}

TEST_F(BotRun, WithoutPerlTheErrorIsShownAndAClickStillBringsTheWindowBack) {
  ASSERT_NE(OpenPanel("wait", false), nullptr);
  ASSERT_TRUE(Click(ControlOf(main(), IDOK)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Terminal Error"));
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, kPerlMissing);
  ASSERT_EQ(box->buttons.size(), 1u);
  EXPECT_EQ(box->buttons[0].text, "OK");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));

  // Start goes on all the same: into the tray, "Connecting" for ever, but
  // one "Connecting" balloon (on newer Windows each is a notice with a
  // sound): it stays as it is while the polls go on.
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main()); }));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnecting(); }, 2000));
  const HWND balloon = BalloonWindow("Connecting");
  ASSERT_NE(balloon, nullptr) << DescribeTips();
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(balloon); }, 3000))
      << "the balloon was shown again; " << DescribeTips();
  EXPECT_EQ(TooltipOfIcon("Connecting"), "Connecting");
  EXPECT_TRUE(StandinRuns("perl").empty());

  // No results.txt: the stop shows an empty box and leaves an empty file.
  ASSERT_NO_FATAL_FAILURE(StopAndExpect(""));
}

TEST_F(BotRun, AMissingScriptIsNamedAndAClickBringsTheWindowBack) {
  ASSERT_TRUE(DeleteFileA(DataFile("Kavri.pl").c_str()));
  ASSERT_NE(OpenPanel(), nullptr);
  ASSERT_TRUE(Click(ControlOf(main(), IDOK)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Terminal Error"));
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(DataFile("Kavri.pl")), std::string::npos) << box->text;
  EXPECT_EQ(box->text.find(kPerlMissing), std::string::npos) << "perl is there";
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main()); }));
  Pause(500);
  EXPECT_TRUE(StandinRuns("perl").empty()) << LogText();
  ASSERT_NO_FATAL_FAILURE(StopAndExpect(""));
}

TEST_F(BotRun, ASecondStartKeepsTheOneIconAndStartsOver) {
  ASSERT_TRUE(WriteDataFile("control.txt", "Connected!\r\n"));
  ASSERT_NE(OpenPanel(Write("results.txt", "Online\\r\\n") + "wait"), nullptr);
  ASSERT_TRUE(PressStart());
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Online"));

  // Start again with the Enter key, the bot not yet connected: the icon
  // goes back to 140. A second add of the icon would be refused, and the
  // program would say "ERROR".
  ASSERT_TRUE(DeleteFileA(DataFile("control.txt").c_str()));
  ASSERT_TRUE(PressStart(Press::kEnter));
  ASSERT_TRUE(WaitForBot(2));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnecting(); }, 2000));
  Pause(1000);
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());
  EXPECT_TRUE(ShowsConnecting());
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Online"));
}

TEST_F(BotRun, AutoConnectStartsTheBotBeforeTheWindowIsEverShown) {
  ASSERT_TRUE(WriteDataFile("settings.txt", SettingsWithLine8("1")));
  LaunchOptions options;
  options.environment.push_back({"TOLVANE_PERL_BEHAVIOUR", Write("results.txt", "Up") + "wait"});
  ASSERT_TRUE(StartTolvane(options));
  int seen = 0;
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    if (FindMainDialog(true) != nullptr) ++seen;
    main = FindMainDialog();
    return main != nullptr && !StandinRuns("perl").empty() &&
           TrayIconExists(main, kTrayIconId) && ShowsConnecting();
  })) << "no bot and no icon after the start; " << LogText() << DescribeWindowsOf(pid());
  EXPECT_EQ(seen, 0) << "the main dialog was on the screen";
  EXPECT_EQ(FindMainDialog(true), nullptr);

  std::optional<MessageBoxContent> box = ClickIconAndWaitForBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "Up");
  EXPECT_TRUE(IsWindowVisible(main));
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  EXPECT_EQ(FindMainDialog(true), main);
}

// ---- what the status files say ---------------------------------------------

TEST_F(BotStatus, ALeftOverConnectedCountsAtTheFirstPoll) {
  ASSERT_TRUE(WriteDataFile("control.txt", "Connected!\r\n"));
  ASSERT_NE(OpenPanel(), nullptr);  // this bot never writes control.txt
  ASSERT_TRUE(PressStart());
  // The first poll is 500 ms after Start.
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }, 1500));
  EXPECT_TRUE(BalloonShows("Connected!")) << DescribeTips();
  ASSERT_NO_FATAL_FAILURE(StopAndExpect(""));
}

class NotQuiteConnected : public BotTest,
                          public testing::WithParamInterface<const char*> {};

TEST_P(NotQuiteConnected, KeepsTheIconConnecting) {
  ASSERT_TRUE(WriteDataFile("control.txt", std::string(GetParam()) + "\r\n"));
  ASSERT_NE(OpenPanel(Write("results.txt", "Signing on\\r\\n") + "wait"), nullptr);
  ASSERT_TRUE(PressStart());
  ASSERT_TRUE(WaitForBot());
  Pause(2000);  // four polls
  EXPECT_TRUE(ShowsConnecting()) << "control.txt: \"" << GetParam() << "\"";
  EXPECT_EQ(TooltipOfIcon("Connecting"), "Connecting");
  EXPECT_FALSE(BalloonShows("Connected!", 500));
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Signing on"));
}

INSTANTIATE_TEST_SUITE_P(BotStatus, NotQuiteConnected,
                         testing::Values("connected!", " Connected!", "Connected! "),
                         [](const testing::TestParamInfo<const char*>& info) {
                           switch (info.index) {
                             case 0: return std::string("SmallC");
                             case 1: return std::string("LeadingBlank");
                             default: return std::string("TrailingBlank");
                           }
                         });

TEST_F(BotStatus, TheIconReturnsWithItsStateWhenTheTaskbarIsCreatedAgain) {
  ASSERT_NE(OpenPanel(Write("results.txt", "Online as botuser\\r\\n") +
                      Write("control.txt", "Connected!\\r\\n") + "wait"),
            nullptr);
  ASSERT_TRUE(PressStart());
  ASSERT_TRUE(WaitUntil([&] { return ShowsConnected(); }));

  // The broadcast while the icon is still there: it keeps being updated.
  BroadcastTaskbarCreated();
  ASSERT_TRUE(WriteDataFile("results.txt", "Still online\r\n"));
  EXPECT_EQ(TooltipOfIcon("Still online"), "Still online");

  // A shell that starts again has lost every icon; the broadcast brings
  // ours back as it was: connected, with the status line.
  ASSERT_TRUE(DeleteTrayIcon(main(), kTrayIconId));
  ASSERT_TRUE(WaitUntil([&] { return !TaskbarShowsIcon(connected_); }));
  EXPECT_FALSE(TrayIconExists(main(), kTrayIconId));
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main(), kTrayIconId); }));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  EXPECT_EQ(TooltipOfIcon("Still online"), "Still online");
  EXPECT_FALSE(IsWindowVisible(main()));
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("Still online"));
}

// A real change of the work area (as when the taskbar is moved or resized):
// the icon stays with its state, and one the shell has lost comes back.
TEST_F(BotStatus, AChangeOfTheWorkAreaKeepsTheIconOrBringsItBack) {
  ASSERT_NE(OpenPanel(Write("results.txt", "Online as botuser\\r\\n") +
                      Write("control.txt", "Connected!\\r\\n") + "wait"),
            nullptr);
  ASSERT_TRUE(PressStart());
  ASSERT_TRUE(WaitUntil([&] { return ShowsConnected(); }));

  // Windows tells every top-level window of a new work area; Wine changes
  // the area without telling, so the notice goes out here as Windows sends
  // it.
  const auto setWorkArea = [](RECT area) {
    const BOOL changed = SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, SPIF_SENDCHANGE);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0,
                        SMTO_ABORTIFHUNG, 5000, &answer);
    return changed != FALSE;
  };
  RECT original{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &original, 0));
  struct Restore {
    RECT area;
    ~Restore() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0); }
  } restore{original};
  RECT smaller = original;
  smaller.bottom -= 40;
  ASSERT_TRUE(setWorkArea(smaller));
  ASSERT_TRUE(WriteDataFile("results.txt", "After the change\r\n"));
  EXPECT_TRUE(TrayIconExists(main(), kTrayIconId));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  EXPECT_EQ(TooltipOfIcon("After the change"), "After the change");
  EXPECT_FALSE(IsWindowVisible(main()));

  // The shell has lost the icon; the next change of the work area adds it
  // again as it was.
  ASSERT_TRUE(DeleteTrayIcon(main(), kTrayIconId));
  ASSERT_TRUE(WaitUntil([&] { return !TaskbarShowsIcon(connected_); }));
  ASSERT_TRUE(setWorkArea(original));
  EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main(), kTrayIconId); }));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  EXPECT_EQ(TooltipOfIcon("After the change"), "After the change");
  EXPECT_FALSE(IsWindowVisible(main()));
  ASSERT_NO_FATAL_FAILURE(StopAndExpect("After the change"));
}

// A notification area that is not there yet, as at a start with Windows
// before the shell has made its taskbar: a window of the taskbar's class,
// found before the real one, that refuses every icon. It runs in a thread
// of its own, so that it answers the shell calls of Tolvane at once.
class AbsentNotificationArea {
 public:
  AbsentNotificationArea() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &AbsentNotificationArea::Run, this, 0, nullptr);
    WaitForSingleObject(ready_, 10000);
  }
  ~AbsentNotificationArea() { Remove(); }

  // Gone: the real notification area is found again.
  void Remove() {
    if (thread_ == nullptr) return;
    PostMessageA(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(ready_);
    thread_ = nullptr;
  }
  bool there() const { return window_ != nullptr && Taskbar() == window_; }
  // The icons that programs asked it to take.
  LONG refused() const { return refused_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<AbsentNotificationArea*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self != nullptr) {
      InterlockedIncrement(&self->refused_);
      return FALSE;
    }
    if (message == WM_CLOSE) {
      DestroyWindow(window);
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<AbsentNotificationArea*>(parameter);
    WNDCLASSA type{};
    type.lpfnWndProc = &Procedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&type);
    self->window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "Shell_TrayWnd", "",
                                    WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, type.hInstance,
                                    nullptr);
    SetWindowLongPtrA(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetEvent(self->ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnregisterClassA("Shell_TrayWnd", type.hInstance);
    return 0;
  }

  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  HWND window_ = nullptr;
  volatile LONG refused_ = 0;
};

// Started with Windows and connecting at once, before the notification area
// exists: the window stays on the screen with the bot running, so that the
// user has a way to it; once the shell has made its taskbar, the icon comes
// with the bot's state and the window goes into it. When that shell ends for
// good, the window comes back, and its Start button stops the bot.
TEST_F(BotStatus, AStartBeforeTheNotificationAreaExistsShowsTheIconOnceItComes) {
  AbsentNotificationArea absent;
  ASSERT_TRUE(absent.there()) << "the stand-in taskbar is not the one found";
  ASSERT_TRUE(WriteDataFile("settings.txt", SettingsWithLine8("1")));
  LaunchOptions options;
  options.environment.push_back(
      {"TOLVANE_PERL_BEHAVIOUR", Write("results.txt", "Online as botuser\\r\\n") +
                                     Write("control.txt", "Connected!\\r\\n") + "wait"});
  ASSERT_TRUE(StartTolvane(options));

  // The refused icon is reported, as at any Start.
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box) << DescribeWindowsOf(pid());
  EXPECT_EQ(box->text, "ERROR");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  ASSERT_NE(TakeMainDialog(), nullptr);
  EXPECT_GE(absent.refused(), 1);
  ASSERT_TRUE(WaitUntil([&] { return !StandinRuns("perl").empty(); })) << LogText();
  // Polls go on (three of them); the window stays on the screen throughout.
  int hiddenSeen = 0;
  for (int sample = 0; sample < 60; ++sample, Sleep(25)) {
    if (!IsWindowVisible(main())) ++hiddenSeen;
  }
  EXPECT_EQ(hiddenSeen, 0) << "the window left the screen with no icon to bring it back";
  EXPECT_TRUE(MessageBoxesOf(pid()).empty());

  // The shell makes its taskbar and tells every program.
  absent.Remove();
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main(), kTrayIconId); }));
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main()); }))
      << "the window did not go into the notification area";
  EXPECT_EQ(TooltipOfIcon("Online as botuser"), "Online as botuser");

  // The shell ends with its icons, and none takes its place; the next
  // change of the tooltip finds the icon gone.
  ASSERT_TRUE(DeleteTrayIcon(main(), kTrayIconId));
  AbsentNotificationArea gone;
  ASSERT_TRUE(gone.there());
  ASSERT_TRUE(WriteDataFile("results.txt", "Still online\r\n"));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main()) != FALSE; }))
      << "the window stays hidden with no icon to bring it back";
  ASSERT_TRUE(Click(ControlOf(main(), IDOK)));
  box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box) << "Start did not stop the bot; " << DescribeWindowsOf(pid());
  EXPECT_EQ(box->text, "Still online");
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  std::optional<StandinRun> bot = WaitForBot();
  ASSERT_TRUE(bot);
  EXPECT_TRUE(ProcessEnds(bot->pid, 5000)) << "the bot still runs after the stop";
  EXPECT_EQ(StandinRuns("perl").size(), 1u);
}


// The real bot (Kavri.pl and its modules from the source tree) run by the
// Linux perl, on a scripted conversation instead of the network.
class RealBot : public BotTest {
 protected:
  static void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        CopyTree(from + "\\" + name, to + "\\" + name);
      } else {
        CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
};

TEST_F(RealBot, AnswersABuddyAndShowsItsStatusFromStartToStop) {
  const std::string bot = WindowsPathOf(TOLVANE_SOURCE_DIR "/bot");
  ASSERT_TRUE(CopyFileA((bot + "\\Kavri.pl").c_str(), DataFile("Kavri.pl").c_str(), FALSE));
  CopyTree(bot + "\\lib", DataFile("lib"));
  ASSERT_TRUE(WriteDataFile("Kavri.ini", "script = Kavri.script\r\n"));
  // What the editors write: a custom away message for bob, and a message
  // left for him to be delivered.
  ASSERT_TRUE(WriteDataFile("buddya.txt", "bob|\r\n"));
  ASSERT_TRUE(WriteDataFile("boba.txt", "At the dentist until three, bob."));
  ASSERT_TRUE(WriteDataFile("buddym.txt", "bob|\r\n"));
  ASSERT_TRUE(WriteDataFile("bob.txt", "Your book is on my desk."));
  // The bot ends by itself, so that no Linux process outlives the test.
  ASSERT_TRUE(WriteDataFile("Kavri.script",
                            "sleep 2\nim bob hi <b>there</b>\nsleep 3\nquit\n"));

  LaunchOptions options;
  options.standinsOnPath = false;
  std::string realPerl = StandinsFolder().substr(0, StandinsFolder().find_last_of('\\')) +
                         "\\real-perl";
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  options.environment.push_back({"PATH", realPerl + ";" + system});
  ASSERT_NE(StartWithSettings(SettingsWithLine8("0"), options), nullptr);
  ASSERT_TRUE(PressStart());

  EXPECT_TRUE(WaitUntil([] { return ReadDataFile("control.txt") == std::string("Connected!\r\n"); },
                        60000))
      << "control.txt: " << ReadDataFile("control.txt").value_or("(none)");
  EXPECT_TRUE(WaitUntil([&] { return ShowsConnected(); }, 20000)) << "the icon shows connected";
  EXPECT_TRUE(WaitUntil(
      [] {
        std::string log = ReadDataFile("Kavri.script.log").value_or("");
        return log.find("< bob: hi <b>there</b>") != std::string::npos &&
               log.find("> bob: Alex left this message for you:\\nYour book is on my desk.") !=
                   std::string::npos &&
               log.find("> bob: Hello, you've reached Kavri") != std::string::npos &&
               log.find("> bob: At the dentist until three, bob.") != std::string::npos;
      },
      30000))
      << "the conversation: " << ReadDataFile("Kavri.script.log").value_or("(no log)");
  const std::string signedOff = "Signed off as botuser, 1 message received";
  EXPECT_TRUE(WaitUntil(
      [&] {
        return ReadDataFile("results.txt").value_or("").rfind(signedOff, 0) == 0;
      },
      30000))
      << "results.txt: " << ReadDataFile("results.txt").value_or("(none)");
  EXPECT_NE(ReadDataFile("control.txt"), std::string("Connected!\r\n"));
  ASSERT_NO_FATAL_FAILURE(StopAndExpect(signedOff));

  // Saved Messages: the bot's summary, then the pages of its runs.
  ASSERT_TRUE(Click(ControlOf(main(), IDC_SAVED_MESSAGES)));
  std::optional<MessageBoxContent> box = WaitForMessageBox(pid(), std::string("Tolvane"));
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.rfind("1 message from 1 buddy since ", 0), 0u) << box->text;
  ASSERT_NO_FATAL_FAILURE(AnswerOk(*box));
  HWND open = WaitForWindowOf(pid(), {kDialogClass, "Open"});
  ASSERT_NE(open, nullptr);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntilGone(open));

  // The page of this run, with bob's words escaped.
  const std::string saved = "C:\\Documents and Settings\\" + UserName() + "\\Tolvane";
  WIN32_FIND_DATAA page;
  HANDLE find = FindFirstFileA((saved + "\\*.html").c_str(), &page);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << "no page in " << saved;
  FindClose(find);
  std::optional<std::string> html = ReadFileBytes(saved + "\\" + page.cFileName);
  ASSERT_TRUE(html);
  EXPECT_NE(html->find("hi &lt;b&gt;there&lt;/b&gt;"), std::string::npos) << *html;
  EXPECT_EQ(html->find("<b>there"), std::string::npos);
}

}  // namespace
}  // namespace e2e
