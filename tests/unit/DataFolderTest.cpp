#include <gtest/gtest.h>
#include "app/DataFolder.h"
TEST(DataFolder, Paths) { EXPECT_EQ(tolvane::DataFolder("bob"), "C:\\Documents and Settings\\bob\\My Documents\\Tolvane\\"); }
