// The filter of the Open and Save As dialogs: written as entries
// "label|pattern|" ending in an extra "|", for instance
// "HTML Files (*.html)|*.html||", and handed to the system NUL-separated.
#pragma once

#include <string>

namespace tolvane {

// The filter in the form the system takes (NUL-separated, NUL-ended).
std::string SystemFileFilter(const std::string& filter);

}  // namespace tolvane
