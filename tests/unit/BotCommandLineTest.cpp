// The command line that starts the bot script.
#include "core/BotCommandLine.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

const std::string kLong =
    "C:\\Documents and Settings\\root\\My Documents\\Tolvane\\Kavri.pl";

TEST(BotCommandLine, TheShortFormGoesOnTheLineAsItIs) {
  EXPECT_EQ(BotCommandLine(true, "C:\\DOCUME~1\\root\\MYDOCU~1\\Tolvane\\Kavri.pl", kLong),
            "perl C:\\DOCUME~1\\root\\MYDOCU~1\\Tolvane\\Kavri.pl");
}

TEST(BotCommandLine, WithoutAShortFormTheLongPathIsQuoted) {
  // 8.3 names switched off: the system gives the long path back, blanks and all.
  EXPECT_EQ(BotCommandLine(true, kLong, kLong), "perl \"" + kLong + "\"");
  // The short form could not be had at all.
  EXPECT_EQ(BotCommandLine(false, "", kLong), "perl \"" + kLong + "\"");
  EXPECT_EQ(BotCommandLine(true, "", kLong), "perl \"" + kLong + "\"");
  // A folder on the way without a short name leaves a blank in the short form.
  EXPECT_EQ(BotCommandLine(true, "C:\\DOCUME~1\\root\\My Documents\\Tolvane\\Kavri.pl", kLong),
            "perl \"C:\\DOCUME~1\\root\\My Documents\\Tolvane\\Kavri.pl\"");
}

TEST(BotCommandLine, ALongPathWithoutBlanksIsQuotedOnlyWhenNoShortFormCame) {
  EXPECT_EQ(BotCommandLine(true, "C:\\Bot\\Kavri.pl", "C:\\Bot\\Kavri.pl"),
            "perl C:\\Bot\\Kavri.pl");
  EXPECT_EQ(BotCommandLine(false, "", "C:\\Bot\\Kavri.pl"), "perl \"C:\\Bot\\Kavri.pl\"");
}

}  // namespace
}  // namespace tolvane
