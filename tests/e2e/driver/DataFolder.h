// The per-user data folder that Tolvane and the bot share, files byte for
// byte, and the one registry value Tolvane writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/Wait.h"
#include "tests/support/TestFolder.h"

namespace e2e {

using tolvane::testing::ReadFileBytes;
using tolvane::testing::WriteFileBytes;

// GetUserNameA of this process (the Wine user is the Linux user).
std::string UserName();
// "C:\Documents and Settings\" + user + "\My Documents\Tolvane\", in the
// prefix's drive_c.
const tolvane::testing::Folder& Data();
inline std::string DataFolder() { return Data().folder(); }
inline std::string DataFile(const std::string& name) { return Data().file(name); }

// Deletes everything in the data folder and makes sure it exists (with its
// parents).
inline void ResetDataFolder() {
  Data().RemoveAll();
  Data().Create();
}
// Removes the data folder and everything in it.
inline void RemoveDataFolder() { Data().RemoveAll(); }
inline bool DataFolderExists() { return Data().IsFolder(); }

// Names in the data folder, sorted.
inline std::vector<std::string> ListDataFiles() { return Data().Names(); }

inline std::optional<std::string> ReadDataFile(const std::string& name) {
  return Data().Read(name);
}
// Waits until a data file holds exactly these bytes: for a file the program
// writes after something the test sees end first (a box it closes, then the
// save). On time-out reports a failure with what the file holds then.
bool WaitForDataFile(const std::string& name, const std::string& bytes,
                     DWORD timeoutMs = kTimeoutMs);
inline bool WriteDataFile(const std::string& name, const std::string& bytes) {
  return Data().Write(name, bytes);
}

// A file held open by the test, which makes it unwritable for other
// processes as long as the object lives. (The tests run as root, for whom
// Wine ignores read-only attributes, so holding the file is how a test gets
// a file that cannot be written.)
class HeldFile {
 public:
  enum class Others {
    kMayRead,     // others may open it for reading only
    kMayNothing,  // others cannot open it at all
  };
  HeldFile(const std::string& path, Others others);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run, value "Tolvane".
std::optional<std::string> ReadRunValue();
void DeleteRunValue();
bool SetRunValue(const std::string& data);

}  // namespace e2e
