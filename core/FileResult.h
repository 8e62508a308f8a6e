// What reading or writing a file of the data folder gave: the bytes or the
// reason it failed.
#pragma once

#include <string>

namespace tolvane {

enum class ReadStatus {
  kOk,       // the file was read
  kMissing,  // there is no such file (or its folder is missing)
  kFailed,   // the file is there but could not be read (locked, denied, ...)
};

struct FileContent {
  ReadStatus status = ReadStatus::kMissing;
  std::string bytes;  // what was read; empty unless status is kOk
  std::string error;  // a readable reason when status is kFailed
  bool ok() const { return status == ReadStatus::kOk; }
};

struct WriteResult {
  bool ok = true;
  std::string error;  // a readable reason when !ok
};

}  // namespace tolvane
