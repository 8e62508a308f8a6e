// Start, the status poll and the stop of the main dialog, against a
// recorded shell and recorded process calls: the icon is created once, the
// bot is run hidden with the script's short path, the shell hears only of
// changes and of one "Connecting" balloon per run, the window is in the tray
// only while the icon is (and then stops the bot itself), and a stop ends
// the bot, shows and empties the status line and closes every handle.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "app/BotLauncher.h"
#include "app/MainDlg.h"
#include "framework/Application.h"
#include "resources/resource.h"
#include "tests/win/LauncherDataFolder.h"
#include "tests/win/MessageBoxCatcher.h"
#include "tests/win/TrayRecorder.h"

namespace {

using tolvane::testing::BotRecorder;
using tolvane::testing::CaughtBox;
using tolvane::testing::File;
using tolvane::testing::MessageBoxCatcher;
using tolvane::testing::NotifyCall;
using tolvane::testing::PrepareLauncherDataFolder;
using tolvane::testing::ReadBytes;
using tolvane::testing::TrayRecorder;
using tolvane::testing::WriteBytes;

constexpr UINT kCallback = CMainDlg::kTrayCallbackMessage;
constexpr char kPerlMissing[] = "Failed To Start Perl! Please Download And Install.";

class TestApplication : public fw::Application {
 public:
  bool InitInstance() override { return false; }
};

class BotLauncher : public ::testing::Test {
 protected:
  void SetUp() override { PrepareLauncherDataFolder(); }
  void TearDown() override {
    if (dialog_) {
      app_.SetMainWindow(nullptr);
      dialog_.reset();
    }
  }

  HWND Open() {
    dialog_ = std::make_unique<CMainDlg>();
    if (!dialog_->Create(nullptr)) return nullptr;
    ShowWindow(dialog_->hwnd(), SW_SHOW);
    app_.SetMainWindow(dialog_.get());
    return dialog_->hwnd();
  }
  HWND main() const { return dialog_->hwnd(); }
  const CTrayIcon& tray() const { return dialog_->tray(); }

  void Start() { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
  void Poll() { SendMessageA(main(), WM_TIMER, 0, 0); }
  LRESULT Mouse(UINT message) { return SendMessageA(main(), kCallback, IDI_CONNECTING, message); }

  bool InTray() const {
    return !IsWindowVisible(main()) &&
           GetAncestor(main(), GA_PARENT) == CTrayIcon::HiddenParentWindow();
  }
  bool OutOfTray() const {
    return IsWindowVisible(main()) && GetAncestor(main(), GA_PARENT) == GetDesktopWindow();
  }
  std::string StartCaption() const {
    char caption[64] = {};
    GetDlgItemTextA(main(), IDOK, caption, sizeof caption);
    return caption;
  }
  // The editors can be opened: all of them or none.
  bool EditorsEnabled() const {
    int enabled = 0;
    constexpr int kEditors[] = {IDC_SETTINGS, IDC_CONTACT_INFO, IDC_TRUSTED_BUDDIES,
                                IDC_DELIVER_MESSAGES, IDC_AWAY_MESSAGES,
                                IDC_SCHEDULE_MESSAGE};
    for (int id : kEditors) enabled += IsWindowEnabled(GetDlgItem(main(), id)) ? 1 : 0;
    EXPECT_TRUE(enabled == 0 || enabled == static_cast<int>(std::size(kEditors)));
    return enabled != 0;
  }

  // The calls since `from`: the tips, balloons and icons sent.
  std::vector<std::string> Sent(std::size_t from) const {
    std::vector<std::string> sent;
    for (std::size_t i = from; i < shell.calls.size(); ++i) {
      const NotifyCall& call = shell.calls[i];
      if (call.command != NIM_MODIFY) {
        sent.push_back(call.command == NIM_ADD ? "add" : "delete");
      } else if (call.data.uFlags == NIF_TIP) {
        sent.push_back("tip " + call.tip());
      } else if (call.data.uFlags == NIF_INFO) {
        sent.push_back("balloon " + call.info());
      } else if (call.data.uFlags == NIF_ICON) {
        sent.push_back("icon " + std::to_string(shell.IdOf(call.data)));
      }
    }
    return sent;
  }

  // Lets the real poll timer run until `done` holds, for at most `ms`;
  // returns done().
  static bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    MSG message;
    while (!done() && GetTickCount64() < end) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return done();
  }
  static void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
  }

