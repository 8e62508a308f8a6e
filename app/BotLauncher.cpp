// The bot launcher's pieces outside the main dialog: the Windows calls it
// makes, the bot's process, one status poll and the tray-created flag.
#include "app/BotLauncher.h"

#include "core/TextFile.h"
#include "resources/resource.h"
#include "tray/TrayIcon.h"

namespace tolvane {
namespace {

BotSystem g_windows;
BotSystem* g_current = &g_windows;

int g_trayCreated = 0;

}  // namespace

DWORD BotSystem::ShortPathName(const char* longPath, char* buffer, DWORD size) {
  return ::GetShortPathNameA(longPath, buffer, size);
}

BOOL BotSystem::CreateProcessA(const char* applicationName, char* commandLine,
                               SECURITY_ATTRIBUTES* processAttributes,
                               SECURITY_ATTRIBUTES* threadAttributes,
                               BOOL inheritHandles, DWORD creationFlags,
                               void* environment, const char* currentDirectory,
                               STARTUPINFOA* startupInfo,
                               PROCESS_INFORMATION* processInfo) {
  return ::CreateProcessA(applicationName, commandLine, processAttributes,
                          threadAttributes, inheritHandles, creationFlags,
                          environment, currentDirectory, startupInfo, processInfo);
}

BOOL BotSystem::TerminateProcess(HANDLE process, UINT exitCode) {
  return ::TerminateProcess(process, exitCode);
}

DWORD BotSystem::WaitForProcess(HANDLE process, DWORD milliseconds) {
  return ::WaitForSingleObject(process, milliseconds);
}

BOOL BotSystem::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

BotSystem& CurrentBotSystem() { return *g_current; }

ScopedBotSystem::ScopedBotSystem(BotSystem& calls) : previous_(g_current) {
  g_current = &calls;
}

ScopedBotSystem::~ScopedBotSystem() { g_current = previous_; }

int& TrayCreatedFlag() { return g_trayCreated; }

bool BotProcess::Start(char* commandLine, STARTUPINFOA* startupInfo) {
  PROCESS_INFORMATION info{};
  if (!CurrentBotSystem().CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0,
                                         nullptr, nullptr, startupInfo, &info)) {
    return false;
  }
  process_.reset(info.hProcess);
  thread_.reset(info.hThread);
  return true;
}

void BotProcess::End(DWORD waitMs) {
  BotSystem& system = CurrentBotSystem();
  if (process_ && system.TerminateProcess(process_.get(), 0)) {
    system.WaitForProcess(process_.get(), waitMs);
  }
  process_.reset();
  thread_.reset();
}

void PollBotStatus(CTrayIcon& tray, const std::string& resultsPath,
                   const std::string& controlPath, PollState* state) {
  if (!state->connected) {
    const std::string control = ReadFirstLine(controlPath);
    if (control != kConnectedLine) {
      tray.SetTipText(kConnectingText);
      if (!state->connectingBalloonShown && tray.IsShown()) {
        tray.ShowBalloonTip(kConnectingText, nullptr, 0, 10);
        state->connectingBalloonShown = true;
      }
      return;
    }
    tray.SetTipText(ReadFirstLine(resultsPath).c_str());
    tray.ShowBalloonTip(control.c_str(), nullptr, 0, 10);
    tray.ChangeIconFromResource(IDR_MAINFRAME);
    state->connected = true;
    return;
  }
  tray.SetTipText(ReadFirstLine(resultsPath).c_str());
}

}  // namespace tolvane
