// The Windows user name that every data-folder path is built from.
#pragma once

#include <string>

namespace tolvane {

// Asks Windows for the user name (into a 50-character buffer first, as the
// paths have always been built; a longer name is asked for again with the
// size Windows reports). Falls back to kFallbackUserName.
std::string CurrentUserName();

}  // namespace tolvane