  TrayRecorder shell;
  BotRecorder bots;
  MessageBoxCatcher boxes;
  TestApplication app_;
  std::unique_ptr<CMainDlg> dialog_;
};

TEST_F(BotLauncher, StartCreatesTheIconRunsTheScriptHiddenAndGoesToTheTray) {
  ASSERT_NE(Open(), nullptr);
  Start();
  ASSERT_GE(shell.calls.size(), 2u);
  const NotifyCall& add = shell.calls[0];
  EXPECT_EQ(add.command, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.data.hWnd, main());
  EXPECT_EQ(add.data.uID, static_cast<UINT>(IDI_CONNECTING));
  EXPECT_EQ(add.data.uCallbackMessage, kCallback);
  EXPECT_EQ(add.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.tip(), "Click here");
  EXPECT_NE(add.data.hIcon, nullptr);
  EXPECT_EQ(Sent(1), std::vector<std::string>{"icon 140"});

  ASSERT_EQ(bots.creations.size(), 1u);
  const BotRecorder::Creation& bot = bots.creations[0];
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(File("Kavri.pl").c_str(), shortPath, MAX_PATH), 0u);
  EXPECT_EQ(bot.commandLine, std::string("perl ") + shortPath);
  EXPECT_EQ(bot.commandLine.find('"'), std::string::npos);
  EXPECT_TRUE(bot.noApplicationName);
  EXPECT_TRUE(bot.noSecurityAttributes);
  EXPECT_EQ(bot.inheritHandles, FALSE);
  EXPECT_EQ(bot.creationFlags, 0u);
  EXPECT_TRUE(bot.ownEnvironment);
  EXPECT_TRUE(bot.ownDirectory);
  EXPECT_EQ(bot.startup.cb, static_cast<DWORD>(sizeof(STARTUPINFOA)));
  EXPECT_EQ(bot.startup.dwFlags, static_cast<DWORD>(STARTF_USESHOWWINDOW));
  EXPECT_EQ(bot.startup.wShowWindow, SW_HIDE);

  EXPECT_TRUE(InTray());
  EXPECT_TRUE(boxes.boxes().empty());

  // The poll timer runs by itself.
  const std::size_t before = shell.calls.size();
  EXPECT_TRUE(PumpUntil([&] { return Sent(before).size() >= 2; }, 5000)) << "no poll";
}

TEST_F(BotLauncher, PollsSayConnectingUntilControlSaysExactlyConnected) {
  ASSERT_NE(Open(), nullptr);
  Start();
  WriteBytes("results.txt", "Signing on\r\nsecond line\r\n");
  std::size_t from = shell.calls.size();
  Poll();  // no control.txt
  EXPECT_EQ(Sent(from), (std::vector<std::string>{"tip Connecting", "balloon Connecting"}));
  // Still connecting: the shell has the tooltip, and the balloon came once.
  for (const char* almost : {"connected!\r\n", " Connected!\r\n", "Connected! \r\n",
                             "Connected!x\r\n", "", "\r\nConnected!\r\n"}) {
    WriteBytes("control.txt", almost);
    from = shell.calls.size();
    Poll();
    EXPECT_EQ(Sent(from), std::vector<std::string>{}) << "control.txt: \"" << almost << "\"";
  }

  WriteBytes("control.txt", "Connected!\r\nsince 10:00\r\n");
  from = shell.calls.size();
  Poll();
  EXPECT_EQ(Sent(from), (std::vector<std::string>{"tip Signing on", "balloon Connected!",
                                                  "icon 128"}));
  // Connected: only the status line from now on, whatever control.txt says.
  WriteBytes("results.txt", "Online");
  WriteBytes("control.txt", "Disconnected\r\n");
  from = shell.calls.size();
  Poll();
  Poll();
  EXPECT_EQ(Sent(from), std::vector<std::string>{"tip Online"});
}

