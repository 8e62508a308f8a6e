// The log that the stand-in programs append their records to.
//
// The file is named by the environment variable TOLVANE_STANDIN_LOG. A
// record is a block of lines "program.key=value" whose first line is
// "program.pid=N"; a program that writes more than once (ppm, a perl that
// sleeps) writes further blocks with the same first line, and a reader joins
// the blocks of one program and process id. Each block is written with one
// write on a handle opened for appending, so blocks of two processes never
// mix. CR, LF and backslash in values are written as \r, \n and \\.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace standin {

class Record {
 public:
  explicit Record(const char* program) : program_(program) {
    Add("pid", std::to_string(GetCurrentProcessId()));
  }

  void Add(const std::string& key, const std::string& value) {
    text_ += program_ + "." + key + "=" + Escape(value) + "\r\n";
  }

  // Appends the record to the log; retries while another process has the
  // log open without sharing.
  void Write() const {
    char path[MAX_PATH * 2] = {};
    DWORD length = GetEnvironmentVariableA("TOLVANE_STANDIN_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
      HANDLE file = CreateFileA(path, FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text_.data(), static_cast<DWORD>(text_.size()), &written,
                  nullptr);
        CloseHandle(file);
        return;
      }
      Sleep(20);
    }
  }

 private:
  static std::string Escape(const std::string& value) {
    std::string out;
    for (char c : value) {
      if (c == '\\') {
        out += "\\\\";
      } else if (c == '\r') {
        out += "\\r";
      } else if (c == '\n') {
        out += "\\n";
      } else {
        out += c;
      }
    }
    return out;
  }

  std::string program_;
  std::string text_;
};

inline std::string Env(const char* name, const std::string& otherwise) {
  char value[32768];
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return otherwise;
  return std::string(value, length);
}

// The time as a number of 100 ns units since 1601 (FILETIME), the clock that
// every process of the machine shares.
inline unsigned long long Now() {
  FILETIME time;
  GetSystemTimeAsFileTime(&time);
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
         time.dwLowDateTime;
}

inline std::string CurrentDirectory() {
  char folder[MAX_PATH * 2] = {};
  DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  return std::string(folder, length < sizeof folder ? length : 0);
}

// The arguments after the program name, split the way the C runtime splits
// a command line.
inline std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

}  // namespace standin
