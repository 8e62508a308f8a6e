// The few operating-system file operations the text files are built on.
// One implementation for Windows and one for POSIX systems.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/FileResult.h"

namespace tolvane::fs {

// Reads up to maxBytes (all of the file when maxBytes is npos). The file is
// opened with full sharing, so that a writer may replace it meanwhile.
FileContent Read(const std::string& path, std::size_t maxBytes);

// Writes bytes to a new file at path, failing when a file of that name
// exists; the data is flushed to the disk before the file is closed.
WriteResult WriteNew(const std::string& path, std::string_view bytes);

// Puts `from` in the place of `to`, replacing it. Retries briefly while
// another process holds `to` open.
WriteResult Replace(const std::string& from, const std::string& to);

// Removes a file; errors are ignored.
void Remove(const std::string& path);

// Creates an empty file unless one exists.
WriteResult CreateIfMissing(const std::string& path);

// Opens a file for writing with truncation (creating it when missing) and
// closes it again: the file is then empty. Others may hold it open for
// reading or writing meanwhile.
WriteResult Truncate(const std::string& path);

enum class Kind { kNone, kFile, kFolder };
Kind KindOf(const std::string& path);

// A number that differs between processes, for names of temporary files.
unsigned long ProcessId();

}  // namespace tolvane::fs
