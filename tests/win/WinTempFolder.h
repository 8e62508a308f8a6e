// A fresh folder for one in-process test, in the Windows temporary folder,
// removed afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tolvane::testing {

// The bytes of a file, read whole (others may keep it open in any way), or
// nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

class WinTempFolder {
 public:
  WinTempFolder();
  ~WinTempFolder();
  WinTempFolder(const WinTempFolder&) = delete;
  WinTempFolder& operator=(const WinTempFolder&) = delete;

  // The folder with its trailing backslash, as data-folder paths have one.
  const std::string& folder() const { return folder_; }
  std::string file(const std::string& name) const { return folder_ + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::optional<std::string> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // The names of the files in the folder, sorted, each followed by ";".
  std::string Listing() const;
  // Removes the folder and everything in it (a test of a missing folder).
  void RemoveAll() const;

 private:
  std::string folder_;
};

}  // namespace tolvane::testing
