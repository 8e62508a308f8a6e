// Waiting for a condition: polled, with a time limit, never a blind sleep.
#pragma once

#include <windows.h>

namespace e2e {

// How long a test waits for something the program should do promptly.
inline constexpr DWORD kTimeoutMs = 10000;
inline constexpr DWORD kPollMs = 50;

// Handles the messages of the test's own thread (the windows a test creates
// for itself) while it waits.
inline void PumpMessages(DWORD waitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Calls condition() every kPollMs until it returns true (then true) or the
// time is up (then false).
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kTimeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    PumpMessages(kPollMs);
  }
}

// Lets the given time pass while the test's own windows keep working; for
// checking that something does NOT happen within that time.
inline void Pause(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) PumpMessages(kPollMs);
}

}  // namespace e2e
