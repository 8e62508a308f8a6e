// The launcher's part of the main dialog: Start, the status poll's timer,
// the tray callback and the stop.
#include "app/MainDlg.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/BotLauncher.h"
#include "core/BotCommandLine.h"
#include "core/TextFile.h"
#include "tray/TrayIcon.h"

namespace {

constexpr UINT kPollTimerId = 0;
constexpr UINT kPollPeriodMs = 500;
constexpr DWORD kShortPathChars = 500;
// TerminateProcess only starts the end of the bot; how long the stop waits
// for it to be gone before it reads and empties results.txt.
constexpr DWORD kBotEndWaitMs = 2000;

constexpr char kPerlMissing[] = "Failed To Start Perl! Please Download And Install.";
constexpr char kStartErrorCaption[] = "Terminal Error";
// Start's caption while the bot runs with the window on the screen.
constexpr char kStopCaption[] = "Stop the bot";

}  // namespace

void CMainDlg::OnOK() {
  if (running_) {
    // The window is out while the bot runs only when there is no icon to
    // click: the button stops the bot as the icon does.
    StopBot();
    return;
  }

  int& trayCreated = tolvane::TrayCreatedFlag();
  if (trayCreated == 0) {
    if (!tray_.CreateTray(this, kTrayCallbackMessage, tolvane::kTrayTip,
                          trayIconHandle_, IDI_CONNECTING, false, nullptr,
                          nullptr, 0, 10)) {
      ShowMessageBox("ERROR");
    }
    trayCreated = 1;
  }

  running_ = true;
  ShowRunState();

  std::memset(&startupInfo_, 0, sizeof startupInfo_);
  startupInfo_.cb = sizeof startupInfo_;
  GetStartupInfoA(&startupInfo_);
  startupInfo_.dwFlags = STARTF_USESHOWWINDOW;
  startupInfo_.wShowWindow = SW_HIDE;

  StartBotProcess();
  // A click on the icon while a box of the start was open has stopped the
  // bot already: the panel stays as that stop left it.
  if (!running_) return;

  poll_ = {};
  tray_.ChangeIconFromResource(IDI_CONNECTING);
  KeepWindowWithTrayIcon();

  SetTimer(hwnd(), kPollTimerId, kPollPeriodMs, nullptr);
  timerId_ = kPollTimerId;
}

void CMainDlg::StartBotProcess() {
  if (!tolvane::FileExists(scriptPath_)) {
    ShowMessageBox("Tolvane cannot start the bot: its script is missing.\n\n" +
                       scriptPath_ +
                       "\n\nReinstall Tolvane to put the script back." +
                       std::string(tray_.IsShown()
                                       ? " Click the Tolvane icon in the notification "
                                         "area to bring this window back."
                                       : ""),
                   kStartErrorCaption, MB_OK | MB_ICONERROR);
    return;
  }

  char shortPath[kShortPathChars] = {};
  const DWORD length = tolvane::CurrentBotSystem().ShortPathName(
      scriptPath_.c_str(), shortPath, kShortPathChars);
  const bool gotShortPath = length > 0 && length < kShortPathChars;
  std::string commandLine = tolvane::BotCommandLine(
      gotShortPath, gotShortPath ? std::string(shortPath, length) : std::string(),
      scriptPath_);

  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  if (!bot_.Start(writable.data(), &startupInfo_)) {
    ShowMessageBox(kPerlMissing, kStartErrorCaption, MB_OK);
  }
}

void CMainDlg::KeepWindowWithTrayIcon() {
  if (!running_) return;
  if (tray_.IsShown() && !windowInTray_) {
    CTrayIcon::AnimateWindowToTray(hwnd(), false);
    windowInTray_ = true;
  } else if (!tray_.IsShown() && windowInTray_) {
    CTrayIcon::RestoreWindowFromTray(hwnd(), false);
    windowInTray_ = false;
  }
}

void CMainDlg::ShowRunState() {
  // While the bot runs the editors would change its files under it.
  for (int id : {IDC_SETTINGS, IDC_CONTACT_INFO, IDC_TRUSTED_BUDDIES,
                 IDC_DELIVER_MESSAGES, IDC_AWAY_MESSAGES, IDC_SCHEDULE_MESSAGE}) {
    EnableWindow(GetDlgItem(id), running_ ? FALSE : TRUE);
  }
  SetDlgItemTextA(hwnd(), IDOK, running_ ? kStopCaption : startCaption_.c_str());
}

fw::Handling CMainDlg::OnTimer(UINT_PTR) {
  tolvane::PollBotStatus(tray_, resultsPath_, controlPath_, &poll_);
  // The icon may have come (the taskbar was created) or gone since the last
  // tick; the window is hidden only while the icon is there to bring it back.
  KeepWindowWithTrayIcon();
  return fw::NotHandled();  // the tick's default processing follows
}

void CMainDlg::EndBotProcess() {
  // The wait: so that the bot cannot write results.txt after it has been
  // emptied.
  bot_.End(kBotEndWaitMs);
}

void CMainDlg::StopBot() {
  EndBotProcess();
  CTrayIcon::RestoreWindowFromTray(hwnd(), false);
  windowInTray_ = false;
  running_ = false;
  ShowRunState();

  const std::string line = tolvane::ReadFirstLine(resultsPath_);
  ShowMessageBox(line);
  tolvane::EmptyFile(resultsPath_);
  KillTimer(hwnd(), timerId_);
}

void CMainDlg::OnCancel() {
  // Exit while the bot runs (the window is out only when there is no icon):
  // nothing would be left to stop it.
  if (running_) {
    EndBotProcess();
    KillTimer(hwnd(), timerId_);
    running_ = false;
  }
  Dialog::OnCancel();
}

fw::Handling CMainDlg::OnTrayNotification(UINT iconId, UINT mouseMessage) {
  if (running_ && mouseMessage == WM_LBUTTONDOWN) StopBot();
  return fw::Handled(tray_.HandleTrayNotification(iconId, mouseMessage));
}
