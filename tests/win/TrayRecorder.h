// Recorders for the Windows calls of the tray icon and of the bot launcher:
// every call is kept, and the test chooses the answers.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/BotLauncher.h"
#include "tray/TraySystem.h"

namespace tolvane::testing {

struct NotifyCall {
  DWORD command = 0;
  NOTIFYICONDATAA data{};
  // The icon named by the record was one the tray had loaded and already
  // destroyed.
  bool staleIcon = false;

  std::string tip() const { return data.szTip; }
  std::string info() const { return data.szInfo; }
  std::string infoTitle() const { return data.szInfoTitle; }
};

// The tray's calls. Shell_NotifyIconA is answered from `answers` (front
// first), then with `defaultAnswer`; nothing reaches the shell. Icons are
// really loaded and destroyed, and counted. The version, the taskbar, the
// work area and the animation setting are what the test sets.
class TrayRecorder : public TraySystem {
 public:
  TrayRecorder() : scope_(*this) {
    versionEx.dwOSVersionInfoSize = sizeof versionEx;
    versionEx.dwMajorVersion = 6;
    versionEx.dwMinorVersion = 1;
    versionEx.dwPlatformId = VER_PLATFORM_WIN32_NT;
    workArea = RECT{0, 0, 1024, 738};
  }

  // ---- answers ----
  std::deque<BOOL> answers;
  BOOL defaultAnswer = TRUE;
  DWORD version = 0x1DB10106;  // 6.1, NT
  OSVERSIONINFOA versionEx{};
  BOOL versionExResult = TRUE;
  HWND taskbar = nullptr;
  bool appBarAnswers = false;
  APPBARDATA appBar{};
  RECT workArea{};
  int minAnimate = 0;

  // ---- records ----
  std::vector<NotifyCall> calls;
  std::vector<std::string> foundClasses;
  std::vector<DWORD> appBarMessages;
  DWORD appBarSize = 0;
  std::vector<UINT> parameterActions;
  UINT animationSizeAsked = 0;
  struct Animation {
    HWND window;
    int kind;
    RECT from;
    RECT to;
  };
  std::vector<Animation> animations;
  int iconsLoaded = 0;
  int iconsDestroyed = 0;
  int foreignDestroys = 0;  // icons destroyed that were not loaded here
  std::set<HICON> liveIcons;
  std::set<HICON> destroyedIcons;
  // The resource id of every icon loaded, by handle.
  std::map<HICON, UINT> loadedIds;
  // The resource id of the icon a record names; 0 for an icon not loaded here.
  UINT IdOf(const NOTIFYICONDATAA& data) const {
    auto found = loadedIds.find(data.hIcon);
    return found == loadedIds.end() ? 0 : found->second;
  }

  void Clear() { calls.clear(); }
  std::size_t Count(DWORD command) const {
    std::size_t n = 0;
    for (const NotifyCall& call : calls) n += call.command == command ? 1 : 0;
    return n;
  }

  BOOL NotifyIcon(DWORD command, NOTIFYICONDATAA* data) override {
    NotifyCall call;
    call.command = command;
    call.data = *data;
    call.staleIcon = destroyedIcons.count(data->hIcon) != 0 &&
                     liveIcons.count(data->hIcon) == 0;
    calls.push_back(call);
    if (!answers.empty()) {
      BOOL answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return defaultAnswer;
  }
  DWORD Version() override { return version; }
  BOOL VersionEx(OSVERSIONINFOA* info) override {
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
    *info = versionEx;
    return versionExResult;
  }
  HANDLE LoadImageResource(HINSTANCE instance, const char* name, UINT type,
                           int width, int height, UINT flags) override {
    HANDLE image = TraySystem::LoadImageResource(instance, name, type, width,
                                                 height, flags);
    if (image != nullptr) {
      ++iconsLoaded;
      HICON icon = static_cast<HICON>(image);
      liveIcons.insert(icon);
      destroyedIcons.erase(icon);
      if (IS_INTRESOURCE(name)) {
        loadedIds[icon] = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
      }
    }
    return image;
  }
  BOOL DestroyIconHandle(HICON icon) override {
    if (liveIcons.erase(icon) == 0) {
      ++foreignDestroys;
    } else {
      ++iconsDestroyed;
      destroyedIcons.insert(icon);
    }
    return TraySystem::DestroyIconHandle(icon);
  }
  HWND FindTopWindow(const char* className, const char*) override {
    foundClasses.push_back(className);
    return taskbar;
  }
  UINT_PTR AppBarMessage(DWORD message, APPBARDATA* data) override {
    appBarMessages.push_back(message);
    appBarSize = data->cbSize;
    if (!appBarAnswers) return 0;
    data->rc = appBar.rc;
    data->uEdge = appBar.uEdge;
    return 1;
  }
  BOOL SystemParameters(UINT action, UINT param, void* value, UINT) override {
    parameterActions.push_back(action);
    if (action == SPI_GETWORKAREA) {
      *static_cast<RECT*>(value) = workArea;
      return TRUE;
    }
    if (action == SPI_GETANIMATION) {
      ANIMATIONINFO* info = static_cast<ANIMATIONINFO*>(value);
      animationSizeAsked = param;
      if (info->cbSize != sizeof(ANIMATIONINFO)) return FALSE;
      info->iMinAnimate = minAnimate;
      return TRUE;
    }
    return FALSE;
  }
  BOOL AnimateRects(HWND window, int kind, const RECT* from, const RECT* to) override {
    animations.push_back({window, kind, *from, *to});
    return TRUE;
  }

 private:
  ScopedTraySystem scope_;
};

// The launcher's process calls. A created bot is a real process (this test
// program, suspended), so that its handles are real and its end can be seen.
class BotRecorder : public BotSystem {
 public:
  BotRecorder() : scope_(*this) {}
  ~BotRecorder() override {
    for (HANDLE process : watched) {
      ::TerminateProcess(process, 0);
      ::CloseHandle(process);
    }
  }

