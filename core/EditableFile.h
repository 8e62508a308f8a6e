// Loading and saving the files that the editor dialogs show, and the words
// the dialogs use when that goes wrong.
#pragma once

#include <string>

#include "core/TextFile.h"

namespace tolvane {

// Reads a file for an editor. A missing file is created empty (so the bot
// finds it), and reads as no lines. A file that is there but cannot be read
// has status kFailed and its error: the editor then warns before anything
// can overwrite it.
TextLines LoadForEditing(const std::string& path);

// What an editor says when the file it shows could not be read.
std::string LoadFailedMessage(const std::string& path, const std::string& error);

// What an editor says when saving failed; the edits are still in the dialog.
std::string SaveFailedMessage(const std::string& path, const std::string& error);

}  // namespace tolvane
