#include "tests/e2e/driver/Screenshot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/driver/Input.h"
#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Wait.h"
#include "tests/e2e/driver/Windows.h"

namespace e2e {
namespace {

LONGLONG SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { taken_ = false; }

  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (!result.failed() || taken_) return;
    taken_ = true;
    std::printf("[ screen     ] at the first failure, topmost first, * in front:\n%s",
                DescribeScreen().c_str());
    std::string file = SaveScreenshot(ArtifactsFolder() + "failure.png");
    if (!file.empty()) std::printf("[ screenshot ] %s\n", file.c_str());
    std::fflush(stdout);
  }

  bool taken_ = false;
};

}  // namespace

std::string SaveScreenshot(const std::string& windowsPath) {
  const std::string unixPath = UnixPathOf(windowsPath);
  if (unixPath.empty() || unixPath.find(' ') != std::string::npos) return "";
  DeleteFileA(windowsPath.c_str());
  // import cannot be waited for from here: the file is complete when it has
  // stopped growing.
  if (!StartLinuxProgram("/usr/bin/import -window root " + unixPath)) return "";
  LONGLONG last = -1;
  int steady = 0;
  bool done = WaitUntil([&] {
    LONGLONG size = SizeOf(windowsPath);
    steady = size > 0 && size == last ? steady + 1 : 0;
    last = size;
    return steady >= 4;
  });
  return done ? unixPath : "";
}

void InstallScreenshotOnFailure() {
  testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}

}  // namespace e2e
