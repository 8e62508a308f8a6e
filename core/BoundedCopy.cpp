#include "core/BoundedCopy.h"

namespace tolvane {

bool NoLeadBytes(unsigned char) { return false; }

std::size_t CopyBounded(char* dest, const char* text, std::size_t limit,
                        LeadByteTest isLeadByte) {
  std::size_t copied = 0;
  if (text != nullptr) {
    while (copied < limit && text[copied] != '\0') {
      const unsigned char byte = static_cast<unsigned char>(text[copied]);
      if (isLeadByte(byte)) {
        if (copied + 1 >= limit || text[copied + 1] == '\0') break;
        dest[copied] = text[copied];
        dest[copied + 1] = text[copied + 1];
        copied += 2;
      } else {
        dest[copied] = text[copied];
        ++copied;
      }
    }
  }
  for (std::size_t i = copied; i < limit; ++i) dest[i] = '\0';
  return copied;
}

}  // namespace tolvane
