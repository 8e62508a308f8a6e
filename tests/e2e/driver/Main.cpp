// main() of an end-to-end test program:
//   tolvane_e2e_tests.exe [--tolvane=PATH] [--standins=FOLDER] [gtest flags]
#include <gtest/gtest.h>

#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Screenshot.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  e2e::InitLocations(argc, argv);
  e2e::InstallScreenshotOnFailure();
  return RUN_ALL_TESTS();
}