TEST_F(BotLauncher, ALeftOverConnectedCountsAtTheFirstPoll) {
  WriteBytes("control.txt", "Connected!");
  ASSERT_NE(Open(), nullptr);
  Start();
  const std::size_t from = shell.calls.size();
  Poll();
  EXPECT_EQ(Sent(from), (std::vector<std::string>{"tip ", "balloon Connected!", "icon 128"}));
}

TEST_F(BotLauncher, ALeftClickStopsTheBotShowsTheFirstLineAndEmptiesTheResults) {
  ASSERT_NE(Open(), nullptr);
  Start();
  ASSERT_EQ(bots.creations.size(), 1u);
  const HANDLE process = bots.creations[0].process;
  const HANDLE thread = bots.creations[0].thread;
  WriteBytes("results.txt", std::string(600, 'r') + "\r\nsecond line\r\n");

  // Other clicks on the icon do not stop it.
  Mouse(WM_RBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  Mouse(WM_LBUTTONUP);
  EXPECT_TRUE(bots.terminations.empty());
  EXPECT_TRUE(InTray());

  EXPECT_EQ(Mouse(WM_LBUTTONDOWN), 1);  // the tray's own answer to the click
  ASSERT_EQ(bots.terminations.size(), 1u);
  EXPECT_EQ(bots.terminations[0], std::make_pair(process, 0u));
  EXPECT_TRUE(bots.LastBotEnded(0)) << "the stop waits for the bot to be gone";
  EXPECT_NE(std::find(bots.closed.begin(), bots.closed.end(), process), bots.closed.end());
  EXPECT_NE(std::find(bots.closed.begin(), bots.closed.end(), thread), bots.closed.end());

  ASSERT_EQ(boxes.boxes().size(), 1u);
  const CaughtBox& box = boxes.boxes()[0];
  EXPECT_EQ(box.text, std::string(499, 'r'));
  EXPECT_EQ(box.caption, fw::Application::Name());
  EXPECT_EQ(box.owner, main());
  EXPECT_EQ(ReadBytes("results.txt"), "");
  EXPECT_TRUE(OutOfTray());

  // Polling has stopped, and a click while idle stops nothing.
  const std::size_t from = shell.calls.size();
  PumpFor(1200);
  EXPECT_EQ(shell.calls.size(), from) << "a poll ran after the stop";
  Mouse(WM_LBUTTONDOWN);
  EXPECT_EQ(bots.terminations.size(), 1u);
  EXPECT_EQ(boxes.boxes().size(), 1u);

  // The hidden parent goes with the main dialog, not with the static data
  // after the framework's window map.
  ASSERT_NE(CTrayIcon::HiddenParentWindow(), nullptr);
  const HWND hiddenParent = CTrayIcon::HiddenParentWindow();
  app_.SetMainWindow(nullptr);
  dialog_.reset();
  EXPECT_EQ(CTrayIcon::HiddenParentWindow(), nullptr);
  EXPECT_FALSE(IsWindow(hiddenParent));
}

TEST_F(BotLauncher, WithoutPerlTheErrorIsShownAndTheWindowStillComesBack) {
  bots.createSucceeds = false;
  ASSERT_NE(Open(), nullptr);
  Start();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, kPerlMissing);
  EXPECT_EQ(boxes.boxes()[0].caption, "Terminal Error");
  EXPECT_TRUE(InTray());
  std::size_t from = shell.calls.size();
  Poll();
  EXPECT_EQ(Sent(from), (std::vector<std::string>{"tip Connecting", "balloon Connecting"}));

  Mouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(bots.terminations.empty());
  EXPECT_TRUE(bots.closed.empty());
  EXPECT_TRUE(OutOfTray());
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[1].text, "");
  EXPECT_EQ(ReadBytes("results.txt"), "") << "the stop leaves an empty results.txt";
}

