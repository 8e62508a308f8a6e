#include "core/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/support/TestFolder.h"
#include "tests/unit/ReadOnlyFolder.h"

namespace tolvane {
namespace {

using testing::ScopedReadOnlyFolder;
using testing::TempFolder;

TEST(TextMode, LineEndsBecomeCrLfOnDiskAndLfInMemory) {
  EXPECT_EQ(ToDiskText("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(FromDiskText("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(ToDiskText(""), "");
}

TEST(TextMode, LoneCarriageReturnsAreKept) {
  EXPECT_EQ(FromDiskText("a\rb\r"), "a\rb\r");
  // CR CR LF: only the CR directly before the LF belongs to the line end.
  EXPECT_EQ(FromDiskText("a\r\r\nb"), "a\r\nb");
  // NUL and Ctrl-Z are ordinary bytes, not the end of the file.
  EXPECT_EQ(FromDiskText(std::string("a\0b\x1a" "c\r\n", 7)),
            std::string("a\0b\x1a" "c\n", 6));
}

TEST(SplitLines, BehavesLikeALineByLineReader) {
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("a"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\n\n"), (std::vector<std::string>{"", ""}));
}

TEST(LineOrEmpty, GivesEmptyPastTheEnd) {
  std::vector<std::string> lines{"one", "two"};
  EXPECT_EQ(LineOrEmpty(lines, 1), "two");
  EXPECT_EQ(LineOrEmpty(lines, 7), "");
}

TEST(FlagLine, OnExactlyWhenTheFirstCharacterIsOne) {
  EXPECT_TRUE(IsFlagOn("1"));
  EXPECT_TRUE(IsFlagOn("10"));
  EXPECT_TRUE(IsFlagOn("1 "));
  EXPECT_FALSE(IsFlagOn("0"));
  EXPECT_FALSE(IsFlagOn(""));
  EXPECT_FALSE(IsFlagOn(" 1"));
  EXPECT_FALSE(IsFlagOn("true"));
  EXPECT_FALSE(IsFlagOn("yes"));
}

TEST(FirstLine, DropsTheLineEndAndStopsAtTheLimit) {
  EXPECT_EQ(FirstLineOf("Connected!\r\nmore", 499), "Connected!");
  EXPECT_EQ(FirstLineOf("Connected!", 499), "Connected!");
  EXPECT_EQ(FirstLineOf("", 499), "");
  EXPECT_EQ(FirstLineOf("\r\nsecond", 499), "");
  EXPECT_EQ(FirstLineOf(std::string(600, 'x'), 499), std::string(499, 'x'));
  // A CR that is not part of the line end stays part of the line.
  EXPECT_EQ(FirstLineOf("a\r\r\n", 499), "a\r");
}

TEST(FirstLine, ReadsOnlyTheStartOfALargeFile) {
  TempFolder dir;
  std::string big = std::string(498, 'y') + "\r\n" + std::string(5'000'000, 'z');
  dir.Write("results.txt", big);
  EXPECT_EQ(ReadFirstLine(dir.file("results.txt")), std::string(498, 'y'));
  EXPECT_EQ(ReadFilePrefix(dir.file("results.txt"), 500).bytes.size(), 500u);
}

TEST(FirstLine, HandlesTheLineEndAtTheLimit) {
  TempFolder dir;
  // 498 characters and a lone CR: the CR is the 499th character.
  dir.Write("a.txt", std::string(498, 'y') + "\rX");
  EXPECT_EQ(ReadFirstLine(dir.file("a.txt")), std::string(498, 'y') + "\r");
  // 499 characters, then the line end: all 499 are kept.
  dir.Write("b.txt", std::string(499, 'y') + "\r\n");
  EXPECT_EQ(ReadFirstLine(dir.file("b.txt")), std::string(499, 'y'));
}

TEST(FirstLine, MissingFileReadsAsEmpty) {
  TempFolder dir;
  EXPECT_EQ(ReadFirstLine(dir.file("nothing.txt")), "");
}

TEST(ReadWholeFile, TellsMissingFromUnreadable) {
  TempFolder dir;
  EXPECT_EQ(ReadWholeFile(dir.file("none.txt")).status, ReadStatus::kMissing);
  EXPECT_EQ(ReadWholeFile(dir.file("no-folder/none.txt")).status,
            ReadStatus::kMissing);
  // A folder where a file is expected cannot be read.
  ::mkdir(dir.file("folder.txt").c_str(), 0755);
  FileContent folder = ReadWholeFile(dir.file("folder.txt"));
  EXPECT_EQ(folder.status, ReadStatus::kFailed);
  EXPECT_FALSE(folder.error.empty());

  dir.Write("x.txt", std::string("a\0b", 3));
  FileContent content = ReadWholeFile(dir.file("x.txt"));
  ASSERT_TRUE(content.ok());
  EXPECT_EQ(content.bytes, std::string("a\0b", 3));
}

TEST(ReadTextLines, ConvertsAndSplits) {
  TempFolder dir;
  dir.Write("s.txt", "bob\r\nsecret\r\n\r\n");
  TextLines read = ReadTextLines(dir.file("s.txt"));
  ASSERT_EQ(read.status, ReadStatus::kOk);
  EXPECT_EQ(read.lines, (std::vector<std::string>{"bob", "secret", ""}));
}

TEST(AtomicWrite, ReplacesTheWholeFile) {
  TempFolder dir;
  dir.Write("settings.txt", "old content that is longer\r\n");
  WriteResult result = WriteTextFile(dir.file("settings.txt"), "new\n");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(dir.Read("settings.txt"), "new\r\n");
  // Nothing is left beside it.
  EXPECT_EQ(dir.Listing(), "settings.txt;");
}

TEST(AtomicWrite, CreatesAMissingFile) {
  TempFolder dir;
  ASSERT_TRUE(WriteFileAtomically(dir.file("contact.txt"), "").ok);
  EXPECT_EQ(dir.Read("contact.txt"), "");
}

TEST(AtomicWrite, FailureInAMissingFolderIsReported) {
  TempFolder dir;
  WriteResult result = WriteFileAtomically(dir.file("gone/settings.txt"), "x");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
}

TEST(AtomicWrite, FailureInAReadOnlyFolderLeavesTheOldFileWhole) {
  TempFolder dir;
  dir.Write("settings.txt", "keep me\r\n");
  ScopedReadOnlyFolder readOnly(dir.folder());
  if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
  WriteResult result = WriteTextFile(dir.file("settings.txt"), "lost\n");
  readOnly.Release();
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(dir.Read("settings.txt"), "keep me\r\n");
  EXPECT_EQ(dir.Listing(), "settings.txt;");
}

TEST(AtomicWrite, ATargetThatIsAFolderFailsAndCleansUp) {
  TempFolder dir;
  ::mkdir(dir.file("buddya.txt").c_str(), 0755);
  ::mkdir(dir.file("buddya.txt/inside").c_str(), 0755);
  WriteResult result = WriteFileAtomically(dir.file("buddya.txt"), "x");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(dir.Listing(), "buddya.txt;");
}

TEST(CreateEmptyIfMissing, NeverEmptiesAnExistingFile) {
  TempFolder dir;
  dir.Write("boba.txt", "a message\r\n");
  ASSERT_TRUE(CreateEmptyIfMissing(dir.file("boba.txt")).ok);
  EXPECT_EQ(dir.Read("boba.txt"), "a message\r\n");
  ASSERT_TRUE(CreateEmptyIfMissing(dir.file("amya.txt")).ok);
  EXPECT_EQ(dir.Read("amya.txt"), "");
  EXPECT_FALSE(CreateEmptyIfMissing(dir.file("gone/x.txt")).ok);
}

TEST(EmptyFile, TruncatesInPlaceOrCreates) {
  TempFolder dir;
  dir.Write("results.txt", std::string(10000, 'r') + "\r\nmore\r\n");
  ASSERT_TRUE(EmptyFile(dir.file("results.txt")).ok);
  EXPECT_EQ(dir.Read("results.txt"), "");
  // No results file yet: an empty one is made, and nothing else is left.
  ASSERT_TRUE(EmptyFile(dir.file("new.txt")).ok);
  EXPECT_EQ(dir.Read("new.txt"), "");
  EXPECT_EQ(dir.Listing(), "new.txt;results.txt;");
  EXPECT_FALSE(EmptyFile(dir.file("gone/results.txt")).ok);
}

TEST(Existence, FilesAndFolders) {
  TempFolder dir;
  dir.Write("f.txt", "");
  EXPECT_TRUE(FileExists(dir.file("f.txt")));
  EXPECT_FALSE(FolderExists(dir.file("f.txt")));
  EXPECT_TRUE(FolderExists(dir.folder()));
  EXPECT_FALSE(FileExists(dir.file("none")));
}

}  // namespace
}  // namespace tolvane
