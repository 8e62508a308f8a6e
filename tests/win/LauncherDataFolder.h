// The current user's data folder in the (throw-away) Wine prefix of an
// in-process test of the launcher: its files by name, written and read
// whole, and the folder made ready for a Start.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/BotLauncher.h"
#include "app/UserName.h"
#include "core/DataFolder.h"
#include "tests/win/WinTempFolder.h"

namespace tolvane::testing {

inline std::string File(const std::string& name) {
  return tolvane::DataFile(tolvane::CurrentUserName(), name);
}

inline void WriteBytes(const std::string& name, const std::string& bytes) {
  HANDLE file = CreateFileA(File(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << File(name);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The file's bytes, or "(missing)".
inline std::string ReadBytes(const std::string& name) {
  return ReadWholeFile(File(name)).value_or("(missing)");
}

// The data folder with a settings file that does not connect by itself and
// the script, no status files, and no tray icon created yet in this
// process.
inline void PrepareLauncherDataFolder() {
  std::string folder = tolvane::DataFolder(tolvane::CurrentUserName());
  for (std::size_t at = folder.find('\\', 3); at != std::string::npos;
       at = folder.find('\\', at + 1)) {
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  }
  WriteBytes("settings.txt", "u\r\np\r\nKavri\r\nAlex\r\n0\r\n0\r\n0\r\n0\r\nx\r\ny\r\n");
  WriteBytes("Kavri.pl", "# the bot\r\n");
  DeleteFileA(File("results.txt").c_str());
  DeleteFileA(File("control.txt").c_str());
  tolvane::TrayCreatedFlag() = 0;
}

}  // namespace tolvane::testing
