// The application object: runs the main dialog and ends with it.
#pragma once

#include "framework/Application.h"

class CMainApp : public fw::Application {
 public:
  bool InitInstance() override;
};
