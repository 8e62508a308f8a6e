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
#include "tests/support/TestFolder.h"

namespace tolvane::testing {

inline const Folder& LauncherData() {
  static const Folder data(tolvane::DataFolder(tolvane::CurrentUserName()));
  return data;
}

inline std::string File(const std::string& name) { return LauncherData().file(name); }

inline void WriteBytes(const std::string& name, const std::string& bytes) {
  ASSERT_TRUE(LauncherData().Write(name, bytes)) << File(name);
}

// The file's bytes, or "(missing)".
inline std::string ReadBytes(const std::string& name) {
  return LauncherData().Read(name).value_or("(missing)");
}

// The data folder with a settings file that does not connect by itself and
// the script, no status files, and no tray icon created yet in this
// process.
inline void PrepareLauncherDataFolder() {
  ASSERT_TRUE(LauncherData().Create()) << LauncherData().folder();
  WriteBytes("settings.txt", "u\r\np\r\nKavri\r\nAlex\r\n0\r\n0\r\n0\r\n0\r\nx\r\ny\r\n");
  WriteBytes("Kavri.pl", "# the bot\r\n");
  DeleteFileA(File("results.txt").c_str());
  DeleteFileA(File("control.txt").c_str());
  tolvane::TrayCreatedFlag() = 0;
}

}  // namespace tolvane::testing
