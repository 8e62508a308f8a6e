// What the dialogs read from a field or hand to the system as text.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/FileFilter.h"
#include "core/WholeNumber.h"

TEST(FileFilter, BecomesTheSystemForm) {
  EXPECT_EQ(tolvane::SystemFileFilter("HTML Files (*.html)|*.html||"),
            std::string("HTML Files (*.html)\0*.html\0\0\0\0", 30));
}

TEST(WholeNumber, AcceptsOnlyWholeNumbers) {
  int value = 0;
  EXPECT_TRUE(tolvane::ParseInt("24", &value));
  EXPECT_EQ(value, 24);
  EXPECT_TRUE(tolvane::ParseInt(" -1 ", &value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(tolvane::ParseInt("+7", &value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(tolvane::ParseInt("-2147483648", &value));
  EXPECT_EQ(value, INT_MIN);
  EXPECT_FALSE(tolvane::ParseInt("", &value));
  EXPECT_FALSE(tolvane::ParseInt("-", &value));
  EXPECT_FALSE(tolvane::ParseInt("1 2", &value));
  EXPECT_FALSE(tolvane::ParseInt("ten", &value));
  EXPECT_FALSE(tolvane::ParseInt("2147483648", &value));
  EXPECT_FALSE(tolvane::ParseInt("99999999999999999999", &value));
}
