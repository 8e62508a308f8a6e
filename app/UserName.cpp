#include "app/UserName.h"

#include <windows.h>

#include <vector>

#include "core/DataFolder.h"

namespace tolvane {

std::string CurrentUserName() {
  char buffer[50] = {};
  DWORD size = sizeof buffer;
  bool ok = GetUserNameA(buffer, &size) != FALSE;
  std::string first = ok ? std::string(buffer) : std::string();

  bool retryOk = false;
  std::string retry;
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > sizeof buffer &&
      size < 32768) {
    std::vector<char> larger(size + 1, '\0');
    DWORD largerSize = static_cast<DWORD>(larger.size());
    retryOk = GetUserNameA(larger.data(), &largerSize) != FALSE;
    if (retryOk) retry = larger.data();
  }
  return ChooseUserName(ok, first, retryOk, retry);
}

}  // namespace tolvane
