// The bot launcher's pieces outside the main dialog: the Windows calls that
// start and stop the bot (replaceable in tests), one status poll, and the
// program-wide note that the tray icon has been created.
#pragma once

#include <windows.h>

#include <string>

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

// The texts the launcher shows in the notification area.
inline constexpr char kTrayTip[] = "Click here";
inline constexpr char kConnectedLine[] = "Connected!";
inline constexpr char kConnectingText[] = "Connecting";

// One status poll: the first line of results.txt becomes the tooltip; until
// control.txt's first line is exactly "Connected!" the tooltip and a balloon
// say "Connecting"; the first time it is, the "Connected!" balloon shows and
// the icon becomes the application icon. Each file is opened, its first
// line read (at most 500 bytes) and closed again.
void PollBotStatus(CTrayIcon& tray, const std::string& resultsPath,
                   const std::string& controlPath, bool* connected);

// Set by the first Start and never cleared: the tray icon is created once
// per program run. (Tests of several main dialogs in one process reset it.)
int& TrayCreatedFlag();

}  // namespace tolvane
