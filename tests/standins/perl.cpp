// Stand-in for the Perl interpreter: records how it was started, then acts
// out a small behaviour script so that a test can play the bot.
//
// Record (see StandinLog.h): perl.cmdline (GetCommandLineA verbatim),
// perl.dwFlags and perl.wShowWindow (GetStartupInfoA), perl.cwd,
// perl.argc, perl.arg1, perl.arg1.exists (1 or 0), perl.arg1.long
// (GetLongPathNameA of the first argument, empty when that fails),
// perl.started (FILETIME number), perl.behaviour.
//
// Behaviour script, from TOLVANE_PERL_BEHAVIOUR (default "wait"): commands
// separated by ";", run in order:
//   write FILE TEXT    replace FILE's content with TEXT (opened, written
//                      whole, closed, as the bot does)
//   append FILE TEXT   add TEXT at the end of FILE
//   sleep MS           wait MS milliseconds
//   exit CODE          end with that exit code
//   crash              end with an access violation
//   wait               sleep until terminated
// FILE is a word without blanks or a path in double quotes, taken as it is.
// TEXT is the rest of the command up to the ";", with the escapes \r \n \t
// \; and \\. When the script runs out the program ends with exit code 0.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "StandinLog.h"

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Cuts the script at every ";" that is not escaped; escapes stay as they are.
std::vector<std::string> Commands(const std::string& script) {
  std::vector<std::string> commands;
  std::string current;
  for (std::size_t i = 0; i < script.size(); ++i) {
    char c = script[i];
    if (c == '\\' && i + 1 < script.size()) {
      current += c;
      current += script[++i];
    } else if (c == ';') {
      commands.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  commands.push_back(current);
  return commands;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[++i];
    switch (next) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      default: out += next; break;  // \\ and \; and anything else
    }
  }
  return out;
}

void WriteText(const std::string& path, const std::string& text, bool append) {
  // The bot and the program never lock the files; a reader holding the file
  // for a moment is waited for briefly.
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE file = CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(file);
      return;
    }
    Sleep(20);
  }
}

// Splits "FILE TEXT" after the verb.
void FileAndText(const std::string& rest, std::string* file, std::string* text) {
  std::size_t start = rest.find_first_not_of(" \t");
  if (start == std::string::npos) return;
  std::size_t end;
  if (rest[start] == '"') {
    end = rest.find('"', start + 1);
    if (end == std::string::npos) end = rest.size();
    *file = rest.substr(start + 1, end - start - 1);
    if (end < rest.size()) ++end;
  } else {
    end = rest.find_first_of(" \t", start);
    if (end == std::string::npos) end = rest.size();
    *file = rest.substr(start, end - start);
  }
  if (end < rest.size()) ++end;  // the one blank between FILE and TEXT
  *text = Unescape(rest.substr(end));
}

// Ends the process with the exception's code, as Windows does when no
// debugger or error reporting steps in (Wine would start its debugger and
// show a crash dialog instead).
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void Crash() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&EndWithExceptionCode);
  *static_cast<volatile int*>(nullptr) = 1;
  ExitProcess(3);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = standin::Arguments(argc, argv);
  const std::string behaviour = standin::Env("TOLVANE_PERL_BEHAVIOUR", "wait");

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);

  standin::Record record("perl");
  record.Add("cmdline", GetCommandLineA());
  record.Add("dwFlags", std::to_string(startup.dwFlags));
  record.Add("wShowWindow", std::to_string(startup.wShowWindow));
  record.Add("cwd", standin::CurrentDirectory());
  record.Add("argc", std::to_string(args.size()));
  if (!args.empty()) {
    const std::string& arg1 = args[0];
    record.Add("arg1", arg1);
    record.Add("arg1.exists",
               GetFileAttributesA(arg1.c_str()) != INVALID_FILE_ATTRIBUTES ? "1" : "0");
    char longPath[MAX_PATH * 2] = {};
    DWORD length = GetLongPathNameA(arg1.c_str(), longPath, sizeof longPath);
    record.Add("arg1.long",
               length > 0 && length < sizeof longPath ? std::string(longPath, length) : "");
  }
  record.Add("started", std::to_string(standin::Now()));
  record.Add("behaviour", behaviour);
  record.Write();

  for (const std::string& raw : Commands(behaviour)) {
    std::string command = Trim(raw);
    if (command.empty()) continue;
    std::size_t space = command.find_first_of(" \t");
    std::string verb = command.substr(0, space);
    std::string rest = space == std::string::npos ? "" : raw.substr(raw.find(verb) + verb.size());
    if (verb == "write" || verb == "append") {
      std::string file, text;
      FileAndText(rest, &file, &text);
      if (!file.empty()) WriteText(file, text, verb == "append");
    } else if (verb == "sleep") {
      Sleep(static_cast<DWORD>(std::strtoul(Trim(rest).c_str(), nullptr, 10)));
    } else if (verb == "exit") {
      return static_cast<int>(std::strtol(Trim(rest).c_str(), nullptr, 10));
    } else if (verb == "crash") {
      Crash();
    } else if (verb == "wait") {
      for (;;) Sleep(INFINITE);
    } else {
      standin::Record unknown("perl");
      unknown.Add("error", "unknown command: " + command);
      unknown.Write();
      return 2;
    }
  }
  return 0;
}
