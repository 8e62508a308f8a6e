// The per-user data folder that Tolvane and the bot share, files byte for
// byte, and the one registry value Tolvane writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/Wait.h"

namespace e2e {

// GetUserNameA of this process (the Wine user is the Linux user).
std::string UserName();
// "C:\Documents and Settings\" + user + "\My Documents\Tolvane\".
std::string DataFolder();
std::string DataFile(const std::string& name);

// Deletes everything in the data folder and makes sure it exists (with its
// parents).
void ResetDataFolder();
// Removes the data folder and everything in it.
void RemoveDataFolder();
bool DataFolderExists();

// Names of the files in the data folder, sorted.
std::vector<std::string> ListDataFiles();

// Exact bytes of a file, any path; nullopt when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Replaces a file's content with exactly these bytes; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

inline std::optional<std::string> ReadDataFile(const std::string& name) {
  return ReadFileBytes(DataFile(name));
}
// Waits until a data file holds exactly these bytes: for a file the program
// writes after something the test sees end first (a box it closes, then the
// save). On time-out reports a failure with what the file holds then.
bool WaitForDataFile(const std::string& name, const std::string& bytes,
                     DWORD timeoutMs = kTimeoutMs);
inline bool WriteDataFile(const std::string& name, const std::string& bytes) {
  return WriteFileBytes(DataFile(name), bytes);
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
