// settings.txt: the account, names and options the bot runs with.
//
// Ten lines, each ending in a line end: user name, password, chat AI name,
// owner name, four flags ("1" or "0"), then the away text and the greeting
// composed from the names.
#pragma once

#include <string>
#include <vector>

namespace tolvane {

struct Settings {
  std::string userName;
  std::string password;
  std::string chatName;
  std::string ownerName;
  bool requireTrusted = false;
  bool saveAwayMessages = false;
  bool startWithWindows = false;
  bool autoConnect = false;

  bool operator==(const Settings& other) const;
};

// Line 9: what the bot says about the owner being away.
std::string AwayText(const std::string& ownerName);
// Line 10: the greeting a buddy gets first.
std::string GreetingText(const std::string& chatName, const std::string& ownerName);

// Reads the first eight lines; a missing line reads as empty (or as a clear
// flag). Lines from 9 on are not looked at.
Settings ParseSettings(const std::vector<std::string>& lines);

// The whole file in memory form (LF line ends; stored as CR LF).
std::string FormatSettings(const Settings& settings);

}  // namespace tolvane
