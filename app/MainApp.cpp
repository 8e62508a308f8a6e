#include "app/MainApp.h"

#include "app/MainDlg.h"
#include "app/SingleInstance.h"

bool CMainApp::InitInstance() {
  SingleInstance instance;
  if (!instance.first()) {
    SingleInstance::PointToRunningPanel();
    return false;
  }
  EnableControlHosting();
  Enable3dControls();
  {
    CMainDlg dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
  }
  // The main dialog has closed: the program ends here, without a message
  // loop of its own.
  return false;
}
