// Copying a text into a fixed field of a Windows structure, the way the
// multibyte string functions do it: at most a given number of bytes, never
// half of a double-byte character, the rest of the field zeroed.
#pragma once

#include <cstddef>

namespace tolvane {

// Tells whether a byte starts a double-byte character in the code page in use.
using LeadByteTest = bool (*)(unsigned char byte);

// A code page without double-byte characters.
bool NoLeadBytes(unsigned char byte);

// Copies text into dest[0 .. limit): characters are copied whole while they
// fit; a double-byte character that would end past the limit, or whose second
// byte is missing, is left out; every byte after the copied text up to the
// limit is set to 0. A text that fills the limit gets no terminator, so the
// caller passes one byte less than the field holds. Returns the number of
// text bytes copied. A null text copies nothing.
std::size_t CopyBounded(char* dest, const char* text, std::size_t limit,
                        LeadByteTest isLeadByte);

}  // namespace tolvane
