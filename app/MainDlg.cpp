#include "app/MainDlg.h"

#include <shellapi.h>

#include "app/AboutDlg.h"
#include "app/SingleInstance.h"
#include "app/UserName.h"
#include "core/DataFolder.h"
#include "core/TextFile.h"
#include "framework/Application.h"
#include "framework/UniqueHandle.h"
#include "messages/AwayMessagesDlg.h"
#include "messages/DeliverMessagesDlg.h"
#include "messages/ScheduleMessageDlg.h"
#include "settings/ContactInfoDlg.h"
#include "settings/SettingsDlg.h"
#include "settings/TrustedBuddiesDlg.h"

namespace {

constexpr char kFirstRunNotice[] =
    "Tolvane has detected that this is the fist time Tolvane has been run. "
    "Tolvane will quickly configure perl libraries.";

constexpr char kPpmMissing[] =
    "Tolvane could not run ppm, the package manager of Perl, to install the "
    "Perl package Net-OSCAR that the bot needs.\n\n"
    "Install Perl, then install Net-OSCAR in a command prompt. With a Perl "
    "of today:\n\n"
    "cpanm Net::OSCAR\n"
    "(or, without cpanm: cpan Net::OSCAR)\n\n"
    "With an older Perl that has ppm:\n\n"
    "ppm install Net-OSCAR";

}  // namespace

CMainDlg::CMainDlg(fw::Window* parent) : Dialog(IDD_TOLVANE_DIALOG, parent) {
  HINSTANCE resources = fw::Application::ResourceInstance();
  appIcon_ = LoadIconA(resources, MAKEINTRESOURCEA(IDR_MAINFRAME));
  trayIconHandle_ = LoadIconA(resources, MAKEINTRESOURCEA(IDI_CONNECTING));
  running_ = false;
}

CMainDlg::~CMainDlg() {
  // The hidden parent window served this dialog's moves into the tray; it
  // goes while the framework that it uses is still there.
  CTrayIcon::DestroyHiddenParent();
}

const fw::MessageMap& CMainDlg::Messages() {
  static const fw::MessageMap map(
      &fw::Dialog::Messages(),
      {
          fw::OnSysCommand(&CMainDlg::OnSysCommand),
          fw::OnPaint(&CMainDlg::OnPaint),
          fw::OnQueryDragIcon(&CMainDlg::OnQueryDragIcon),
          fw::OnTimer(&CMainDlg::OnTimer),
          fw::OnTrayNotification(kTrayCallbackMessage, &CMainDlg::OnTrayNotification),
          fw::OnCommand(IDC_SETTINGS, &CMainDlg::OnSettings),
          fw::OnCommand(IDC_CONTACT_INFO, &CMainDlg::OnContactInfo),
          fw::OnCommand(IDC_TRUSTED_BUDDIES, &CMainDlg::OnTrustedBuddies),
          fw::OnCommand(IDC_DELIVER_MESSAGES, &CMainDlg::OnDeliverMessages),
          fw::OnCommand(IDC_AWAY_MESSAGES, &CMainDlg::OnAwayMessages),
          fw::OnCommand(IDC_SAVED_MESSAGES, &CMainDlg::OnSavedMessages),
          fw::OnCommand(IDC_SCHEDULE_MESSAGE, &CMainDlg::OnScheduleMessage),
          fw::OnCommand(IDC_HELP_BUTTON, &CMainDlg::OnHelp),
      });
  return map;
}

BOOL CMainDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  poll_ = {};
  char caption[64] = {};
  GetDlgItemTextA(hwnd(), IDOK, caption, sizeof caption);
  startCaption_ = caption;

  const std::string user = tolvane::CurrentUserName();
  dataFolder_ = tolvane::DataFolder(user);
  const std::string settingsPath =
      tolvane::DataFile(user, tolvane::files::kSettings);
  resultsPath_ = settingsPath;

  bool firstRun = false;
  autoConnect_ = ReadAutoConnect(settingsPath, &firstRun) ? 1 : 0;
  if (firstRun) {
    RunFirstTimeSetup(settingsPath, dataFolder_);
    autoConnect_ = 0;
  }

  readmePath_ = tolvane::DataFile(user, tolvane::files::kReadme);
  receivedPath_ = tolvane::DataFile(user, tolvane::files::kReceived);
  scriptPath_ = tolvane::DataFile(user, tolvane::files::kScript);
  resultsPath_ = tolvane::DataFile(user, tolvane::files::kResults);
  controlPath_ = tolvane::DataFile(user, tolvane::files::kControl);
  savedMessagesFolder_ = tolvane::SavedMessagesFolder(user);

  AddAboutToSystemMenu();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));

  if (autoConnect_ == 1) OnOK();
  return TRUE;
}

