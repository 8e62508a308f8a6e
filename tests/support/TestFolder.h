// Folders and files for tests, at every level: a folder by path (the data
// folder a test prepares, or a fresh temporary one) whose files are written
// and read byte for byte. Portable: no <windows.h>.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tolvane::testing {

// The exact bytes of a file, any path; nothing when it cannot be opened or
// read. On Windows others may hold the file open in any way meanwhile.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Replaces a file's content with exactly these bytes; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

class Folder {
 public:
  // path: the folder with its trailing separator, as data-folder paths have one.
  explicit Folder(std::string path) : path_(std::move(path)) {}

  const std::string& folder() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

  bool Write(const std::string& name, const std::string& bytes) const {
    return WriteFileBytes(file(name), bytes);
  }
  std::optional<std::string> Read(const std::string& name) const {
    return ReadFileBytes(file(name));
  }
  bool Exists(const std::string& name) const;
  bool IsFolder() const;
  // The names in the folder (files and folders), sorted.
  std::vector<std::string> Names() const;
  // The same names, each followed by ";".
  std::string Listing() const;

  // Makes the folder with its parents; true when it is there.
  bool Create() const;
  // Removes the folder and everything in it, read-only entries too.
  void RemoveAll() const;

 private:
  std::string path_;
};

// A fresh folder in the system's temporary folder, removed with everything
// in it afterwards.
class TempFolder : public Folder {
 public:
  TempFolder();
  ~TempFolder() { RemoveAll(); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
};

}  // namespace tolvane::testing
