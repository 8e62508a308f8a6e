// Starting a Windows program under Wine on a busy machine: now and then
// Wine's loader fails the start with its internal error
// (ERROR_INTERNAL_ERROR, 1359) before the new program has run. Test code
// takes that as a failed start and tries once more, and says so.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace wine_testing {

// Runs create (a CreateProcess call) and returns what it returned; after
// the loader's internal error it runs it once more.
inline BOOL CreateProcessOnceMoreAfterLoaderError(const std::string& what,
                                                  const std::function<BOOL()>& create) {
  if (create()) return TRUE;
  if (GetLastError() != ERROR_INTERNAL_ERROR) return FALSE;
  std::printf("[ start      ] %s: Wine's loader failed the start with error %ld (an "
              "internal error); starting it once more\n",
              what.c_str(), ERROR_INTERNAL_ERROR);
  std::fflush(stdout);
  return create();
}

}  // namespace wine_testing
