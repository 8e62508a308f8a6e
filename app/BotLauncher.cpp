// Start, the status poll and the tray callback of the main dialog.
#include "app/MainDlg.h"

void CMainDlg::OnOK() {
  // Start comes with the bot launcher; until then it does nothing, and it
  // never closes the dialog.
}

LRESULT CMainDlg::OnTimer(WPARAM, LPARAM) { return Default(); }

LRESULT CMainDlg::OnTrayNotification(WPARAM, LPARAM) { return 0; }