TEST_F(BotLauncher, AMissingScriptIsNamedAndTheStartFails) {
  DeleteFileA(File("Kavri.pl").c_str());
  ASSERT_NE(Open(), nullptr);
  Start();
  EXPECT_TRUE(bots.creations.empty());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Terminal Error");
  EXPECT_NE(boxes.boxes()[0].text.find(File("Kavri.pl")), std::string::npos)
      << boxes.boxes()[0].text;
  EXPECT_TRUE(InTray());
  Mouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(bots.terminations.empty());
  EXPECT_TRUE(OutOfTray());
}

TEST_F(BotLauncher, ASecondStartKeepsTheIconAndStartsOver) {
  WriteBytes("control.txt", "Connected!\r\n");
  ASSERT_NE(Open(), nullptr);
  Start();
  Poll();
  Mouse(WM_LBUTTONDOWN);
  DeleteFileA(File("control.txt").c_str());

  std::size_t from = shell.calls.size();
  Start();
  EXPECT_EQ(shell.Count(NIM_ADD), 1u);
  EXPECT_EQ(Sent(from), std::vector<std::string>{"icon 140"});
  EXPECT_EQ(bots.creations.size(), 2u);
  EXPECT_TRUE(InTray());
  from = shell.calls.size();
  Poll();
  Poll();
  EXPECT_EQ(Sent(from), (std::vector<std::string>{"tip Connecting", "balloon Connecting"}))
      << "one \"Connecting\" balloon for each run";
  for (const CaughtBox& box : boxes.boxes()) EXPECT_NE(box.text, "ERROR");
}

// The boxes of a failed start tell the user to click the icon; a click while
// one is open stops, and the start ends there.
TEST_F(BotLauncher, AClickWhileABoxOfStartIsOpenStopsAndStartEndsThere) {
  ASSERT_NE(Open(), nullptr);
  const std::string startCaption = StartCaption();
  boxes.set_while_open([&](const CaughtBox& box) {
    if (box.caption == "Terminal Error") {
      PostMessageA(main(), kCallback, IDI_CONNECTING, WM_LBUTTONDOWN);
    }
  });
  const std::pair<const char*, std::function<void()>> failures[] = {
      {"no perl", [&] { bots.createSucceeds = false; }},
      {"no script", [&] {
         bots.createSucceeds = true;
         DeleteFileA(File("Kavri.pl").c_str());
       }}};
  for (const auto& [failure, arrange] : failures) {
    arrange();
    WriteBytes("results.txt", "Last status\r\n");
    const std::size_t from = shell.calls.size();
    const std::size_t boxesBefore = boxes.boxes().size();
    Start();
    ASSERT_EQ(boxes.boxes().size(), boxesBefore + 2) << failure;
    EXPECT_EQ(boxes.boxes().back().text, "Last status") << failure;
    EXPECT_EQ(ReadBytes("results.txt"), "") << failure;
    // Idle, on the screen, with no poll to come and the icon as it was.
    EXPECT_FALSE(KillTimer(main(), 0)) << failure << ": the poll timer runs";
    EXPECT_TRUE(OutOfTray()) << failure;
    EXPECT_EQ(StartCaption(), startCaption) << failure;
    EXPECT_TRUE(EditorsEnabled()) << failure;
    for (const std::string& sent : Sent(from)) EXPECT_EQ(sent.find("icon"), std::string::npos) << failure;
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(boxes.boxes().size(), boxesBefore + 2) << failure << ": a second stop";
  }
}

