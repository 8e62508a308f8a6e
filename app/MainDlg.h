// The main dialog: the control panel. It builds the data-folder paths,
// handles the first run, and carries everything the bot launcher needs.
// Its methods: MainDlg.cpp (start-up and the editors' buttons),
// MainDlgLauncher.cpp (Start, the poll, the tray callback, the stop) and
// MainDlgHelp.cpp (Help! and Saved Messages).
#pragma once

#include <windows.h>

#include <string>

#include "app/BotLauncher.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "tray/TrayIcon.h"

class CMainDlg : public fw::Dialog {
 public:
  explicit CMainDlg(fw::Window* parent = nullptr);
  ~CMainDlg() override;

  const CTrayIcon& tray() const { return tray_; }

  // The message the tray icon sends the dialog on a mouse event.
  static constexpr UINT kTrayCallbackMessage = WM_APP + 10;  // 0x800A

 protected:
  static const fw::MessageMap& Messages();
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }

  BOOL OnInitDialog() override;
  // Start: the dialog's OK operation (the Start button and the Enter key).
  // It never closes the dialog. While the bot runs with the window on the
  // screen (no icon to click), it stops the bot.
  void OnOK() override;
  // Exit, Escape and the close box: ends the bot first when it runs.
  void OnCancel() override;

 private:
  fw::Handling OnSysCommand(UINT command);
  fw::Handling OnPaint();
  HICON OnQueryDragIcon();
  fw::Handling OnTimer(UINT_PTR id);
  fw::Handling OnTrayNotification(UINT iconId, UINT mouseMessage);

  void OnSettings();
  void OnContactInfo();
  void OnTrustedBuddies();
  void OnDeliverMessages();
  void OnAwayMessages();
  void OnSavedMessages();
  void OnScheduleMessage();
  void OnHelp();

  // First run: tells the user, has the Perl side prepared, and leaves an
  // empty settings file so that the next start is no first run.
  void RunFirstTimeSetup(const std::string& settingsPath,
                         const std::string& dataFolder);
  // Reads the auto-connect line (line 8) of the settings file; true when
  // the file is missing (a first run).
  bool ReadAutoConnect(const std::string& settingsPath, bool* firstRun);
  void AddAboutToSystemMenu();

  // Bot launcher: runs the bot script, or says why it cannot.
  void StartBotProcess();
  // Ends the bot process and closes its handles.
  void EndBotProcess();
  // Ends the bot, brings the window back and shows the last status line.
  void StopBot();
  // The buttons as the running flag wants them: the editors only while the
  // bot is stopped, and Start as a stop button while it runs.
  void ShowRunState();
  // While the bot runs, the window is in the tray exactly while the icon is
  // in the notification area, so that a click on the icon can always bring
  // it back.
  void KeepWindowWithTrayIcon();

  CTrayIcon tray_;
  bool running_ = false;
  STARTUPINFOA startupInfo_{};
  tolvane::BotProcess bot_;
  UINT timerId_ = 0;
  // The user's data folder (with its trailing backslash), which the editor
  // dialogs are opened on.
  std::string dataFolder_;
  std::string resultsPath_;
  std::string readmePath_;
  std::string receivedPath_;
  std::string scriptPath_;
  std::string controlPath_;
  std::string savedMessagesFolder_;
  int autoConnect_ = 0;
  HICON appIcon_ = nullptr;
  HICON trayIconHandle_ = nullptr;
  tolvane::PollState poll_;
  // Start's caption as the dialog template gives it.
  std::string startCaption_;
  // The window has been moved into the tray by the launcher.
  bool windowInTray_ = false;
};
