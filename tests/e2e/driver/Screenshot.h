// Screenshots of the whole X screen, for looking at a failure afterwards.
#pragma once

#include <string>

namespace e2e {

// Saves a PNG of the screen (ImageMagick's import, started from inside
// Wine) at a path on the Z: drive without blanks; waits until the file is
// complete. Returns the Unix path of the file, or "" when none was made.
std::string SaveScreenshot(const std::string& windowsPath);

// Installs a test listener that saves a screenshot at the first failure of
// each test into ArtifactsFolder() and names the file in the output.
void InstallScreenshotOnFailure();

}  // namespace e2e