bool CMainDlg::ReadAutoConnect(const std::string& settingsPath, bool* firstRun) {
  tolvane::TextLines settings = tolvane::ReadTextLines(settingsPath);
  *firstRun = settings.status == tolvane::ReadStatus::kMissing;
  if (settings.status == tolvane::ReadStatus::kFailed) {
    // The file is there but cannot be read: this is no first run, and the
    // settings must not be replaced by an empty file.
    ShowMessageBox("Tolvane could not read its settings file\n\n" + settingsPath +
                       "\n\n" + settings.error +
                       "\n\nTolvane will not connect automatically this time.",
                   nullptr, MB_OK | MB_ICONWARNING);
    return false;
  }
  return tolvane::IsFlagOn(tolvane::LineOrEmpty(settings.lines, 7));
}

void CMainDlg::RunFirstTimeSetup(const std::string& settingsPath,
                                 const std::string& dataFolder) {
  SingleInstance::MarkFirstRunSetup(hwnd(), true);
  ShowMessageBox(kFirstRunNotice, "Notice", MB_OK);

  SHELLEXECUTEINFOA ppm{};
  ppm.cbSize = sizeof ppm;
  // The shell's own error box would only say "File not found."; the box
  // below says what is missing.
  ppm.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  ppm.lpVerb = "open";
  ppm.lpFile = "ppm";
  ppm.lpParameters = "install Net-OSCAR";
  ppm.nShow = SW_SHOWNORMAL;
  const bool ppmStarted = ShellExecuteExA(&ppm) != FALSE;
  if (ppmStarted) {
    const fw::KernelHandle ppmProcess(ppm.hProcess);
    if (ppmProcess) WaitForSingleObject(ppmProcess.get(), INFINITE);
  }
  SingleInstance::MarkFirstRunSetup(hwnd(), false);
  if (!ppmStarted) {
    ShowMessageBox(kPpmMissing, nullptr, MB_OK | MB_ICONWARNING);
  }

  tolvane::WriteResult created = tolvane::CreateEmptyIfMissing(settingsPath);
  if (!created.ok) {
    // Without the settings file every start is a first run again; say why.
    std::string why = tolvane::FolderExists(dataFolder)
                          ? created.error
                          : "The folder " + dataFolder + " does not exist.";
    ShowMessageBox("Tolvane could not create its settings file\n\n" + settingsPath +
                       "\n\n" + why +
                       "\n\nTolvane keeps all its files in this folder. Reinstall "
                       "Tolvane, or create the folder, and start Tolvane again.",
                   nullptr, MB_OK | MB_ICONERROR);
  }
}

void CMainDlg::AddAboutToSystemMenu() {
  HMENU systemMenu = GetSystemMenu(hwnd(), FALSE);
  if (systemMenu == nullptr) return;
  char text[256] = {};
  int length = LoadStringA(fw::Application::ResourceInstance(), IDS_ABOUTBOX, text,
                           sizeof text);
  if (length <= 0) return;
  AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

fw::Handling CMainDlg::OnSysCommand(UINT command) {
  if (command == IDM_ABOUTBOX) {
    CAboutDlg about(this);
    about.DoModal();
    return fw::Handled();
  }
  return fw::NotHandled();
}

fw::Handling CMainDlg::OnPaint() {
  if (!IsIconic(hwnd())) return fw::NotHandled();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  int iconWidth = GetSystemMetrics(SM_CXICON);
  int iconHeight = GetSystemMetrics(SM_CYICON);
  RECT client;
  GetClientRect(hwnd(), &client);
  int x = (client.right - client.left - iconWidth + 1) / 2;
  int y = (client.bottom - client.top - iconHeight + 1) / 2;
  DrawIcon(dc, x, y, appIcon_);
  EndPaint(hwnd(), &paint);
  return fw::Handled();
}

HICON CMainDlg::OnQueryDragIcon() { return appIcon_; }

void CMainDlg::OnSettings() {
  CSettingsDlg dialog(dataFolder_, this);
  dialog.DoModal();
}

void CMainDlg::OnContactInfo() {
  CContactInfoDlg dialog(dataFolder_, this);
  dialog.DoModal();
}

void CMainDlg::OnTrustedBuddies() {
  CTrustedBuddiesDlg dialog(dataFolder_, this);
  dialog.DoModal();
}

void CMainDlg::OnDeliverMessages() {
  CDeliverMessagesDlg dialog(dataFolder_, this);
  dialog.DoModal();
}

void CMainDlg::OnAwayMessages() {
  CAwayMessagesDlg dialog(dataFolder_, this);
  dialog.DoModal();
}

void CMainDlg::OnScheduleMessage() {
  CScheduleMessageDlg dialog(dataFolder_, this);
  dialog.DoModal();
}
