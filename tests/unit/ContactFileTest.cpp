#include "settings/ContactFile.h"

#include <gtest/gtest.h>

#include "core/TextFile.h"

namespace tolvane {
namespace {

Contact Read(const std::string& disk) { return ParseContact(SplitLines(FromDiskText(disk))); }
std::string Write(const Contact& c) { return ToDiskText(FormatContact(c)); }

TEST(ContactFile, TwoLinesInFiveLinesOut) {
  Contact c = Read("555-1234\r\nhttp://example.org\r\n");
  EXPECT_EQ(c.phone, "555-1234");
  EXPECT_EQ(c.homepage, "http://example.org");
  EXPECT_EQ(c.email, "");
  EXPECT_EQ(Write(c), "555-1234\r\nhttp://example.org\r\n\r\n\r\n\r\n");
}

TEST(ContactFile, SevenLinesInFiveLinesOut) {
  Contact c = Read("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
  EXPECT_EQ(c.websites, "5");
  EXPECT_EQ(Write(c), "1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST(ContactFile, AllEmptyIsFiveLineEnds) {
  EXPECT_EQ(Write(Contact{}), "\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Read(""), Contact{});
}

TEST(ContactFile, ALineBreakInsideAFieldCannotShiftTheLines) {
  Contact c;
  c.email = "a@b.c\r\nd";
  c.websites = "one\ntwo\rthree";
  std::string disk = Write(c);
  EXPECT_EQ(disk, "\r\n\r\na@b.c d\r\n\r\none two three\r\n");
  EXPECT_EQ(Read(disk).websites, "one two three");
}

TEST(OneLine, TurnsEachLineBreakIntoOneBlank) {
  EXPECT_EQ(OneLine("a\r\nb\nc\rd"), "a b c d");
  EXPECT_EQ(OneLine("plain"), "plain");
}

}  // namespace
}  // namespace tolvane
