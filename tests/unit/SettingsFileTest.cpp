#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/TextFile.h"
#include "tests/support/TestFolder.h"

namespace tolvane {
namespace {

Settings Read(const std::string& disk) {
  return ParseSettings(SplitLines(FromDiskText(disk)));
}

TEST(SettingsFile, AllEmptyWritesTheFixedPiecesOnly) {
  EXPECT_EQ(
      ToDiskText(FormatSettings(Settings{})),
      "\r\n\r\n\r\n\r\n0\r\n0\r\n0\r\n0\r\n"
      " is away right now. If you message the AI will provide you with custom away "
      "messages, contact, and location info\r\n"
      "Hello, you've reached  in charge of taking messages for . He's not here right "
      "now, but please leave a message, or send the word info to get options\r\n");
}

TEST(SettingsFile, WritesTheTenLinesInOrder) {
  Settings s;
  s.userName = "tolvaneuser";
  s.password = "pa ss|word";
  s.chatName = "Robo";
  s.ownerName = "Kim";
  s.requireTrusted = true;
  s.autoConnect = true;
  std::string disk = ToDiskText(FormatSettings(s));
  std::vector<std::string> lines = SplitLines(FromDiskText(disk));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "tolvaneuser");
  EXPECT_EQ(lines[1], "pa ss|word");  // the password stands in clear
  EXPECT_EQ(lines[2], "Robo");
  EXPECT_EQ(lines[3], "Kim");
  EXPECT_EQ(lines[4], "1");
  EXPECT_EQ(lines[5], "0");
  EXPECT_EQ(lines[6], "0");
  EXPECT_EQ(lines[7], "1");
  EXPECT_EQ(lines[8],
            "Kim is away right now. If you message the AI will provide you with "
            "custom away messages, contact, and location info");
  EXPECT_EQ(lines[9],
            "Hello, you've reached Robo in charge of taking messages for Kim. He's "
            "not here right now, but please leave a message, or send the word info "
            "to get options");
  // Every line, the last too, ends with CR LF, and there is nothing else.
  EXPECT_EQ(disk.substr(disk.size() - 2), "\r\n");
  EXPECT_EQ(std::count(disk.begin(), disk.end(), '\n'), 10);
  EXPECT_EQ(std::count(disk.begin(), disk.end(), '\r'), 10);
}

TEST(SettingsFile, NonAsciiNamesPassThroughByteForByte) {
  Settings s;
  s.chatName = "R\xf6" "bot";         // code-page text
  s.ownerName = "J\xc3\xbcrgen";      // and bytes that look like UTF-8
  std::vector<std::string> lines = SplitLines(FormatSettings(s));
  EXPECT_EQ(lines[8].substr(0, 8), "J\xc3\xbcrgen ");
  EXPECT_NE(lines[9].find("reached R\xf6" "bot in charge"), std::string::npos);
  EXPECT_EQ(Read(ToDiskText(FormatSettings(s))), s);
}

TEST(SettingsFile, FlagsAreOnOnlyWhenTheLineStartsWithOne) {
  struct Case {
    const char* line;
    bool on;
  } cases[] = {{"1", true},     {"10", true},  {"1 ", true},  {"0", false},
               {"", false},     {" 1", false}, {"true", false}, {"yes", false},
               {"\t1", false}};
  for (const Case& c : cases) {
    std::string disk = std::string("u\r\np\r\nc\r\no\r\n") + c.line + "\r\n" + c.line +
                       "\r\n" + c.line + "\r\n" + c.line + "\r\n";
    Settings s = Read(disk);
    EXPECT_EQ(s.requireTrusted, c.on) << '"' << c.line << '"';
    EXPECT_EQ(s.saveAwayMessages, c.on) << '"' << c.line << '"';
    EXPECT_EQ(s.startWithWindows, c.on) << '"' << c.line << '"';
    EXPECT_EQ(s.autoConnect, c.on) << '"' << c.line << '"';
  }
}

TEST(SettingsFile, AShortFileFillsWhatItHas) {
  Settings s = Read("bob\r\nsecret\r\nRobo\r\n");
  EXPECT_EQ(s.userName, "bob");
  EXPECT_EQ(s.password, "secret");
  EXPECT_EQ(s.chatName, "Robo");
  EXPECT_EQ(s.ownerName, "");
  EXPECT_FALSE(s.requireTrusted || s.saveAwayMessages || s.startWithWindows ||
               s.autoConnect);
  EXPECT_EQ(Read(""), Settings{});
}

TEST(SettingsFile, LinesNineAndTenAreNotReadBack) {
  Settings s;
  s.ownerName = "Kim";
  std::string disk = ToDiskText(FormatSettings(s));
  // Hand edits of the composed lines do not survive the next save.
  std::string edited = disk.substr(0, disk.find("Kim is away")) + "edited\r\nedited\r\n";
  EXPECT_EQ(ToDiskText(FormatSettings(Read(edited))), disk);
}

TEST(SettingsFile, RoundTripsThroughTheDisk) {
  testing::TempFolder dir;
  Settings s;
  s.userName = "a";
  s.password = "b";
  s.chatName = "c";
  s.ownerName = "d";
  s.saveAwayMessages = true;
  s.startWithWindows = true;
  ASSERT_TRUE(WriteTextFile(dir.file("settings.txt"), FormatSettings(s)).ok);
  TextLines back = ReadTextLines(dir.file("settings.txt"));
  ASSERT_EQ(back.status, ReadStatus::kOk);
  EXPECT_EQ(ParseSettings(back.lines), s);
}

}  // namespace
}  // namespace tolvane
