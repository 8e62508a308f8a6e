#include "core/BarList.h"

#include <gtest/gtest.h>

#include "core/TextFile.h"

namespace tolvane {
namespace {

using Names = std::vector<std::string>;

TEST(BarList, EachBarEndsOneEntry) {
  EXPECT_EQ(ParseBarList("alice|bob|carol|"), (Names{"alice", "bob", "carol"}));
  EXPECT_EQ(ParseBarList(""), Names{});
}

TEST(BarList, TextAfterTheLastBarIsIgnored) {
  EXPECT_EQ(ParseBarList("alice|bob"), (Names{"alice"}));
  EXPECT_EQ(ParseBarList("no bar at all"), Names{});
}

TEST(BarList, BarsAloneGiveEmptyEntries) {
  EXPECT_EQ(ParseBarList("||"), (Names{"", ""}));
  EXPECT_EQ(ParseBarList("|a||"), (Names{"", "a", ""}));
}

TEST(BarList, EntriesOfAnyLengthAreReadWhole) {
  const std::string longName(150, 'n');
  EXPECT_EQ(ParseBarList(longName + "|x|"), (Names{longName, "x"}));
}

TEST(BarList, WritesEveryEntryWithItsBarAndOneLineEnd) {
  EXPECT_EQ(ToDiskText(FormatBarList({"carol", "bob", "alice"})),
            "carol|bob|alice|\r\n");
  EXPECT_EQ(ToDiskText(FormatBarList({})), "\r\n");
  EXPECT_EQ(ToDiskText(FormatBarList({""})), "|\r\n");
}

TEST(BarList, RoundTrips) {
  Names names{"a b", "", "x\xe9y", "z"};
  std::vector<std::string> lines = SplitLines(FromDiskText(ToDiskText(FormatBarList(names))));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(ParseBarList(lines[0]), names);
}

}  // namespace
}  // namespace tolvane
