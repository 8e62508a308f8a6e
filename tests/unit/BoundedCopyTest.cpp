// Copying texts into the fixed fields of the notification-area record.
#include "core/BoundedCopy.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvane {
namespace {

// A code page in which 0x81 to 0x9F start a double-byte character.
bool TestLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }

// Copies into a field of `size` bytes filled with 'X' first, with limit
// size - 1 as the tray does; returns the whole field.
std::string Field(const std::string& text, std::size_t size,
                  LeadByteTest lead = &NoLeadBytes) {
  std::string field(size, 'X');
  CopyBounded(field.data(), text.c_str(), size - 1, lead);
  return field;
}

TEST(CopyBounded, ShorterTextsArePaddedWithZeroBytesToTheLimit) {
  std::string field = Field("abc", 8);
  EXPECT_EQ(field, std::string("abc\0\0\0\0X", 8));  // the last byte is the caller's
}

TEST(CopyBounded, LongerTextsStopAtTheLimitWithoutTerminator) {
  for (std::size_t size : {128u, 256u, 64u}) {
    const std::string text(size + 50, 'a');
    std::string field(size, 'X');
    EXPECT_EQ(CopyBounded(field.data(), text.c_str(), size - 1, &NoLeadBytes), size - 1);
    EXPECT_EQ(field, std::string(size - 1, 'a') + "X");
  }
}

TEST(CopyBounded, ADoubleByteCharacterIsNeverCut) {
  // "ab" then a double-byte character: with a limit of 3 it does not fit.
  const std::string text = "ab\x82\xA0" "c";
  EXPECT_EQ(Field(text, 4, &TestLeadByte), std::string("ab\0X", 4));
  EXPECT_EQ(Field(text, 5, &TestLeadByte), std::string("ab\x82\xA0X", 5));
  // Without double-byte characters the same bytes are cut anywhere.
  EXPECT_EQ(Field(text, 4, &NoLeadBytes), std::string("ab\x82X", 4));
  // A lead byte at the very end of the text has no second byte: left out.
  EXPECT_EQ(Field("a\x82", 8, &TestLeadByte), std::string("a\0\0\0\0\0\0X", 8));
}

TEST(CopyBounded, NullTextCopiesNothing) {
  std::string field(4, 'X');
  EXPECT_EQ(CopyBounded(field.data(), nullptr, 3, &NoLeadBytes), 0u);
  EXPECT_EQ(field, std::string("\0\0\0X", 4));
}

}  // namespace
}  // namespace tolvane
