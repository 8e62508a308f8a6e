#include "core/EditableFile.h"

namespace tolvane {

TextLines LoadForEditing(const std::string& path) {
  TextLines file = ReadTextLines(path);
  if (file.status == ReadStatus::kMissing) CreateEmptyIfMissing(path);
  return file;
}

std::string LoadFailedMessage(const std::string& path, const std::string& error) {
  return "Tolvane could not read\n\n" + path + "\n\n" + error +
         "\n\nThe dialog shows nothing of it. OK replaces the file with what the "
         "dialog holds; Cancel leaves it as it is.";
}

std::string SaveFailedMessage(const std::string& path, const std::string& error) {
  return "Tolvane could not save\n\n" + path + "\n\n" + error +
         "\n\nYour changes are still in the dialog. Press OK to try again, or Cancel "
         "to leave the file as it was.";
}

}  // namespace tolvane
