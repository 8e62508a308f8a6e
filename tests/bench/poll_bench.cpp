// Times one status poll of the launcher with the real shell, as the main
// dialog runs it every 500 ms while the bot runs: the first line of
// results.txt read, and the tooltip sent when it has changed. Prints rows of
// the figures table ("| figure | value |"): microseconds per poll, and the
// bytes one poll reads, for a short status line that stays, for one that
// changes at every poll, and for a one-line results.txt of 10 MB.
//
//   tests/wine/run-in-wine.sh build/win64/tests/bench/tolvane_poll_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/BotLauncher.h"
#include "app/MainDlg.h"
#include "resources/resource.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestFolder.h"
#include "tray/TrayIcon.h"

namespace {

using bench::Now;
using bench::PumpUntilIdle;
using tolvane::testing::TempFolder;

// The bytes this process has read from files so far. The system counts them
// (GetProcessIoCounters) on Windows but not under Wine, so the program's own
// calls of ReadFile are counted as well: its import of ReadFile is pointed
// at a counting function.
long long g_bytesReadByReadFile = 0;
bool g_readFileCounted = false;
decltype(&ReadFile) g_realReadFile = nullptr;

BOOL WINAPI CountingReadFile(HANDLE file, LPVOID buffer, DWORD want, LPDWORD got,
                             LPOVERLAPPED overlapped) {
  const BOOL result = g_realReadFile(file, buffer, want, got, overlapped);
  if (result && got != nullptr) g_bytesReadByReadFile += *got;
  return result;
}

void CountReadFile() {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  const FARPROC real = GetProcAddress(GetModuleHandleA("kernel32.dll"), "ReadFile");
  for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
         thunk->u1.Function != 0; ++thunk) {
      if (reinterpret_cast<FARPROC>(thunk->u1.Function) != real) continue;
      DWORD old = 0;
      VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old);
      g_realReadFile = reinterpret_cast<decltype(&ReadFile)>(reinterpret_cast<void*>(real));
      thunk->u1.Function = reinterpret_cast<ULONG_PTR>(&CountingReadFile);
      VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
      g_readFileCounted = true;
    }
  }
}

long long BytesRead() {
  IO_COUNTERS counters{};
  if (GetProcessIoCounters(GetCurrentProcess(), &counters) && counters.ReadTransferCount > 0) {
    return static_cast<long long>(counters.ReadTransferCount);
  }
  return g_readFileCounted ? g_bytesReadByReadFile : -1;
}

struct Result {
  double microseconds;
  long long bytes;  // per poll; -1 unknown
};

// The polls read the results files in turn.
Result Time(CTrayIcon& tray, const std::vector<std::string>& results,
            const std::string& control) {
  tolvane::PollState state{true, true};  // as after sign-on: the tooltip only
  for (int i = 0; i < 200; ++i) {
    tolvane::PollBotStatus(tray, results[i % results.size()], control, &state);
  }
  constexpr int kPolls = 5000;
  const long long readBefore = BytesRead();
  const double start = Now();
  for (int i = 0; i < kPolls; ++i) {
    tolvane::PollBotStatus(tray, results[i % results.size()], control, &state);
    if (i % 250 == 0) PumpUntilIdle();
  }
  const double took = Now() - start;
  const long long readAfter = BytesRead();
  Result result{took * 1e6 / kPolls, -1};
  if (readBefore >= 0 && readAfter >= readBefore) result.bytes = (readAfter - readBefore) / kPolls;
  return result;
}

void Row(const char* figure, const Result& result) {
  std::printf("| %s, time | %.0f us |\n", figure, result.microseconds);
  if (result.bytes >= 0) {
    std::printf("| %s, bytes read | %lld bytes |\n", figure, result.bytes);
  } else {
    std::printf("| %s, bytes read | not counted by this system |\n", figure);
  }
}

}  // namespace

int main() {
  CountReadFile();
  TempFolder data;
  data.Write("results.txt", "Connected as alex, 3 messages received\r\n");
  data.Write("results2.txt", "Connected as alex, 4 messages received\r\n");
  data.Write("control.txt", "Connected!\r\n");
  const std::string results = data.folder() + "results.txt";
  const std::string results2 = data.folder() + "results2.txt";
  const std::string control = data.folder() + "control.txt";

  CTrayIcon tray;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  if (!tray.CreateTray(nullptr, CMainDlg::kTrayCallbackMessage, "Click here", icon,
                       IDR_MAINFRAME)) {
    std::fprintf(stderr, "poll bench: the shell took no icon\n");
    return 1;
  }
  Row("one status poll", Time(tray, {results}, control));
  Row("one status poll, status line changed", Time(tray, {results, results2}, control));

  data.Write("results.txt", std::string(10u << 20, 'x'));
  Row("one status poll, 10 MB one-line results.txt", Time(tray, {results}, control));
  tray.RemoveFromTray();
  return 0;
}
