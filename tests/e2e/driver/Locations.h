// Where the harness finds the program under test, the stand-ins, and where
// it leaves what a failed test shows (screenshots, stand-in logs).
#pragma once

#include <string>

namespace e2e {

// Reads --tolvane=PATH and --standins=FOLDER from the command line (Unix or
// Windows paths). Without them: ..\..\app\Tolvane.exe and ..\standins\bin
// beside this test program, which is where the build puts them.
void InitLocations(int argc, char** argv);

// Full Windows path of Tolvane.exe.
const std::string& TolvaneExe();
// Windows path of the folder that holds only the stand-in perl.exe and ppm.exe.
const std::string& StandinsFolder();

// "/a/b" -> "Z:\a\b" (Wine maps Z: to the Unix root); a Windows path stays.
std::string WindowsPathOf(const std::string& path);
// "Z:\a\b" -> "/a/b"; empty for a path not on Z:.
std::string UnixPathOf(const std::string& windowsPath);

// The folder of the current test's artefacts:
// $TOLVANE_BUILD_DIR/e2e-artifacts/Suite.Test/ (or e2e-artifacts beside the
// test program), with a trailing backslash. Made when missing.
std::string ArtifactsFolder();

}  // namespace e2e
