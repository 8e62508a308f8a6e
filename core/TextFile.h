// Text files of the data folder.
//
// Every file is 8-bit text in "text mode": a line ends with CR LF on disk and
// with LF in memory. The conversion is done here, explicitly, so that it is
// the same on every platform: the files are opened in binary and converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileResult.h"

namespace tolvane {

// Reads a whole file as raw bytes.
FileContent ReadWholeFile(const std::string& path);

// Reads at most maxBytes from the start of a file.
FileContent ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// CR LF -> LF. A lone CR stays.
std::string FromDiskText(std::string_view disk);
// LF -> CR LF.
std::string ToDiskText(std::string_view text);

// Cuts text (already in memory form) into lines the way a line-by-line reader
// does: each line ends at a LF, which is not kept; a last line without LF is
// a line too; a file that ends with LF has no empty line after it.
std::vector<std::string> SplitLines(std::string_view text);

// Reads the lines of a text file. A file that cannot be read gives no lines;
// status tells why.
struct TextLines {
  ReadStatus status = ReadStatus::kMissing;
  std::vector<std::string> lines;
  std::string error;
};
TextLines ReadTextLines(const std::string& path);

// Line `index` (0-based) of `lines`, or "" when there are fewer lines.
const std::string& LineOrEmpty(const std::vector<std::string>& lines,
                               std::size_t index);

// The first line of a text file, at most maxChars characters of it (a CR
// before the LF is dropped). Reads only maxChars + 1 bytes, whatever the size
// of the file. A missing or unreadable file gives "".
inline constexpr std::size_t kStatusLineChars = 499;
std::string ReadFirstLine(const std::string& path,
                          std::size_t maxChars = kStatusLineChars);
// The same rule applied to bytes already read.
std::string FirstLineOf(std::string_view disk, std::size_t maxChars);

// A value that must stay on one line of a file: each line break in it
// (CR LF, CR or LF) becomes a blank, so it cannot shift the lines after it.
std::string OneLine(std::string_view value);

// A flag line ("1" or "0"): on exactly when its first character is "1".
inline bool IsFlagOn(std::string_view line) {
  return !line.empty() && line.front() == '1';
}
inline const char* FlagText(bool on) { return on ? "1" : "0"; }

// Replaces a file's content as a whole: the new bytes are written beside the
// file and put in its place only once they are complete, so a failed or
// interrupted save leaves the old file as it was. The result says why a save
// failed.
WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// The file WriteFileAtomically writes the new bytes to: the path followed by
// at most kTemporarySuffixChars characters (".~", the process id of up to
// ten digits, ".new"). A path can be saved only when this one is not too
// long for the system either.
std::string TemporaryPathFor(const std::string& path);
inline constexpr std::size_t kTemporarySuffixChars = 16;

// The same with text in memory form (LF line ends), stored as CR LF.
inline WriteResult WriteTextFile(const std::string& path, std::string_view text) {
  return WriteFileAtomically(path, ToDiskText(text));
}

// Creates an empty file when there is none. An existing file, readable or
// not, is left alone.
WriteResult CreateEmptyIfMissing(const std::string& path);

// Empties a file in place (truncates it to length 0), creating it when it is
// missing; a writer that has the file open keeps it open.
WriteResult EmptyFile(const std::string& path);

// Whether a path names an existing folder.
bool FolderExists(const std::string& path);
// Whether a path names an existing file (or anything else that is not a folder).
bool FileExists(const std::string& path);

}  // namespace tolvane
