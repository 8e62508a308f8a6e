#include <gtest/gtest.h>

#include "framework/Dialog.h"

TEST(ParseInt, AcceptsSignedNumbers) {
  int v = 0;
  EXPECT_TRUE(fw::ParseInt("24", &v));
  EXPECT_EQ(v, 24);
}
