// The one application object of Tolvane.exe.
#include "app/MainApp.h"

CMainApp theApp;
