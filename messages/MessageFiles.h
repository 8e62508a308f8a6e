// The files of the buddy message editors: the key lists, the keys of the
// schedule, the message files and which names may have one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/TextFile.h"

namespace tolvane {

// ---- message text ----------------------------------------------------------

// A message with every line break as one CR LF, the editor's own form. A lone
// LF or CR counts as a line break too, and so does any run of CRs before an
// LF: earlier versions stored a typed line break as CR CR LF and added one CR
// more at every save of the file. Applying it twice changes nothing, so a
// message survives any number of saves and reloads.
std::string NormalizeLineBreaks(std::string_view text);

// The bytes of a message file for the editor's text, and the editor's text
// for the bytes of a message file.
inline std::string MessageToDisk(std::string_view text) {
  return NormalizeLineBreaks(text);
}
inline std::string MessageFromDisk(std::string_view bytes) {
  return NormalizeLineBreaks(bytes);
}

// ---- schedule --------------------------------------------------------------

// The text of a schedule entry: "9:05 bob", "14:30 bob" (hours never padded,
// minutes below 10 written with a leading 0).
std::string ScheduleKey(int hours, int minutes, const std::string& buddy);

// The buddy part of a schedule entry: the text after its first space ("" when
// it has none).
std::string BuddyPartOf(const std::string& entry);

// The entries of schedule.txt (lines in memory form), in file order. In each
// line every ":" after the first becomes a space, and each time the whole
// line as it then stands is one entry: "9:05:bob" gives "9:05 bob",
// "9:05:bob:x" gives "9:05 bob:x" and "9:05 bob x", a line with fewer than two
// ":" gives none.
std::vector<std::string> ParseScheduleLines(const std::vector<std::string>& lines);

// schedule.txt in memory form: one line per entry, its first space written as
// ":", lines separated by a line end, none after the last.
std::string FormatScheduleList(const std::vector<std::string>& entries);

// ---- names -----------------------------------------------------------------

// Why a buddy name cannot have a message file whose name is the buddy name
// followed by `suffix` in the data folder, as a clause that can follow the
// name in a message ("it contains the character \"|\", which ..."); "" when
// it can. Refused are: a character Windows does not allow in a file name
// (\ / : * ? " < > | and the control characters), a message file name that
// Windows takes for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9,
// with or without an extension: "con" with ".txt", "con.x" with any suffix,
// but not "con" with "a.txt"), and a message file that would be one of the
// data folder's own files. The empty name, names with blanks inside and
// names ending in a blank or a dot are allowed.
std::string NameProblem(std::string_view name, std::string_view suffix);

// The longest path, in characters, that the program's file calls take
// (MAX_PATH less the terminating NUL).
inline constexpr std::size_t kMaxPathChars = 259;
// The longest message file path that can be saved: every save first writes
// the path with a temporary suffix, which must fit in kMaxPathChars too.
inline constexpr std::size_t kLongestMessagePath = kMaxPathChars - kTemporarySuffixChars;

// NameProblem, and also a message file whose path in `folder` (with its
// trailing separator) would be longer than kLongestMessagePath.
std::string MessageFileProblem(std::string_view folder, std::string_view name,
                               std::string_view suffix);

// Whether a file name (without folder) is one of the files that the data
// folder holds for the program and the bot, case ignored as Windows does.
bool IsDataFolderFile(std::string_view fileName);

}  // namespace tolvane
