// A fresh folder for one test, removed afterwards.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tolvane-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing slash, as the data-folder paths have one.
  std::string folder() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::optional<std::string> Read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(path_ / name);
  }
  // Names of the files in the folder, sorted.
  std::string Listing() const {
    std::string names;
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      all.push_back(entry.path().filename().string());
    }
    std::sort(all.begin(), all.end());
    for (const auto& n : all) names += n + ";";
    return names;
  }

 private:
  std::filesystem::path path_;
};

// Makes a folder read-only for as long as it lives. root is not stopped by
// permissions, so for root the folder is made immutable instead.
class ScopedReadOnlyFolder {
 public:
  explicit ScopedReadOnlyFolder(const std::string& folder) : folder_(folder) {
    if (::geteuid() == 0) {
      immutable_ = true;
      active_ = std::system(("chattr +i '" + folder_ + "' 2>/dev/null").c_str()) == 0;
    } else {
      active_ = ::chmod(folder_.c_str(), 0555) == 0;
    }
  }
  ~ScopedReadOnlyFolder() { Release(); }
  bool active() const { return active_; }
  void Release() {
    if (!active_) return;
    active_ = false;
    if (immutable_) {
      (void)std::system(("chattr -i '" + folder_ + "' 2>/dev/null").c_str());
    } else {
      ::chmod(folder_.c_str(), 0755);
    }
  }

 private:
  std::string folder_;
  bool immutable_ = false;
  bool active_ = false;
};

}  // namespace tolvane::testing
