// A folder made read-only for the length of a test.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tolvane::testing {

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
