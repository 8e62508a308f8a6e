// Bar lists: one line in which every entry is followed by "|".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// The entries of a bar-list line, in file order: each "|" ends one entry,
// text after the last "|" is ignored, two bars in a row give an empty
// entry. Entries of any length are read whole.
std::vector<std::string> ParseBarList(std::string_view line);

// The file in memory form: every entry followed by "|", then a line end.
std::string FormatBarList(const std::vector<std::string>& entries);

}  // namespace tolvane
