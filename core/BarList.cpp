#include "core/BarList.h"

namespace tolvane {

std::vector<std::string> ParseBarList(std::string_view line) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (std::size_t bar = line.find('|'); bar != std::string_view::npos;
       bar = line.find('|', start)) {
    entries.emplace_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  return entries;
}

std::string FormatBarList(const std::vector<std::string>& entries) {
  std::size_t size = 1;
  for (const std::string& entry : entries) size += entry.size() + 1;
  std::string text;
  text.reserve(size);
  for (const std::string& entry : entries) {
    text += entry;
    text += '|';
  }
  text += '\n';
  return text;
}

}  // namespace tolvane
