// The application object: one per program, a global. The framework's
// WinMain runs its instance initialisation.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window;

class Application {
 public:
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  virtual ~Application();

  // Runs once at start-up. Returning false ends the program at once,
  // without the application's own message loop.
  virtual bool InitInstance() = 0;
  // Runs the message loop when InitInstance returned true.
  virtual int Run();

  static Application* Current();
  static HINSTANCE Instance();
  static HINSTANCE ResourceInstance();
  // The application's name: the executable's base name ("Tolvane" for
  // Tolvane.exe). It is the caption of every message box that gives none.
  static const std::string& Name();

  Window* MainWindow() const { return mainWindow_; }
  void SetMainWindow(Window* window) { mainWindow_ = window; }

  // Registers the common controls that dialogs host (list views and the
  // like) so that dialog templates can name them.
  void EnableControlHosting();
  // Three-dimensional control drawing is what Windows does by itself; kept
  // as a step so that start-up reads like its description.
  void Enable3dControls() {}

 private:
  Window* mainWindow_ = nullptr;
};

// Called by the framework's WinMain; returns the process exit code.
int RunApplication(HINSTANCE instance);

}  // namespace fw
