// Stand-in for the Perl package manager: records its command line, takes a
// while as an installation does (TOLVANE_PPM_DELAY_MS, default 1500), records
// when it ended and exits with 0.
//
// Record (see StandinLog.h): ppm.cmdline, ppm.wShowWindow, ppm.started; then
// a second block with ppm.ended (FILETIME numbers).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "StandinLog.h"

int main() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);

  standin::Record record("ppm");
  record.Add("cmdline", GetCommandLineA());
  record.Add("dwFlags", std::to_string(startup.dwFlags));
  record.Add("wShowWindow", std::to_string(startup.wShowWindow));
  record.Add("started", std::to_string(standin::Now()));
  record.Write();

  Sleep(static_cast<DWORD>(
      std::strtoul(standin::Env("TOLVANE_PPM_DELAY_MS", "1500").c_str(), nullptr, 10)));

  standin::Record ended("ppm");
  ended.Add("ended", std::to_string(standin::Now()));
  ended.Write();
  return 0;
}
