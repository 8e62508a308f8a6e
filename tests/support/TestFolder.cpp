#include "tests/support/TestFolder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace tolvane::testing {
namespace {

// The folder's path without its trailing separator.
fs::path PathOf(const std::string& folder) { return fs::path(folder).parent_path(); }

std::string NewTempFolder() {
  static auto counter = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    // A name another test took already is skipped; any other failure throws.
    fs::path candidate = base / ("tolvane-test-" + std::to_string(++counter));
    if (fs::create_directory(candidate)) return (candidate / "").string();
  }
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return !out.fail();
}

bool Folder::Exists(const std::string& name) const {
  std::error_code ignored;
  return fs::exists(fs::path(file(name)), ignored);
}

bool Folder::IsFolder() const {
  std::error_code ignored;
  return fs::is_directory(PathOf(path_), ignored);
}

std::vector<std::string> Folder::Names() const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (fs::directory_iterator it(PathOf(path_), ignored), end; it != end;
       it.increment(ignored)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Folder::Listing() const {
  std::string listing;
  for (const std::string& name : Names()) listing += name + ";";
  return listing;
}

bool Folder::Create() const {
  std::error_code ignored;
  fs::create_directories(PathOf(path_), ignored);
  return IsFolder();
}

void Folder::RemoveAll() const {
  const fs::path root = PathOf(path_);
  std::error_code ignored;
  // Write permission (on Windows: no read-only attribute) first, each
  // folder before it is entered.
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(root, ignored), end; it != end;
       it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root, ignored);
}

TempFolder::TempFolder() : Folder(NewTempFolder()) {}

}  // namespace tolvane::testing
