#include "settings/SettingsFile.h"

#include "core/TextFile.h"

namespace tolvane {

bool Settings::operator==(const Settings& other) const {
  return userName == other.userName && password == other.password &&
         chatName == other.chatName && ownerName == other.ownerName &&
         requireTrusted == other.requireTrusted &&
         saveAwayMessages == other.saveAwayMessages &&
         startWithWindows == other.startWithWindows &&
         autoConnect == other.autoConnect;
}

std::string AwayText(const std::string& ownerName) {
  return ownerName +
         " is away right now. If you message the AI will provide you with custom "
         "away messages, contact, and location info";
}

std::string GreetingText(const std::string& chatName, const std::string& ownerName) {
  return "Hello, you've reached " + chatName + " in charge of taking messages for " +
         ownerName +
         ". He's not here right now, but please leave a message, or send the word "
         "info to get options";
}

Settings ParseSettings(const std::vector<std::string>& lines) {
  Settings settings;
  settings.userName = LineOrEmpty(lines, 0);
  settings.password = LineOrEmpty(lines, 1);
  settings.chatName = LineOrEmpty(lines, 2);
  settings.ownerName = LineOrEmpty(lines, 3);
  settings.requireTrusted = IsFlagOn(LineOrEmpty(lines, 4));
  settings.saveAwayMessages = IsFlagOn(LineOrEmpty(lines, 5));
  settings.startWithWindows = IsFlagOn(LineOrEmpty(lines, 6));
  settings.autoConnect = IsFlagOn(LineOrEmpty(lines, 7));
  return settings;
}

std::string FormatSettings(const Settings& settings) {
  std::string text;
  for (const std::string* line :
       {&settings.userName, &settings.password, &settings.chatName,
        &settings.ownerName}) {
    text += OneLine(*line);
    text += '\n';
  }
  for (bool flag : {settings.requireTrusted, settings.saveAwayMessages,
                    settings.startWithWindows, settings.autoConnect}) {
    text += FlagText(flag);
    text += '\n';
  }
  const std::string owner = OneLine(settings.ownerName);
  text += AwayText(owner) + '\n';
  text += GreetingText(OneLine(settings.chatName), owner) + '\n';
  return text;
}

}  // namespace tolvane