TEST_F(BotLauncher, WithoutAnIconTheWindowStaysOutUntilTheTaskbarComes) {
  shell.answers = {FALSE};  // no taskbar yet
  ASSERT_NE(Open(), nullptr);
  const std::string startCaption = StartCaption();
  Start();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "ERROR");
  EXPECT_EQ(boxes.boxes()[0].caption, fw::Application::Name());
  EXPECT_EQ(bots.creations.size(), 1u);
  EXPECT_TRUE(OutOfTray()) << "hidden with no icon to bring it back";
  Poll();
  EXPECT_TRUE(OutOfTray());

  // The bot runs: its files are not to be edited, and Start says that it
  // stops the bot.
  EXPECT_FALSE(EditorsEnabled());
  EXPECT_NE(StartCaption(), startCaption);

  // The taskbar appears: the icon is added with what it shows now, and the
  // next tick takes the window into the tray and shows the balloon.
  SendMessageA(tray().hwnd(), CTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(shell.Count(NIM_ADD), 2u);
  EXPECT_EQ(shell.calls.back().tip(), "Connecting");
  EXPECT_EQ(shell.IdOf(shell.calls.back().data), static_cast<UINT>(IDI_CONNECTING));
  const std::size_t from = shell.calls.size();
  Poll();
  EXPECT_TRUE(InTray());
  EXPECT_EQ(Sent(from), std::vector<std::string>{"balloon Connecting"});

  // The shell ends, its icons with it, and never comes back while nothing
  // changes: it refuses what the icon is sent and the icon itself, and a
  // later tick brings the window back.
  WriteBytes("control.txt", "Connected!");
  WriteBytes("results.txt", "Online");
  Poll();
  ASSERT_TRUE(InTray());
  shell.defaultAnswer = FALSE;
  for (int tick = 0; tick < 200 && !OutOfTray(); ++tick) Poll();
  EXPECT_FALSE(tray().IsShown());
  EXPECT_TRUE(OutOfTray());
  EXPECT_FALSE(EditorsEnabled());

  // Start stops the bot as the icon would.
  Start();
  EXPECT_EQ(bots.creations.size(), 1u);
  EXPECT_EQ(bots.terminations.size(), 1u);
  EXPECT_EQ(boxes.boxes().back().text, "Online");
  EXPECT_FALSE(KillTimer(main(), 0)) << "the poll timer runs";
  EXPECT_EQ(StartCaption(), startCaption);
  EXPECT_TRUE(EditorsEnabled());

  // Exit while a bot runs ends the bot first.
  Start();
  ASSERT_EQ(bots.creations.size(), 2u);
  EXPECT_TRUE(OutOfTray());
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(bots.terminations.size(), 2u);
  EXPECT_TRUE(bots.LastBotEnded(0));
}

TEST_F(BotLauncher, RepeatedStartsAndStopsCloseEveryHandle) {
  ASSERT_NE(Open(), nullptr);
  constexpr int kCycles = 20;
  for (int i = 0; i < kCycles; ++i) {
    Start();
    WriteBytes("control.txt", i % 2 == 0 ? "Connected!" : "");
    Poll();
    const std::size_t closedBefore = bots.closed.size();
    Mouse(WM_LBUTTONDOWN);
    // Handle values come round again once closed: each stop closes the two
    // handles of its own bot, no more.
    ASSERT_EQ(bots.creations.size(), static_cast<std::size_t>(i + 1));
    ASSERT_EQ(bots.closed.size(), closedBefore + 2) << "cycle " << i;
    const BotRecorder::Creation& bot = bots.creations.back();
    EXPECT_EQ(bots.closed[closedBefore], bot.process) << "cycle " << i;
    EXPECT_EQ(bots.closed[closedBefore + 1], bot.thread) << "cycle " << i;
  }
  EXPECT_LE(shell.liveIcons.size(), 1u) << "icons loaded and never destroyed";
  EXPECT_EQ(shell.Count(NIM_ADD), 1u);
}

}  // namespace
