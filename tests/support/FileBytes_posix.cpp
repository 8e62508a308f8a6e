#include <fstream>
#include <iterator>

#include "tests/support/TestFolder.h"

namespace tolvane::testing {

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace tolvane::testing
