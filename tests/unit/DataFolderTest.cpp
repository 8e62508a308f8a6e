#include "core/DataFolder.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(DataFolderPaths, AreBuiltFromTheUserName) {
  EXPECT_EQ(DataFolder("bob"),
            "C:\\Documents and Settings\\bob\\My Documents\\Tolvane\\");
  EXPECT_EQ(DataFile("bob", files::kSettings),
            "C:\\Documents and Settings\\bob\\My Documents\\Tolvane\\settings.txt");
  EXPECT_EQ(DataFile("john doe", files::kScript),
            "C:\\Documents and Settings\\john doe\\My Documents\\Tolvane\\Kavri.pl");
}

TEST(DataFolderPaths, SavedMessagesFolderIsUnderTheProfileNotMyDocuments) {
  EXPECT_EQ(SavedMessagesFolder("bob"), "C:\\Documents and Settings\\bob\\Tolvane");
  EXPECT_EQ(ProfileBase("bob"), "C:\\Documents and Settings\\bob");
}

TEST(DataFolderPaths, FileNamesAreTheOnesTheBotReads) {
  // The bot finds its files by these names; a typo here breaks it silently.
  EXPECT_STREQ(files::kReceived, "mrecived.txt");
  EXPECT_STREQ(files::kAwayList, "buddya.txt");
  EXPECT_STREQ(files::kDeliverList, "buddym.txt");
  EXPECT_STREQ(files::kTrustedList, "trustedlist.txt");
}

TEST(UserNameChoice, TakesTheFirstAnswerWhenItWorked) {
  EXPECT_EQ(ChooseUserName(true, "alice", false, ""), "alice");
}

TEST(UserNameChoice, TakesTheLongerAnswerWhenTheShortBufferWasTooSmall) {
  const std::string longName(60, 'x');
  EXPECT_EQ(ChooseUserName(false, "", true, longName), longName);
}

TEST(UserNameChoice, FallsBackWhenNoUsableNameCameBack) {
  EXPECT_EQ(ChooseUserName(false, "", false, ""), kFallbackUserName);
  EXPECT_EQ(ChooseUserName(true, "", false, ""), kFallbackUserName);
  // A name that would step out of the profile folder or split the path.
  EXPECT_EQ(ChooseUserName(true, "..", false, ""), kFallbackUserName);
  EXPECT_EQ(ChooseUserName(true, "a\\b", false, ""), kFallbackUserName);
  EXPECT_EQ(ChooseUserName(false, "", true, "x:y"), kFallbackUserName);
}

}  // namespace
}  // namespace tolvane
