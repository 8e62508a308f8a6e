// The main dialog under load, with the real shell and real bot processes:
// thousands of status polls and hundreds of Start and stop cycles leave the
// process's kernel handles, GDI and USER objects and private memory where
// they were. The counts before and after are printed.
#include <windows.h>
#include <winternl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/BotLauncher.h"
#include "app/MainDlg.h"
#include "framework/Application.h"
#include "resources/resource.h"
#include "tests/win/LauncherDataFolder.h"
#include "tests/win/MessageBoxCatcher.h"
#include "tests/wine/LoaderError.h"

namespace {

using tolvane::testing::File;
using tolvane::testing::MessageBoxCatcher;
using tolvane::testing::PrepareLauncherDataFolder;
using tolvane::testing::WriteBytes;

constexpr UINT kCallback = CMainDlg::kTrayCallbackMessage;

// ---- counting what the process holds ----

// Kernel handles of this process. GetProcessHandleCount answers 0 under
// Wine, so the system's handle list is counted instead.
std::size_t KernelHandles() {
  struct Entry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR handleAttributes;
    USHORT handleValue;
    PVOID object;
    ULONG grantedAccess;
  };
  struct Table {
    ULONG count;
    Entry entries[1];
  };
  using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  std::vector<char> buffer(1 << 20);
  ULONG length = 0;
  NTSTATUS status;
  while ((status = query(kSystemHandleInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), &length)) == kLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  }
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  const auto self = static_cast<USHORT>(GetCurrentProcessId());
  std::size_t mine = 0;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->entries[i].processId == self) ++mine;
  }
  return mine;
}

// The process's GDI handle table as Wine keeps it, one table per process,
// reached from the process environment block. Only used where
// GetGuiResources does not count (Wine), and only once a brush made for the
// purpose is found in it where it should be.
struct GdiEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t userPointer;
};
constexpr std::size_t kGdiEntries = 0x10000;
constexpr std::uint8_t kGdiBrushType = 0x10;

const GdiEntry* WineGdiTable() {
  static const GdiEntry* table = [] {
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
      return static_cast<const GdiEntry*>(nullptr);
    }
    const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    // GdiSharedHandleTable: after the process heaps' fields of the block.
    const std::size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    const auto* candidate = *reinterpret_cast<const GdiEntry* const*>(peb + offset);
    if (candidate == nullptr) return static_cast<const GdiEntry*>(nullptr);
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    const std::size_t index = reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF;
    const bool found = candidate[index].type == kGdiBrushType &&
                       candidate[index].unique ==
                           (reinterpret_cast<std::uintptr_t>(probe) >> 16 & 0xFFFF);
    DeleteObject(probe);
    const bool gone = candidate[index].type == 0;
    return found && gone ? candidate : nullptr;
  }();
  return table;
}

// -1: this system counts none.
long GdiObjects() {
  SetLastError(0);
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0 || GetLastError() == 0) return static_cast<long>(counted);
  const GdiEntry* table = WineGdiTable();
  if (table == nullptr) return -1;
  long live = 0;
  for (std::size_t i = 0; i < kGdiEntries; ++i) {
    if (table[i].type != 0) ++live;
  }
  return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindowOfThisProcess(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, &CountChild, count);
  }
  return TRUE;
}

