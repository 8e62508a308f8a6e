// The command line that starts the bot script.
#pragma once

#include <string>

namespace tolvane {

// "perl " + the script's path. `gotShortPath` and `shortPath` are what the
// system gave for the short (8.3) form of `longPath`. The short form goes on
// the line as it is; a path that still holds a blank (the file or a folder
// on the way has no short name) or no short form at all puts the path in
// double quotes, so that the interpreter gets it as one argument.
std::string BotCommandLine(bool gotShortPath, const std::string& shortPath,
                           const std::string& longPath);

}  // namespace tolvane
