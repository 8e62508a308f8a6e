// The bot launcher's pieces outside the main dialog: the Windows calls that
// start and stop the bot (replaceable in tests), one status poll, and the
// program-wide note that the tray icon has been created.
#pragma once

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"

class CTrayIcon;

namespace tolvane {

// CreateProcessA, GetShortPathNameA, TerminateProcess, WaitForSingleObject
// and CloseHandle as the launcher uses them. BotSystem forwards each call to Windows; a test
// installs an object of a derived class for the time of one test.
class BotSystem {
 public:
  virtual ~BotSystem() = default;
  virtual DWORD ShortPathName(const char* longPath, char* buffer, DWORD size);
  virtual BOOL CreateProcessA(const char* applicationName, char* commandLine,
                              SECURITY_ATTRIBUTES* processAttributes,
                              SECURITY_ATTRIBUTES* threadAttributes,
                              BOOL inheritHandles, DWORD creationFlags,
                              void* environment, const char* currentDirectory,
                              STARTUPINFOA* startupInfo,
                              PROCESS_INFORMATION* processInfo);
  virtual BOOL TerminateProcess(HANDLE process, UINT exitCode);
  virtual DWORD WaitForProcess(HANDLE process, DWORD milliseconds);
  virtual BOOL CloseHandle(HANDLE handle);
};

BotSystem& CurrentBotSystem();

class ScopedBotSystem {
 public:
  explicit ScopedBotSystem(BotSystem& calls);
  ~ScopedBotSystem();
  ScopedBotSystem(const ScopedBotSystem&) = delete;
  ScopedBotSystem& operator=(const ScopedBotSystem&) = delete;

 private:
  BotSystem* previous_;
};

// A handle of the bot's process, closed through the current BotSystem.
struct BotHandlePolicy {
  using Handle = HANDLE;
  static bool IsHeld(HANDLE handle) { return handle != nullptr; }
  static bool Close(HANDLE handle) {
    return CurrentBotSystem().CloseHandle(handle) != FALSE;
  }
};

// The bot's process: its process and thread handles from the start until
// the end, all through the current BotSystem.
class BotProcess {
 public:
  // Creates the process; false, with nothing held, when that fails.
  bool Start(char* commandLine, STARTUPINFOA* startupInfo);
  // Ends a process that Start created, waits up to `waitMs` for it to be
  // gone, and closes the process's then the thread's handle.
  void End(DWORD waitMs);

 private:
  fw::UniqueHandle<BotHandlePolicy> process_;
  fw::UniqueHandle<BotHandlePolicy> thread_;
};

// The texts the launcher shows in the notification area.
inline constexpr char kTrayTip[] = "Click here";
inline constexpr char kConnectedLine[] = "Connected!";
inline constexpr char kConnectingText[] = "Connecting";

// What the polls of one run of the bot have shown; a Start clears it.
struct PollState {
  // control.txt has said "Connected!".
  bool connected = false;
  // The "Connecting" balloon has been shown. Every balloon is a notice with
  // a sound on newer Windows: this one comes once per run.
  bool connectingBalloonShown = false;
};

// One status poll. Until control.txt's first line is exactly "Connected!"
// the tooltip says "Connecting", and a "Connecting" balloon shows once the
// icon is there to show it; the first time it is, the first line of
// results.txt becomes the tooltip, the "Connected!" balloon shows and the
// icon becomes the application icon; after that the tooltip follows
// results.txt. Each file is opened, its first line read (at most 500 bytes)
// and closed again.
void PollBotStatus(CTrayIcon& tray, const std::string& resultsPath,
                   const std::string& controlPath, PollState* state);

// Set by the first Start and never cleared: the tray icon is created once
// per program run. (Tests of several main dialogs in one process reset it.)
int& TrayCreatedFlag();

}  // namespace tolvane
