#include "tests/e2e/driver/StandinLog.h"

#include <cstdlib>

#include "tests/e2e/driver/DataFolder.h"

namespace e2e {
namespace {

std::string Unescape(const std::string& value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    char next = value[++i];
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return out;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                        text.c_str() + text.size() - tail.size(),
                        static_cast<int>(tail.size()), tail.c_str(),
                        static_cast<int>(tail.size())) == CSTR_EQUAL;
}

}  // namespace

std::string StandinRun::Value(const std::string& key) const {
  auto found = values.find(key);
  return found == values.end() ? "" : found->second;
}

unsigned long long StandinRun::Time(const std::string& key) const {
  return std::strtoull(Value(key).c_str(), nullptr, 10);
}

std::vector<StandinRun> ReadStandinLog(const std::string& path) {
  std::vector<StandinRun> runs;
  std::string text = ReadFileBytes(path).value_or("");
  StandinRun* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;  // a block still being written
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t dot = line.find('.');
    std::size_t equals = line.find('=');
    if (dot == std::string::npos || equals == std::string::npos || equals < dot) continue;
    std::string program = line.substr(0, dot);
    std::string key = line.substr(dot + 1, equals - dot - 1);
    std::string value = Unescape(line.substr(equals + 1));
    if (key == "pid") {
      DWORD pid = std::strtoul(value.c_str(), nullptr, 10);
      current = nullptr;
      for (StandinRun& run : runs) {
        if (run.program == program && run.pid == pid) current = &run;
      }
      if (current == nullptr) {
        runs.push_back(StandinRun{program, pid, {}});
        current = &runs.back();
      }
    } else if (current != nullptr && current->program == program) {
      current->values[key] = value;
    }
  }
  return runs;
}

std::vector<StandinRun> RunsOf(const std::vector<StandinRun>& runs,
                               const std::string& program) {
  std::vector<StandinRun> selected;
  for (const StandinRun& run : runs) {
    if (run.program == program) selected.push_back(run);
  }
  return selected;
}

std::string StandinLogText(const std::string& path) {
  std::optional<std::string> text = ReadFileBytes(path);
  if (!text) return "(no stand-in has run: " + path + " does not exist)";
  return "stand-in log " + path + ":\n" + *text;
}

void EndStandins(const std::vector<StandinRun>& runs) {
  for (const StandinRun& run : runs) {
    HANDLE process = OpenProcess(
        PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
        run.pid);
    if (process == nullptr) continue;
    char image[MAX_PATH * 2] = {};
    DWORD size = sizeof image;
    if (QueryFullProcessImageNameA(process, 0, image, &size) &&
        EndsWithNoCase(image, "\\" + run.program + ".exe") &&
        WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
  }
}

unsigned long long FileTimeNow() {
  FILETIME time;
  GetSystemTimeAsFileTime(&time);
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
         time.dwLowDateTime;
}

}  // namespace e2e
