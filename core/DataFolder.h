// Paths of the per-user data folder that the panel and the bot share.
#pragma once

#include <string>

namespace tolvane {

// The fixed root under which every user's profile folder is assumed to be.
inline constexpr const char kProfileRoot[] = "C:\\Documents and Settings\\";

// Names of the files the data folder holds.
namespace files {
inline constexpr const char kSettings[] = "settings.txt";
inline constexpr const char kContact[] = "contact.txt";
inline constexpr const char kTrustedList[] = "trustedlist.txt";
inline constexpr const char kAwayList[] = "buddya.txt";
inline constexpr const char kDeliverList[] = "buddym.txt";
inline constexpr const char kSchedule[] = "schedule.txt";
inline constexpr const char kResults[] = "results.txt";
inline constexpr const char kControl[] = "control.txt";
inline constexpr const char kReceived[] = "mrecived.txt";
inline constexpr const char kReadme[] = "README.html";
inline constexpr const char kScript[] = "Kavri.pl";
}  // namespace files

// "C:\Documents and Settings\" + user, without a trailing backslash.
std::string ProfileBase(const std::string& user);

// The data folder, with its trailing backslash:
// "C:\Documents and Settings\" + user + "\My Documents\Tolvane\".
std::string DataFolder(const std::string& user);

// A file of the data folder.
std::string DataFile(const std::string& user, const std::string& fileName);

// The folder in which the bot keeps the saved conversation pages:
// "C:\Documents and Settings\" + user + "\Tolvane", no trailing backslash.
std::string SavedMessagesFolder(const std::string& user);

// Picks the user name that the paths are built from. `firstTry` is what the
// system gave into the 50-character buffer (ok tells whether that call
// succeeded); `retry` is asked for the name again with a buffer of the size
// the first call said it needs, and may be empty. When neither gives a usable
// name, kFallbackUserName is used so that every path still names one folder.
inline constexpr const char kFallbackUserName[] = "Default User";
std::string ChooseUserName(bool ok, const std::string& firstTry, bool retryOk,
                           const std::string& retry);

}  // namespace tolvane