// USER objects: the system's count, or where it has none (Wine) the
// windows of this process, top-level and child. (Icons and their bitmaps
// show among the GDI objects there.)
long UserObjects() {
  SetLastError(0);
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted != 0 || GetLastError() == 0) return static_cast<long>(counted);
  long windows = 0;
  EnumWindows(&CountWindowOfThisProcess, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Committed private memory, region by region.
std::size_t PrivateBytes() {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region;
  const char* at = nullptr;
  while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

struct Counts {
  std::size_t handles;
  long gdi;
  long user;
  std::size_t privateBytes;
};

Counts Measure() { return {KernelHandles(), GdiObjects(), UserObjects(), PrivateBytes()}; }

void Print(const char* what, const Counts& before, const Counts& after) {
  std::printf("%s\n", what);
  std::printf("  %-28s %12s %12s\n", "", "before", "after");
  std::printf("  %-28s %12zu %12zu\n", "kernel handles", before.handles, after.handles);
  std::printf("  %-28s %12ld %12ld\n", "GDI objects", before.gdi, after.gdi);
  std::printf("  %-28s %12ld %12ld\n", "USER objects (windows)", before.user, after.user);
  std::printf("  %-28s %12zu %12zu\n", "private memory, KiB", before.privateBytes / 1024,
              after.privateBytes / 1024);
  std::fflush(stdout);
}

void ExpectFlat(const Counts& before, const Counts& after) {
  EXPECT_EQ(after.handles, before.handles);
  if (before.gdi >= 0) {
    EXPECT_EQ(after.gdi, before.gdi);
  }
  EXPECT_EQ(after.user, before.user);
  // The heap may settle a little; a leak of even a few hundred bytes per
  // poll or cycle shows as megabytes.
  EXPECT_LT(after.privateBytes, before.privateBytes + 512 * 1024);
}

// ---- the bot as a real process ----

// The test suite's stand-in perl, which waits until it is ended. A build
// on Linux names it by its Linux path, which Wine has on drive Z:.
std::string StandinPerl() {
  std::string path = TOLVANE_STANDINS_DIR "/perl.exe";
  if (path.front() == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Runs every bot as the stand-in perl, with the launcher's command line;
// everything else goes to Windows.
class StandinBots : public tolvane::BotSystem {
 public:
  BOOL CreateProcessA(const char*, char* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                      SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles,
                      DWORD creationFlags, void* environment, const char* currentDirectory,
                      STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInfo) override {
    ++started;
    return wine_testing::CreateProcessOnceMoreAfterLoaderError(perl_, [&] {
      return BotSystem::CreateProcessA(perl_.c_str(), commandLine, processAttributes,
                                       threadAttributes, inheritHandles, creationFlags,
                                       environment, currentDirectory, startupInfo,
                                       processInfo);
    });
  }
  int started = 0;

 private:
  std::string perl_ = StandinPerl();
};

class TestApplication : public fw::Application {
 public:
  bool InitInstance() override { return false; }
};

class Load : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(StandinPerl().c_str()), INVALID_FILE_ATTRIBUTES)
        << StandinPerl();
    PrepareLauncherDataFolder();

    dialog_ = std::make_unique<CMainDlg>();
    ASSERT_TRUE(dialog_->Create(nullptr));
    ShowWindow(main(), SW_SHOW);
    app_.SetMainWindow(dialog_.get());
  }
  void TearDown() override {
    app_.SetMainWindow(nullptr);
    dialog_.reset();
    Pump();
  }

  HWND main() const { return dialog_->hwnd(); }
  void Start() { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
  void Poll() { SendMessageA(main(), WM_TIMER, 0, 0); }
  void Stop() { SendMessageA(main(), kCallback, IDI_CONNECTING, WM_LBUTTONDOWN); }
  bool InTray() const { return !IsWindowVisible(main()); }

  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  // A Start and a stop, with the status of a bot that signs on in between.
  void Cycle(int i) {
    Start();
    ASSERT_TRUE(InTray()) << "cycle " << i;
    WriteBytes("results.txt", "Signing on as u, run " + std::to_string(i) + "\r\n");
    Poll();
    WriteBytes("control.txt", "Connected!\r\n");
    Poll();
    Stop();
    ASSERT_FALSE(InTray()) << "cycle " << i;
    DeleteFileA(File("control.txt").c_str());
    Pump();
  }

  StandinBots bots;
  tolvane::ScopedBotSystem botScope_{bots};
  MessageBoxCatcher boxes;
  TestApplication app_;
  std::unique_ptr<CMainDlg> dialog_;
};

TEST_F(Load, TenThousandStatusPollsLeaveTheCountsFlat) {
  Start();
  ASSERT_TRUE(InTray());
  ASSERT_EQ(bots.started, 1);
  // Warm up: the first polls, the balloon and the change of icon.
  for (int i = 0; i < 100; ++i) {
    WriteBytes("results.txt", "Connected as u, " + std::to_string(i) + " messages received\r\n");
    if (i == 50) WriteBytes("control.txt", "Connected!\r\n");
    Poll();
  }
  Pump();
  const Counts before = Measure();
  const ULONGLONG began = GetTickCount64();
  for (int i = 0; i < 10000; ++i) {
    // A status line that changes now and then, as the bot's does.
    if (i % 100 == 0) {
      WriteBytes("results.txt",
                 "Connected as u, " + std::to_string(100 + i / 100) + " messages received\r\n");
    }
    Poll();
    if (i % 500 == 0) Pump();
  }
  Pump();
  const Counts after = Measure();
  const ULONGLONG took = GetTickCount64() - began;
  Print("10,000 status polls", before, after);
  std::printf("  %-28s %12.1f\n", "microseconds per poll", took * 1000.0 / 10000);
  ExpectFlat(before, after);
  // Between polls neither status file is open: each can be had without
  // sharing.
  for (const char* name : {"results.txt", "control.txt"}) {
    HANDLE alone = CreateFileA(File(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE) << name << " is held open";
    if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);
  }

  Stop();
  EXPECT_FALSE(InTray());
  EXPECT_EQ(bots.started, 1);
}

TEST_F(Load, TwoHundredStartsAndStopsLeaveTheCountsFlat) {
  // Warm up: the icon is created at the first Start and kept.
  for (int i = 0; i < 5; ++i) Cycle(i);
  const Counts before = Measure();
  for (int i = 0; i < 200; ++i) {
    Cycle(5 + i);
    if (HasFatalFailure()) return;
  }
  const Counts after = Measure();
  Print("200 Start and stop cycles", before, after);
  ExpectFlat(before, after);
  EXPECT_EQ(bots.started, 205);
  // Every stop told the user the bot's last status, and nothing else was said.
  std::string texts;
  for (const auto& box : boxes.boxes()) {
    if (box.text.rfind("Signing on as u, run ", 0) != 0) texts += "\n  \"" + box.text + "\"";
  }
  ASSERT_EQ(boxes.boxes().size(), 205u) << "boxes other than the status:" << texts;
  EXPECT_EQ(boxes.boxes().back().text, "Signing on as u, run 204");
}

}  // namespace
