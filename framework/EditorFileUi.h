// What the editor dialogs say about their files: the warning when a file
// could not be read, and the save that reports its failure.
#pragma once

#include <string>

#include "framework/Window.h"

namespace tolvane {

// Warns, in a box owned by `owner`, that `path` could not be read; does
// nothing when problem is empty.
void WarnIfUnreadable(const fw::Window& owner, const std::string& path,
                      const std::string& problem);

// Writes text (memory form) to path as a whole; when that fails, says why
// in a box owned by `owner` and returns false. The old file stays whole.
bool SaveTextOrReport(const fw::Window& owner, const std::string& path,
                      const std::string& text);

}  // namespace tolvane
