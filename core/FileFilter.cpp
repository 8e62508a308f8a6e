#include "core/FileFilter.h"

namespace tolvane {

std::string SystemFileFilter(const std::string& filter) {
  std::string system = filter;
  for (char& c : system) {
    if (c == '|') c = '\0';
  }
  // Two NULs end the list even when the caller left out the final bars.
  system.push_back('\0');
  system.push_back('\0');
  return system;
}

}  // namespace tolvane