  bool createSucceeds = true;

  struct Creation {
    bool noApplicationName = false;
    std::string commandLine;
    bool noSecurityAttributes = false;
    BOOL inheritHandles = TRUE;
    DWORD creationFlags = 0xFFFFFFFF;
    bool ownEnvironment = false;
    bool ownDirectory = false;
    STARTUPINFOA startup{};
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
  };
  std::vector<Creation> creations;
  std::vector<std::string> shortPathAsked;
  std::vector<std::pair<HANDLE, UINT>> terminations;
  std::vector<HANDLE> closed;
  std::vector<std::pair<HANDLE, DWORD>> waits;
  // Duplicates of the bot processes' handles, to wait for their end.
  std::vector<HANDLE> watched;

  DWORD ShortPathName(const char* longPath, char* buffer, DWORD size) override {
    shortPathAsked.push_back(longPath);
    return BotSystem::ShortPathName(longPath, buffer, size);
  }
  BOOL CreateProcessA(const char* applicationName, char* commandLine,
                      SECURITY_ATTRIBUTES* processAttributes,
                      SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles,
                      DWORD creationFlags, void* environment,
                      const char* currentDirectory, STARTUPINFOA* startupInfo,
                      PROCESS_INFORMATION* processInfo) override {
    Creation creation;
    creation.noApplicationName = applicationName == nullptr;
    creation.commandLine = commandLine;
    creation.noSecurityAttributes =
        processAttributes == nullptr && threadAttributes == nullptr;
    creation.inheritHandles = inheritHandles;
    creation.creationFlags = creationFlags;
    creation.ownEnvironment = environment == nullptr;
    creation.ownDirectory = currentDirectory == nullptr;
    creation.startup = *startupInfo;
    if (!createSucceeds) {
      creations.push_back(creation);
      ::SetLastError(ERROR_FILE_NOT_FOUND);
      return FALSE;
    }
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" --gtest_list_tests";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    BOOL created = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                                    CREATE_SUSPENDED, nullptr, nullptr, &startup,
                                    processInfo);
    if (created) {
      HANDLE watch = nullptr;
      ::DuplicateHandle(::GetCurrentProcess(), processInfo->hProcess,
                        ::GetCurrentProcess(), &watch, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
      watched.push_back(watch);
      creation.process = processInfo->hProcess;
      creation.thread = processInfo->hThread;
    }
    creations.push_back(creation);
    return created;
  }
  BOOL TerminateProcess(HANDLE process, UINT exitCode) override {
    terminations.emplace_back(process, exitCode);
    return BotSystem::TerminateProcess(process, exitCode);
  }
  DWORD WaitForProcess(HANDLE process, DWORD milliseconds) override {
    waits.emplace_back(process, milliseconds);
    return BotSystem::WaitForProcess(process, milliseconds);
  }
  BOOL CloseHandle(HANDLE handle) override {
    closed.push_back(handle);
    return BotSystem::CloseHandle(handle);
  }

  // Whether the last bot process has ended within the time given.
  bool LastBotEnded(DWORD milliseconds) const {
    return !watched.empty() &&
           ::WaitForSingleObject(watched.back(), milliseconds) == WAIT_OBJECT_0;
  }

 private:
  ScopedBotSystem scope_;
};

}  // namespace tolvane::testing
