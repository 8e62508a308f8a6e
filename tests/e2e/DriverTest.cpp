// Checks of the harness itself: that its clicks land where it aims, that
// the X and Windows coordinates agree, that the notification-area icon is
// where it looks for it, and that the stand-ins do what the scenarios rely
// on. A failure here means the scenarios cannot be trusted.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/driver/DataFolder.h"
#include "tests/e2e/driver/Input.h"
#include "tests/e2e/driver/Locations.h"
#include "tests/e2e/driver/Screen.h"
#include "tests/e2e/driver/StandinLog.h"
#include "tests/e2e/driver/TolvaneProcess.h"
#include "tests/e2e/driver/Wait.h"
#include "tests/e2e/driver/Windows.h"

namespace e2e {
namespace {

// A plain window of the test process that remembers the last mouse and
// tray messages it got.
class Target {
 public:
  Target() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Target::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2EDriverTarget";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Driver target",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 400, 300, nullptr,
                            nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Target() { DestroyWindow(hwnd_); }

  HWND hwnd() const { return hwnd_; }
  UINT lastMouse = 0;
  POINT lastClient{-1, -1};
  std::vector<UINT> trayMessages;
  bool GotTray(UINT message) const {
    return std::find(trayMessages.begin(), trayMessages.end(), message) !=
           trayMessages.end();
  }

  static constexpr UINT kTrayMessage = WM_APP + 1;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Target*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        self->lastMouse = message;
        self->lastClient = POINT{static_cast<short>(LOWORD(lParam)),
                                 static_cast<short>(HIWORD(lParam))};
      } else if (message == kTrayMessage) {
        self->trayMessages.push_back(static_cast<UINT>(lParam));
      }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

TEST(DriverScreen, WindowsCoordinatesAreTheXScreenCoordinates) {
  RECT desktop = RectOf(GetDesktopWindow());
  EXPECT_EQ(desktop.left, 0);
  EXPECT_EQ(desktop.top, 0);
  EXPECT_EQ(desktop.right, 1024);
  EXPECT_EQ(desktop.bottom, 768);

  // xdotool works in X coordinates; the pointer must end where Windows says.
  for (POINT point : {POINT{3, 5}, POINT{517, 389}, POINT{1020, 760}}) {
    ASSERT_TRUE(XClickAt(point));
    POINT now{};
    GetCursorPos(&now);
    EXPECT_EQ(now.x, point.x);
    EXPECT_EQ(now.y, point.y + 1);
  }
}

TEST(DriverScreen, ClicksLandOnTheAimedPixel) {
  Target target;
  ASSERT_TRUE(BringToFront(target.hwnd()));
  POINT origin{0, 0};
  ClientToScreen(target.hwnd(), &origin);

  ClickAt(POINT{origin.x + 37, origin.y + 11});
  ASSERT_TRUE(WaitUntil([&] { return target.lastMouse == WM_LBUTTONDOWN; }));
  EXPECT_EQ(target.lastClient.x, 37);
  EXPECT_EQ(target.lastClient.y, 11);

  target.lastMouse = 0;
  ClickAt(POINT{origin.x + 150, origin.y + 120}, MouseButton::kRight);
  ASSERT_TRUE(WaitUntil([&] { return target.lastMouse == WM_RBUTTONDOWN; }));
  EXPECT_EQ(target.lastClient.x, 150);
  EXPECT_EQ(target.lastClient.y, 120);

  // A real X click reaches the same pixel.
  target.lastMouse = 0;
  ASSERT_TRUE(XClickAt(POINT{origin.x + 201, origin.y + 99}));
  ASSERT_TRUE(WaitUntil([&] { return target.lastMouse == WM_LBUTTONDOWN; }));
  EXPECT_EQ(target.lastClient.x, 201);
  EXPECT_EQ(target.lastClient.y, 99);
}

TEST(DriverScreen, CaptionButtonsAreFoundByHitTest) {
  Target target;
  RECT rect = RectOf(target.hwnd());
  POINT close = CaptionPoint(target.hwnd(), HTCLOSE);
  POINT menu = CaptionPoint(target.hwnd(), HTSYSMENU);
  ASSERT_GE(close.x, 0);
  ASSERT_GE(menu.x, 0);
  EXPECT_GT(close.x, (rect.left + rect.right) / 2);
  EXPECT_LT(menu.x, (rect.left + rect.right) / 2);
  EXPECT_EQ(close.y, menu.y);

  ASSERT_TRUE(ClickCaption(target.hwnd(), HTCLOSE));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(target.hwnd()); }))
      << "the close box click did not close " << Describe(target.hwnd());
}

