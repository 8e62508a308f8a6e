#include "core/WholeNumber.h"

#include <cctype>
#include <climits>

namespace tolvane {

std::string NotANumberMessage() { return "Please type a whole number here."; }

std::string OutOfRangeMessage(int min, int max) {
  return "Please type a whole number from " + std::to_string(min) + " to " +
         std::to_string(max) + ".";
}

bool ParseInt(const std::string& text, int* value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto blank = [&](std::size_t k) {
    return std::isspace(static_cast<unsigned char>(text[k])) != 0;
  };
  while (i < n && blank(i)) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t digitsStart = i;
  long long number = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    number = number * 10 + (text[i] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) return false;
    ++i;
  }
  if (i == digitsStart) return false;
  while (i < n && blank(i)) ++i;
  if (i != n) return false;
  if (negative) number = -number;
  if (number < INT_MIN || number > INT_MAX) return false;
  *value = static_cast<int>(number);
  return true;
}

}  // namespace tolvane
