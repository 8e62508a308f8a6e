// Stand-in for the program the shell opens .html pages with (a browser):
// records how it was started and exits.
//
// Record (see StandinLog.h): page.cmdline, page.arg1, page.wShowWindow,
// page.dwFlags.
#include <windows.h>

#include <string>

#include "StandinLog.h"

int main(int argc, char** argv) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);

  standin::Record record("page");
  record.Add("cmdline", GetCommandLineA());
  record.Add("arg1", argc > 1 ? argv[1] : "");
  record.Add("dwFlags", std::to_string(startup.dwFlags));
  record.Add("wShowWindow", std::to_string(startup.wShowWindow));
  record.Write();
  return 0;
}
