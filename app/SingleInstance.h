// One control panel per logged-on user: two panels would edit the same files
// behind each other's back, and could start two bots under one screen name.
#pragma once

#include <windows.h>

#include "framework/UniqueHandle.h"

class SingleInstance {
 public:
  // Takes the session-wide name of the panel; `first()` tells whether no
  // other panel held it.
  SingleInstance();

  bool first() const { return first_; }

  // What a second copy does: brings the running panel's window (or the box
  // it shows) to the front, or, while that window is out of sight, says what
  // the panel is doing: preparing Perl at its first run, or waiting in the
  // notification area.
  static void PointToRunningPanel();

  // The running panel marks its main window while the first run's setup
  // keeps that window off the screen, so that a second copy can say so.
  static void MarkFirstRunSetup(HWND panel, bool underWay);

 private:
  fw::KernelHandle mutex_;
  bool first_ = true;
};
