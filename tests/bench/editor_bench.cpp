// Times the three buddy message dialogs on list files of 1,000, 10,000 and
// 100,000 entries: opening (until the dialog is shown and idle), Add, Remove
// of the top entry, and OK (the list file written and the dialog closed).
// Prints a table; exits non-zero when a result is wrong or the limits are
// missed (10,000 entries open in under 1 s; 100,000 take at most 12 times as
// long as 10,000). With --results-only (as the test command runs it) only a
// wrong result fails; the timings are printed all the same.
//
//   tests/wine/run-in-wine.sh build/win64/tests/bench/tolvane_editor_bench.exe
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "messages/AwayMessagesDlg.h"
#include "messages/DeliverMessagesDlg.h"
#include "messages/ScheduleMessageDlg.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestFolder.h"
#include "tests/win/MessageBoxCatcher.h"

namespace {

using bench::Now;
using bench::PumpUntilIdle;
using tolvane::testing::MessageBoxCatcher;
using tolvane::testing::TempFolder;

enum class Kind { kAway, kDeliver, kSchedule };

const char* NameOf(Kind kind) {
  switch (kind) {
    case Kind::kAway: return "Away Messages";
    case Kind::kDeliver: return "Deliver Messages";
    case Kind::kSchedule: return "Schedule Message";
  }
  return "";
}

const char* ListFileOf(Kind kind) {
  switch (kind) {
    case Kind::kAway: return "buddya.txt";
    case Kind::kDeliver: return "buddym.txt";
    case Kind::kSchedule: return "schedule.txt";
  }
  return "";
}

std::string ListFile(Kind kind, int entries) {
  std::string bytes;
  for (int i = 0; i < entries; ++i) {
    std::string name = "buddy" + std::to_string(i);
    if (kind == Kind::kSchedule) {
      if (i != 0) bytes += "\r\n";
      bytes += std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + ":" + name;
    } else {
      bytes += name + "|";
    }
  }
  if (kind != Kind::kSchedule) bytes += "\r\n";
  return bytes;
}

std::unique_ptr<CBuddyMessageDlg> Make(Kind kind, const std::string& folder) {
  switch (kind) {
    case Kind::kAway: return std::make_unique<CAwayMessagesDlg>(folder, nullptr);
    case Kind::kDeliver: return std::make_unique<CDeliverMessagesDlg>(folder, nullptr);
    case Kind::kSchedule: return std::make_unique<CScheduleMessageDlg>(folder, nullptr);
  }
  return nullptr;
}

struct Timing {
  double open = 0, add = 0, remove = 0, ok = 0;
  bool right = false;
};

Timing Measure(Kind kind, int entries) {
  TempFolder data;
  data.Write(ListFileOf(kind), ListFile(kind, entries));
  Timing t;

  double start = Now();
  std::unique_ptr<CBuddyMessageDlg> dialog = Make(kind, data.folder());
  if (!dialog->Create(nullptr)) return t;
  ShowWindow(dialog->hwnd(), SW_SHOW);
  UpdateWindow(dialog->hwnd());
  PumpUntilIdle();
  t.open = Now() - start;
  HWND list = GetDlgItem(dialog->hwnd(), IDC_KEY_LIST);
  bool listed = ListView_GetItemCount(list) == entries;

  SetDlgItemTextA(dialog->hwnd(), IDC_BUDDY_NAME, "newcomer");
  start = Now();
  SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BUDDY_ADD, BN_CLICKED), 0);
  PumpUntilIdle();
  t.add = Now() - start;
  bool added = ListView_GetItemCount(list) == entries + 1 &&
               data.Exists(std::string("newcomer") + dialog->editor().setup().messageSuffix);

  ListView_SetSelectionMark(list, 0);
  start = Now();
  SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BUDDY_REMOVE, BN_CLICKED), 0);
  PumpUntilIdle();
  t.remove = Now() - start;
  bool removed = ListView_GetItemCount(list) == entries;

  start = Now();
  SendMessageA(dialog->hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PumpUntilIdle();
  t.ok = Now() - start;
  bool closed = dialog->hwnd() == nullptr;

  // The written list: the same number of entries, the new one last.
  std::string written = data.Read(ListFileOf(kind)).value_or("");
  std::size_t count = 0;
  for (char c : written) count += c == (kind == Kind::kSchedule ? '\n' : '|') ? 1 : 0;
  if (kind == Kind::kSchedule && !written.empty()) ++count;
  bool newLast = kind == Kind::kSchedule
                     ? written.size() >= 14 &&
                           written.compare(written.size() - 14, 14, "\n0:00:newcomer") == 0
                     : written.size() >= 11 &&
                           written.compare(written.size() - 11, 11, "newcomer|\r\n") == 0;
  t.right = listed && added && removed && closed &&
            count == static_cast<std::size_t>(entries) && newLast;
  return t;
}

std::string Milliseconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", seconds * 1000);
  return text;
}

std::string Ratio(double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ratio);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const bool resultsOnly = argc > 1 && std::string(argv[1]) == "--results-only";
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  MessageBoxCatcher catcher(IDOK);  // none is expected; none may block

  const std::vector<int> sizes{1000, 10000, 100000};
  bool ok = true;
  std::string rows;  // of the figures table, printed last
  std::printf("%-17s %8s %10s %10s %10s %10s  %s\n", "dialog", "entries", "open ms",
              "add ms", "remove ms", "OK ms", "result");
  for (Kind kind : {Kind::kAway, Kind::kDeliver, Kind::kSchedule}) {
    std::vector<Timing> timings;
    for (int size : sizes) {
      Timing t = Measure(kind, size);
      timings.push_back(t);
      std::printf("%-17s %8d %10.1f %10.1f %10.1f %10.1f  %s\n", NameOf(kind), size,
                  t.open * 1000, t.add * 1000, t.remove * 1000, t.ok * 1000,
                  t.right ? "right" : "WRONG");
      std::fflush(stdout);
      ok = ok && t.right;
    }
    double ratio = timings[2].open / timings[1].open;
    double okRatio = timings[2].ok / timings[1].ok;
    bool fast = timings[1].open < 1.0 && ratio <= 12.0;
    std::printf("%-17s open 100,000 / 10,000 = %.1f, OK 100,000 / 10,000 = %.1f  %s\n\n",
                NameOf(kind), ratio, okRatio, fast ? "within the limits" : "TOO SLOW");
    rows += std::string("| ") + NameOf(kind) + ", open with 1,000 / 10,000 / 100,000 entries | " +
            Milliseconds(timings[0].open) + " / " + Milliseconds(timings[1].open) + " / " +
            Milliseconds(timings[2].open) + " ms (" + Ratio(ratio) + "x from 10,000) |\n";
    rows += std::string("| ") + NameOf(kind) + ", OK with 10,000 / 100,000 entries | " +
            Milliseconds(timings[1].ok) + " / " + Milliseconds(timings[2].ok) + " ms (" +
            Ratio(okRatio) + "x) |\n";
    ok = ok && (fast || resultsOnly);
  }
  if (!catcher.boxes().empty()) {
    std::printf("unexpected message box: %s\n", catcher.boxes()[0].text.c_str());
    ok = false;
  }
  const char* verdict = !ok           ? "FAILED"
                        : resultsOnly ? "All results right."
                                      : "All results right, all timings within the limits.";
  std::printf("%s\n\n%s", verdict, rows.c_str());
  return ok ? 0 : 1;
}
