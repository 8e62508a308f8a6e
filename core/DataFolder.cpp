#include "core/DataFolder.h"

namespace tolvane {

std::string ProfileBase(const std::string& user) { return kProfileRoot + user; }

std::string DataFolder(const std::string& user) {
  return ProfileBase(user) + "\\My Documents\\Tolvane\\";
}

std::string DataFile(const std::string& user, const std::string& fileName) {
  return DataFolder(user) + fileName;
}

std::string SavedMessagesFolder(const std::string& user) {
  return ProfileBase(user) + "\\Tolvane";
}

namespace {
// A name that can stand as one folder name in a path.
bool Usable(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == '\\' || c == '/' || c == ':') return false;
  }
  return name != "." && name != "..";
}
}  // namespace

std::string ChooseUserName(bool ok, const std::string& firstTry, bool retryOk,
                           const std::string& retry) {
  if (ok && Usable(firstTry)) return firstTry;
  if (retryOk && Usable(retry)) return retry;
  return kFallbackUserName;
}

}  // namespace tolvane
