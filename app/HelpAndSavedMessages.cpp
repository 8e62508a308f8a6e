// The Help! and Saved Messages buttons of the main dialog.
#include "app/MainDlg.h"

void CMainDlg::OnHelp() {}

void CMainDlg::OnSavedMessages() {}
