// contact.txt: the owner's contact details that the bot hands out. Five
// lines, each ending in a line end.
#pragma once

#include <string>
#include <vector>

namespace tolvane {

struct Contact {
  std::string phone;
  std::string homepage;
  std::string email;
  std::string cellPhone;
  std::string websites;

  bool operator==(const Contact& other) const;
};

// The first five lines; a missing line reads as empty, further lines are
// not read.
Contact ParseContact(const std::vector<std::string>& lines);
// The five lines in memory form (LF line ends).
std::string FormatContact(const Contact& contact);

}  // namespace tolvane
