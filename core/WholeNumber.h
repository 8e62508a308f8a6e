// Whole numbers typed into a field: how they are read, and what the user is
// told when a field holds none or one out of range.
#pragma once

#include <string>

namespace tolvane {

// Messages shown when a field holds no whole number or one out of range.
std::string NotANumberMessage();
std::string OutOfRangeMessage(int min, int max);

// Parses a whole number the way the integer fields accept it: optional
// blanks, an optional sign, digits, optional blanks. False for anything
// else, also for a number outside the range of int.
bool ParseInt(const std::string& text, int* value);

}  // namespace tolvane
