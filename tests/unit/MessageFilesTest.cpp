#include "messages/MessageFiles.h"

#include <gtest/gtest.h>

#include "core/TextFile.h"

namespace tolvane {
namespace {

using Entries = std::vector<std::string>;

TEST(MessageText, TypedLineBreaksStayOneCrLf) {
  EXPECT_EQ(MessageToDisk("a\r\nb"), "a\r\nb");
  EXPECT_EQ(MessageToDisk("a\r\n\r\nb\r\n"), "a\r\n\r\nb\r\n");
  EXPECT_EQ(MessageToDisk(""), "");
  EXPECT_EQ(MessageToDisk("no break"), "no break");
}

TEST(MessageText, TheOldCrCrLfFormReadsAsSingleLineBreaks) {
  // How earlier versions stored "a", a line break, an empty line, "b".
  EXPECT_EQ(MessageFromDisk("a\r\r\n\r\r\nb"), "a\r\n\r\nb");
  EXPECT_EQ(MessageFromDisk("Hi\r\r\n"), "Hi\r\n");
  // Each save of such a file added one CR more.
  EXPECT_EQ(MessageFromDisk("a\r\r\r\nb\r\r\r\r\n"), "a\r\nb\r\n");
  // CRs that no LF follows stay one line break each.
  EXPECT_EQ(MessageFromDisk("a\r\r\r"), "a\r\n\r\n\r\n");
}

TEST(MessageText, BareLineFeedsAndCarriageReturnsBecomeCrLf) {
  EXPECT_EQ(MessageFromDisk("a\nb\rc"), "a\r\nb\r\nc");
  EXPECT_EQ(MessageFromDisk("\r"), "\r\n");
}

TEST(MessageText, SavingAndReloadingChangesNothing) {
  for (std::string text : {"a\r\nb", "x\r\n", "\r\n\r\n", "a\r\r\nb\n\rc", "plain"}) {
    std::string once = MessageFromDisk(MessageToDisk(text));
    std::string twice = MessageFromDisk(MessageToDisk(once));
    EXPECT_EQ(once, twice) << text;
    EXPECT_EQ(MessageToDisk(once), once) << text;
  }
}

TEST(ScheduleKey, MinutesBelowTenGetALeadingZeroHoursNever) {
  EXPECT_EQ(ScheduleKey(9, 5, "bob"), "9:05 bob");
  EXPECT_EQ(ScheduleKey(14, 30, "bob"), "14:30 bob");
  EXPECT_EQ(ScheduleKey(9, 10, "bob"), "9:10 bob");
  EXPECT_EQ(ScheduleKey(24, 60, "bob"), "24:60 bob");
  EXPECT_EQ(ScheduleKey(0, 0, ""), "0:00 ");
}

TEST(ScheduleKey, TheBuddyPartIsTheTextAfterTheFirstSpace) {
  EXPECT_EQ(BuddyPartOf("9:05 john doe"), "john doe");
  EXPECT_EQ(BuddyPartOf("9:05 "), "");
  EXPECT_EQ(BuddyPartOf("9:05 bob:x"), "bob:x");
  EXPECT_EQ(BuddyPartOf("nospace"), "");
}

TEST(ScheduleList, EachColonAfterTheFirstMakesOneEntry) {
  EXPECT_EQ(ParseScheduleLines({"9:05:bob", "14:30:amy"}),
            (Entries{"9:05 bob", "14:30 amy"}));
  EXPECT_EQ(ParseScheduleLines({"9:05:bob:x"}), (Entries{"9:05 bob:x", "9:05 bob x"}));
  EXPECT_EQ(ParseScheduleLines({"hello", "9:05", "", "9:05:john doe"}),
            (Entries{"9:05 john doe"}));
  EXPECT_EQ(ParseScheduleLines(SplitLines(FromDiskText("9:05:bob\r\n\r\n"))),
            (Entries{"9:05 bob"}));
}

TEST(ScheduleList, WritesOneLinePerEntryWithNoLineEndAfterTheLast) {
  EXPECT_EQ(ToDiskText(FormatScheduleList({"9:05 bob", "14:30 amy"})),
            "9:05:bob\r\n14:30:amy");
  EXPECT_EQ(FormatScheduleList({}), "");
  EXPECT_EQ(FormatScheduleList({"9:05 john doe", "0:00 "}), "9:05:john doe\n0:00:");
}

TEST(ScheduleList, EntriesComeBackAsTheyWereStored) {
  Entries entries{"9:05 john doe", "24:60 bob", "0:00 "};
  EXPECT_EQ(ParseScheduleLines(SplitLines(FormatScheduleList(entries))), entries);
}

// ---- names ------------------------------------------------------------------

TEST(NameProblem, OrdinaryNamesAreAllowed) {
  // The suffix always follows: no message file name ends in a blank or a dot.
  for (const char* name : {"", "bob", "john doe", " lead", "bob.smith", "conan",
                           "com10", "lpt", "nullify", "a..b", "x\xe9y", "bob.",
                           "bob ", ".", ".."}) {
    EXPECT_EQ(NameProblem(name, "a.txt"), "") << name;
    EXPECT_EQ(NameProblem(name, ".txt"), "") << name;
    EXPECT_EQ(NameProblem(name, "s.txt"), "") << name;
  }
}

TEST(NameProblem, CharactersWindowsForbidsAreRefusedAndNamed) {
  for (char c : std::string("\\/:*?\"<>|")) {
    std::string problem = NameProblem(std::string("a") + c + "b", ".txt");
    EXPECT_NE(problem.find(std::string("\"") + c + "\""), std::string::npos) << c;
  }
  EXPECT_NE(NameProblem("tab\there", ".txt").find("control character"),
            std::string::npos);
  EXPECT_NE(NameProblem(std::string("nul\0x", 5), ".txt"), "");
  EXPECT_NE(NameProblem("line\nbreak", "a.txt"), "");
}

TEST(NameProblem, ANameIsRefusedOnlyWhenItsMessageFileNamesADevice) {
  // "con.txt" is the device, with or without a further extension.
  for (const char* name : {"con", "CON", "Prn", "aux", "nul", "com1", "COM9", "lpt1",
                           "LPT9", "conin$", "com\xb9", "com1 ", "nul.x"}) {
    EXPECT_NE(NameProblem(name, ".txt").find("device"), std::string::npos) << name;
  }
  // "cona.txt" and "nuls.txt" are ordinary files; "con.xa.txt" is the device.
  for (const char* name : {"con", "nul", "aux", "com1", "lpt1", "com\xb9"}) {
    EXPECT_EQ(NameProblem(name, "a.txt"), "") << name;
    EXPECT_EQ(NameProblem(name, "s.txt"), "") << name;
  }
  for (const char* name : {"con.x", "NUL.txt", "com1 .x"}) {
    EXPECT_NE(NameProblem(name, "a.txt").find("device"), std::string::npos) << name;
    EXPECT_NE(NameProblem(name, "s.txt").find("device"), std::string::npos) << name;
  }
}

TEST(NameProblem, AMessageFileMayNotBeOneOfTheDataFolderFiles) {
  EXPECT_NE(NameProblem("buddy", "a.txt").find("\"buddya.txt\""), std::string::npos);
  EXPECT_NE(NameProblem("settings", ".txt").find("\"settings.txt\""),
            std::string::npos);
  EXPECT_NE(NameProblem("setting", "s.txt").find("\"settings.txt\""),
            std::string::npos);
  EXPECT_NE(NameProblem("BUDDY", "a.txt"), "");  // Windows ignores case
  for (const char* name : {"contact", "trustedlist", "buddya", "buddym", "schedule",
                           "results", "control", "mrecived"}) {
    EXPECT_NE(NameProblem(name, ".txt"), "") << name;
  }
  // The same names are harmless with the other suffixes.
  EXPECT_EQ(NameProblem("buddy", ".txt"), "");
  EXPECT_EQ(NameProblem("settings", "a.txt"), "");
  EXPECT_EQ(NameProblem("setting", ".txt"), "");
  EXPECT_EQ(NameProblem("schedule", "s.txt"), "");
}

TEST(MessageFileProblem, APathLongerThanWindowsTakesIsRefusedWithTheLengthAllowed) {
  const std::string folder = "C:\\Documents and Settings\\alex\\My Documents\\Tolvane\\";
  const std::size_t room = kLongestMessagePath - folder.size() - std::string("a.txt").size();
  EXPECT_EQ(MessageFileProblem(folder, std::string(room, 'n'), "a.txt"), "");
  const std::string refused = MessageFileProblem(folder, std::string(room + 1, 'n'), "a.txt");
  EXPECT_NE(refused.find("too long"), std::string::npos) << refused;
  EXPECT_NE(refused.find("at most " + std::to_string(room) + " for the name"),
            std::string::npos)
      << refused;
  // The shorter suffix leaves room for one character more.
  EXPECT_EQ(MessageFileProblem(folder, std::string(room + 1, 'n'), ".txt"), "");
  // The name's own problems come first.
  EXPECT_NE(MessageFileProblem(folder, "a|b", "a.txt").find("\"|\""), std::string::npos);
}

}  // namespace
}  // namespace tolvane
