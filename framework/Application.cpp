#include "framework/Application.h"

#include <commctrl.h>

#include "framework/Window.h"

namespace fw {
namespace {
Application* g_application = nullptr;
HINSTANCE g_instance = nullptr;
}  // namespace

Application::Application() { g_application = this; }

Application::~Application() {
  if (g_application == this) g_application = nullptr;
}

int Application::Run() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

Application* Application::Current() { return g_application; }

HINSTANCE Application::Instance() {
  if (g_instance == nullptr) g_instance = GetModuleHandleA(nullptr);
  return g_instance;
}

HINSTANCE Application::ResourceInstance() { return Instance(); }

const std::string& Application::Name() {
  static const std::string name = [] {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(Instance(), path, MAX_PATH);
    std::string full(path, length);
    std::size_t slash = full.find_last_of("\\/");
    std::string base = slash == std::string::npos ? full : full.substr(slash + 1);
    std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return base;
  }();
  return name;
}

void Application::EnableControlHosting() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
}

int RunApplication(HINSTANCE instance) {
  g_instance = instance;
  Application* application = Application::Current();
  if (application == nullptr) return 1;
  if (!application->InitInstance()) return 0;
  return application->Run();
}

}  // namespace fw
