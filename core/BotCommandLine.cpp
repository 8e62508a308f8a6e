#include "core/BotCommandLine.h"

namespace tolvane {
namespace {

bool NeedsQuotes(const std::string& path) {
  return path.empty() || path.find_first_of(" \t") != std::string::npos;
}

}  // namespace

std::string BotCommandLine(bool gotShortPath, const std::string& shortPath,
                           const std::string& longPath) {
  const std::string& path = gotShortPath && !shortPath.empty() ? shortPath : longPath;
  if (gotShortPath && !shortPath.empty() && !NeedsQuotes(path)) return "perl " + path;
  return "perl \"" + path + "\"";
}

}  // namespace tolvane
