// Tolvane beside a minimal Win32 dialog program, under the same conditions:
// time from process start to a visible dialog, working set with the bot
// running and the panel in the notification area, and CPU while idle there.
// Prints table rows ("| figure | Tolvane | minimal | ratio |").
//
//   figures.exe --tolvane=PATH --standins=FOLDER --minimal=PATH [--runs=N]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/bench/BenchClock.h"
#include "tests/e2e/driver/DataFolder.h"
#include "tests/e2e/driver/Locations.h"

namespace {

std::string Flag(int argc, char** argv, const char* name, const std::string& fallback) {
  std::string prefix = std::string("--") + name + "=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
      return argv[i] + prefix.size();
    }
  }
  return fallback;
}

double NowMs() { return 1000.0 * bench::Now(); }

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search->pid && IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleDialogOf(DWORD pid) {
  Search search{pid, nullptr};
  EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Program {
 public:
  // Starts the program in its own folder with the stand-ins first on the
  // PATH, as the end-to-end tests do.
  Program(const std::string& exe, const std::string& behaviour) {
    std::string path = e2e::StandinsFolder() + ";C:\\windows\\system32;C:\\windows";
    SetEnvironmentVariableA("PATH", path.c_str());
    SetEnvironmentVariableA("TOLVANE_PERL_BEHAVIOUR", behaviour.c_str());
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    started_ = NowMs();
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
      pid_ = info.dwProcessId;
    } else {
      std::fprintf(stderr, "figures: cannot start %s (error %lu)\n", exe.c_str(),
                   GetLastError());
    }
  }
  ~Program() {
    if (process_ == nullptr) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool ok() const { return process_ != nullptr; }

  // Milliseconds from CreateProcess to the first visible dialog, or -1.
  double MsToVisibleDialog(HWND* dialog) {
    for (;;) {
      if (HWND found = VisibleDialogOf(pid_)) {
        *dialog = found;
        return NowMs() - started_;
      }
      if (NowMs() - started_ > 30000 || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
        return -1;
      }
      Sleep(1);
    }
  }

  SIZE_T WorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_, &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  double started_ = 0;
};

// CPU time of the Linux process that runs a Windows program of this name, in
// milliseconds, from /proc (Wine keeps other processes' times to itself);
// -1 when there is no such process.
double UnixCpuMs(const std::string& exeName) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return -1;
  double total = -1;
  do {
    std::string pid = entry.cFileName;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    auto cmdline = e2e::ReadFileBytes("Z:\\proc\\" + pid + "\\cmdline");
    if (!cmdline) continue;
    // The program itself, not another that names it in its arguments.
    std::string program = cmdline->substr(0, cmdline->find('\0'));
    if (program.size() < exeName.size() ||
        lstrcmpiA(program.c_str() + program.size() - exeName.size(), exeName.c_str()) != 0) {
      continue;
    }
    auto stat = e2e::ReadFileBytes("Z:\\proc\\" + pid + "\\stat");
    if (!stat) continue;
    std::size_t close = stat->rfind(')');
    if (close == std::string::npos) continue;
    // After the name: state, ppid, ... utime is the 12th field, stime the 13th.
    std::vector<std::string> fields;
    std::string field;
    for (char c : stat->substr(close + 2)) {
      if (c == ' ') {
        fields.push_back(field);
        field.clear();
      } else {
        field += c;
      }
    }
    if (fields.size() < 13) continue;
    double ticks = std::atof(fields[11].c_str()) + std::atof(fields[12].c_str());
    total = std::max(total, 0.0) + ticks * 10.0;  // 100 ticks a second
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return total;
}

const char kSettings[] =
    "botuser\r\nsecret\r\nKavri\r\nAlex\r\n0\r\n1\r\n0\r\n0\r\nAlex is away\r\nHello\r\n";

void ResetData() {
  e2e::ResetDataFolder();
  e2e::WriteDataFile("settings.txt", kSettings);
  e2e::WriteDataFile("Kavri.pl", "# the bot is played by the stand-in perl\r\n");
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double StartUpMs(const std::string& exe, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    ResetData();
    Program program(exe, "wait");
    HWND dialog = nullptr;
    double ms = program.ok() ? program.MsToVisibleDialog(&dialog) : -1;
    if (ms >= 0) times.push_back(ms);
    Sleep(200);
  }
  return Median(times);
}

std::string Ratio(double ours, double theirs) {
  if (ours < 0 || theirs <= 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ours / theirs);
  return text;
}

void Row(const char* figure, const std::string& ours, const std::string& theirs,
         const std::string& ratio) {
  std::printf("| %s | %s | %s | %s |\n", figure, ours.c_str(), theirs.c_str(), ratio.c_str());
  std::fflush(stdout);
}

std::string Number(double value, const char* unit, int decimals) {
  if (value < 0) return "n/a";
  char text[48];
  std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  e2e::InitLocations(argc, argv);
  std::string minimal = e2e::WindowsPathOf(Flag(argc, argv, "minimal", ""));
  int runs = std::max(1, std::atoi(Flag(argc, argv, "runs", "5").c_str()));
  double idleSeconds = std::atof(Flag(argc, argv, "idle-seconds", "20").c_str());
  if (minimal.empty()) {
    std::fprintf(stderr, "figures: --minimal=PATH is needed\n");
    return 2;
  }

  // One run of each first, so that neither pays for Wine's first start.
  StartUpMs(e2e::TolvaneExe(), 1);
  StartUpMs(minimal, 1);
  double ours = StartUpMs(e2e::TolvaneExe(), runs);
  double theirs = StartUpMs(minimal, runs);
  Row("start to visible main dialog (median of runs)", Number(ours, "ms", 0),
      Number(theirs, "ms", 0), Ratio(ours, theirs));

  // Tolvane with the bot "connected" and the panel in the notification area,
  // beside the minimal dialog on the screen, both left alone.
  ResetData();
  std::string control = e2e::DataFile("control.txt");
  Program tolvane(e2e::TolvaneExe(),
                  "write \"" + control + "\" Connected!\\r\\n; wait");
  HWND main = nullptr;
  if (!tolvane.ok() || tolvane.MsToVisibleDialog(&main) < 0) {
    std::fprintf(stderr, "figures: Tolvane's main dialog did not appear\n");
    return 1;
  }
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Start
  double waited = NowMs();
  while (IsWindowVisible(main) && NowMs() - waited < 10000) Sleep(10);
  bool inTray = !IsWindowVisible(main);
  Program yardstick(minimal, "wait");
  HWND other = nullptr;
  yardstick.MsToVisibleDialog(&other);
  Sleep(3000);  // past the start, the balloon and the first polls

  const std::string minimalName = minimal.substr(minimal.find_last_of('\\') + 1);
  double oursCpu0 = UnixCpuMs("Tolvane.exe"), theirsCpu0 = UnixCpuMs(minimalName);
  double t0 = NowMs();
  Sleep(static_cast<DWORD>(idleSeconds * 1000));
  double seconds = (NowMs() - t0) / 1000.0;
  double oursCpu1 = UnixCpuMs("Tolvane.exe"), theirsCpu1 = UnixCpuMs(minimalName);
  double oursCpu = oursCpu0 < 0 || oursCpu1 < 0 ? -1 : (oursCpu1 - oursCpu0) / seconds;
  double theirsCpu = theirsCpu0 < 0 || theirsCpu1 < 0 ? -1 : (theirsCpu1 - theirsCpu0) / seconds;

  double oursSet = static_cast<double>(tolvane.WorkingSet()) / 1024.0;
  double theirsSet = static_cast<double>(yardstick.WorkingSet()) / 1024.0;
  const char* where = inTray ? "working set, in the notification area"
                             : "working set (the panel did NOT leave the screen)";
  Row(where, Number(oursSet, "KiB", 0), Number(theirsSet, "KiB", 0), Ratio(oursSet, theirsSet));
  Row("CPU while idle (ms of CPU per second)", Number(oursCpu, "ms/s", 3),
      Number(theirsCpu, "ms/s", 3), Ratio(oursCpu, theirsCpu));
  return 0;
}
