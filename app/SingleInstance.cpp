#include "app/SingleInstance.h"

#include "framework/MessageBox.h"
#include "resources/resource.h"

namespace {

// Local\ keeps the name inside the user's logon session.
constexpr char kMutexName[] = "Local\\Tolvane.ControlPanel";
// A property of the main window, readable from another process.
constexpr char kFirstRunSetupProperty[] = "Tolvane.FirstRunSetup";

struct PanelSearch {
  DWORD ownProcess;
  HWND found;
};

// The main dialog of another process: a dialog captioned "Tolvane" that has
// the Settings button (a message box with that caption has not).
BOOL CALLBACK FindOtherPanel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<PanelSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->ownProcess) return TRUE;
  char className[16] = {};
  char caption[16] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, caption, sizeof caption);
  if (lstrcmpA(className, "#32770") != 0 || lstrcmpA(caption, "Tolvane") != 0) return TRUE;
  if (GetDlgItem(window, IDC_SETTINGS) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

SingleInstance::SingleInstance() {
  mutex_.reset(CreateMutexA(nullptr, FALSE, kMutexName));
  // Without the mutex (no rights to the name) nothing can be told apart;
  // the panel then runs as it would alone.
  first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

void SingleInstance::MarkFirstRunSetup(HWND panel, bool underWay) {
  if (underWay) {
    SetPropA(panel, kFirstRunSetupProperty, reinterpret_cast<HANDLE>(1));
  } else {
    RemovePropA(panel, kFirstRunSetupProperty);
  }
}

void SingleInstance::PointToRunningPanel() {
  PanelSearch search{GetCurrentProcessId(), nullptr};
  EnumWindows(FindOtherPanel, reinterpret_cast<LPARAM>(&search));
  if (search.found != nullptr && IsWindowVisible(search.found)) {
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    // A box or an editor of the running panel is where the user was.
    SetForegroundWindow(GetLastActivePopup(search.found));
    return;
  }
  // A box that the panel shows before its window comes (the first run's
  // notice, an error of an automatic start) is where the user was.
  HWND box = search.found != nullptr ? GetLastActivePopup(search.found) : nullptr;
  if (box == search.found || (box != nullptr && !IsWindowVisible(box))) box = nullptr;
  if (search.found != nullptr &&
      GetPropA(search.found, kFirstRunSetupProperty) != nullptr) {
    fw::ShowMessageBox(nullptr,
                       "Tolvane is already running. It is preparing Perl for its first run: "
                       "the Perl package manager ppm installs Net-OSCAR. Tolvane's window "
                       "opens when that is done.",
                       nullptr, MB_OK | MB_ICONINFORMATION);
    if (box != nullptr) SetForegroundWindow(box);
    return;
  }
  if (box != nullptr) {
    SetForegroundWindow(box);
    return;
  }
  fw::ShowMessageBox(nullptr,
                     "Tolvane is already running. While the bot runs, Tolvane waits in the "
                     "notification area: click its icon there to stop the bot and bring the "
                     "window back.",
                     nullptr, MB_OK | MB_ICONINFORMATION);
}