TEST(DriverScreen, TheIconOfACaptionIsFoundByItsPixels) {
  Target target;
  HICON shown = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
  HICON other = LoadIconA(nullptr, MAKEINTRESOURCEA(32515));  // IDI_WARNING
  SendMessageA(target.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shown));
  SendMessageA(target.hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shown));
  RedrawWindow(target.hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(CaptionShowsIcon(target.hwnd(), shown));
  EXPECT_FALSE(CaptionShowsIcon(target.hwnd(), other, 500));
}

TEST(DriverTray, AnXClickOnTheIconSlotReachesTheIcon) {
  Target target;
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  icon.hWnd = target.hwnd();
  icon.uID = 7;
  icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  icon.uCallbackMessage = Target::kTrayMessage;
  icon.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  lstrcpyA(icon.szTip, "driver test");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &icon));

  POINT point = TrayIconPoint();
  RECT tray = RectOf(FindWindowA("Shell_TrayWnd", nullptr));
  EXPECT_GT(point.x, tray.right - 24);
  EXPECT_LT(point.x, tray.right);
  EXPECT_GT(point.y, tray.top);
  EXPECT_LT(point.y, tray.bottom);

  ASSERT_TRUE(XClickTrayIcon());
  EXPECT_TRUE(WaitUntil([&] { return target.GotTray(WM_LBUTTONUP); }))
      << "no left click arrived from the tray icon at (" << point.x << "," << point.y
      << ")";
  EXPECT_TRUE(target.GotTray(WM_LBUTTONDOWN));
  EXPECT_FALSE(target.GotTray(WM_RBUTTONUP));

  target.trayMessages.clear();
  ASSERT_TRUE(XClickTrayIcon(MouseButton::kRight));
  EXPECT_TRUE(WaitUntil([&] { return target.GotTray(WM_RBUTTONUP); }))
      << "no right click arrived from the tray icon";
  EXPECT_FALSE(target.GotTray(WM_LBUTTONDOWN));
  Shell_NotifyIconA(NIM_DELETE, &icon);
}

