// The program's entry point: hands over to the application object.
#include <windows.h>

#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return fw::RunApplication(instance);
}
