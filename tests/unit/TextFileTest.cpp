#include <gtest/gtest.h>
#include "app/TextFile.h"
TEST(TextFile, Placeholder) { EXPECT_EQ(tolvane::ToDiskText("a\n"), "a\r\n"); }