// Runs a stand-in directly, as Tolvane would, and returns its process.
HANDLE StartStandin(const std::string& commandLine, const std::string& log,
                    const std::string& behaviour, WORD show = SW_HIDE) {
  SetEnvironmentVariableA("TOLVANE_STANDIN_LOG", log.c_str());
  SetEnvironmentVariableA("TOLVANE_PERL_BEHAVIOUR",
                          behaviour.empty() ? nullptr : behaviour.c_str());
  SetEnvironmentVariableA("TOLVANE_PPM_DELAY_MS", "300");
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  PROCESS_INFORMATION info{};
  const std::string exe = StandinsFolder() + "\\" +
                          commandLine.substr(0, commandLine.find(' ')) + ".exe";
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      "C:\\windows", &startup, &info)) {
    ADD_FAILURE() << "could not start " << exe << " (error " << GetLastError() << ")";
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

DWORD ExitCodeAfter(HANDLE process, DWORD timeoutMs = kTimeoutMs) {
  EXPECT_EQ(WaitForSingleObject(process, timeoutMs), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

class DriverStandins : public testing::Test {
 protected:
  void SetUp() override {
    log_ = ArtifactsFolder() + "standin.log";
    DeleteFileA(log_.c_str());
    ResetDataFolder();
  }
  std::string log_;
};

TEST_F(DriverStandins, PerlRecordsHowItWasStartedAndActsOutItsScript) {
  ASSERT_TRUE(WriteDataFile("Kavri.pl", "# bot\r\n"));
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(DataFile("Kavri.pl").c_str(), shortPath, MAX_PATH), 0u);
  const std::string results = DataFile("results.txt");
  HANDLE perl = StartStandin(
      std::string("perl ") + shortPath, log_,
      "write \"" + results + "\" Signing on\\r\\n; sleep 50; append \"" + results +
          "\" a\\;b\\\\c\\n; exit 7");
  ASSERT_NE(perl, nullptr);
  EXPECT_EQ(ExitCodeAfter(perl), 7u);
  EXPECT_EQ(ReadDataFile("results.txt"), std::string("Signing on\r\na;b\\c\n"));

  std::vector<StandinRun> runs = RunsOf(ReadStandinLog(log_), "perl");
  ASSERT_EQ(runs.size(), 1u) << StandinLogText(log_);
  const StandinRun& run = runs[0];
  EXPECT_EQ(run.Value("cmdline"), std::string("perl ") + shortPath);
  EXPECT_EQ(run.Value("dwFlags"), std::to_string(STARTF_USESHOWWINDOW));
  EXPECT_EQ(run.Value("wShowWindow"), std::to_string(SW_HIDE));
  EXPECT_EQ(run.Value("cwd"), "C:\\windows");
  EXPECT_EQ(run.Value("argc"), "1");
  EXPECT_EQ(run.Value("arg1.exists"), "1");
  EXPECT_EQ(run.Value("arg1.long"), DataFile("Kavri.pl"));
  EXPECT_GT(run.Time("started"), 0u);
}

TEST_F(DriverStandins, PerlWaitsUntilTerminatedAndCanCrash) {
  HANDLE waiting = StartStandin("perl x.pl", log_, "");
  ASSERT_NE(waiting, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !RunsOf(ReadStandinLog(log_), "perl").empty(); }));
  EXPECT_EQ(WaitForSingleObject(waiting, 300), static_cast<DWORD>(WAIT_TIMEOUT))
      << "perl without a script must wait";
  EXPECT_EQ(RunsOf(ReadStandinLog(log_), "perl")[0].Value("behaviour"), "wait");
  EXPECT_EQ(RunsOf(ReadStandinLog(log_), "perl")[0].Value("arg1.exists"), "0");
  TerminateProcess(waiting, 0);
  EXPECT_EQ(ExitCodeAfter(waiting), 0u);

  HANDLE crashing = StartStandin("perl x.pl", log_, "crash");
  ASSERT_NE(crashing, nullptr);
  EXPECT_EQ(ExitCodeAfter(crashing, 30000), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

TEST_F(DriverStandins, PpmRecordsItsCommandLineAndWhenItEnded) {
  const unsigned long long before = FileTimeNow();
  HANDLE ppm = StartStandin("ppm install Net-OSCAR", log_, "", SW_SHOWNORMAL);
  ASSERT_NE(ppm, nullptr);
  EXPECT_EQ(ExitCodeAfter(ppm), 0u);
  std::vector<StandinRun> runs = RunsOf(ReadStandinLog(log_), "ppm");
  ASSERT_EQ(runs.size(), 1u) << StandinLogText(log_);
  EXPECT_EQ(runs[0].Value("cmdline"), "ppm install Net-OSCAR");
  EXPECT_GE(runs[0].Time("started"), before);
  // It took the delay it was given (300 ms), in 100 ns units.
  EXPECT_GE(runs[0].Time("ended") - runs[0].Time("started"), 2800000u);
}

TEST_F(DriverStandins, AHeldFileCannotBeWrittenByOthers) {
  const std::string path = DataFile("held.txt");
  ASSERT_TRUE(WriteFileBytes(path, "before"));
  {
    HeldFile held(path, HeldFile::Others::kMayRead);
    ASSERT_TRUE(held.held());
    EXPECT_FALSE(WriteFileBytes(path, "after"));
    EXPECT_EQ(ReadFileBytes(path), std::string("before"));
    ASSERT_TRUE(WriteDataFile("new.txt", "new"));
    EXPECT_FALSE(MoveFileExA(DataFile("new.txt").c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING));
    DeleteFileA(DataFile("new.txt").c_str());
  }
  {
    HeldFile held(path, HeldFile::Others::kMayNothing);
    EXPECT_EQ(ReadFileBytes(path), std::nullopt);
  }
  EXPECT_TRUE(WriteFileBytes(path, "after"));
  EXPECT_EQ(ListDataFiles(), std::vector<std::string>{"held.txt"});
}

TEST(DriverRegistry, RunValueIsWrittenReadAndDeleted) {
  DeleteRunValue();
  EXPECT_EQ(ReadRunValue(), std::nullopt);
  ASSERT_TRUE(SetRunValue("\"C:\\x\\Tolvane.exe\""));
  EXPECT_EQ(ReadRunValue(), std::string("\"C:\\x\\Tolvane.exe\""));
  DeleteRunValue();
  EXPECT_EQ(ReadRunValue(), std::nullopt);
}

// Only a start that Wine's loader failed is tried again, and only once; the
// failure then reports the error of the last try.
TEST(DriverStart, OnlyTheLoadersInternalErrorIsTriedOnceMore) {
  for (DWORD error : {static_cast<DWORD>(ERROR_INTERNAL_ERROR),
                      static_cast<DWORD>(ERROR_FILE_NOT_FOUND)}) {
    SCOPED_TRACE(error);
    int tries = 0;
    EXPECT_FALSE(CreateProcessOnceMoreAfterLoaderError("a program that never starts", [&] {
      ++tries;
      SetLastError(error);
      return FALSE;
    }));
    EXPECT_EQ(GetLastError(), error);
    EXPECT_EQ(tries, error == ERROR_INTERNAL_ERROR ? 2 : 1);
  }
}

}  // namespace
}  // namespace e2e
