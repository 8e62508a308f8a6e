// One control panel per logged-on user: two panels would edit the same files
// behind each other's back, and could start two bots under one screen name.
#pragma once

#include <windows.h>

class SingleInstance {
 public:
  // Takes the session-wide name of the panel; `first()` tells whether no
  // other panel held it.
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool first() const { return first_; }

  // What a second copy does: brings the running panel's window (or the box
  // it shows) to the front, or, while that window is out of sight in the
  // notification area, says where to find it.
  static void PointToRunningPanel();

 private:
  HANDLE mutex_ = nullptr;
  bool first_ = true;
};
