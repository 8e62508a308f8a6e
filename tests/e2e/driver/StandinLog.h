// Reading what the stand-in programs (tests/standins) recorded.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// One run of a stand-in: its program name ("perl", "ppm"), its process id
// and every key it recorded, without the "program." prefix ("cmdline",
// "ended", ...).
struct StandinRun {
  std::string program;
  DWORD pid = 0;
  std::map<std::string, std::string> values;

  bool Has(const std::string& key) const { return values.count(key) != 0; }
  // The value, or "" when the run did not record the key.
  std::string Value(const std::string& key) const;
  // A recorded time (FILETIME number), 0 when not recorded.
  unsigned long long Time(const std::string& key) const;
};

// All runs recorded in the log file, in the order they started.
std::vector<StandinRun> ReadStandinLog(const std::string& path);
std::vector<StandinRun> RunsOf(const std::vector<StandinRun>& runs,
                               const std::string& program);
// The log as text, for failure messages.
std::string StandinLogText(const std::string& path);

// Ends every recorded stand-in process that still runs (checked by its
// image name, so a reused process id is left alone) and waits for it.
void EndStandins(const std::vector<StandinRun>& runs);

// The time now as the stand-ins record it (GetSystemTimeAsFileTime).
unsigned long long FileTimeNow();

}  // namespace e2e
