// One owner for a Windows handle: it closes the handle when it goes, moves
// but never copies, and knows how to close its kind of handle through a
// policy. A policy names the handle type, tells a held handle from none and
// closes one:
//   struct Policy {
//     using Handle = ...;
//     static bool IsHeld(Handle handle);
//     static bool Close(Handle handle);   // true when the system closed it
//   };
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

template <typename Policy>
class UniqueHandle {
 public:
  using Handle = typename Policy::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { Close(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Policy::IsHeld(handle_); }

  // Hands the handle over without closing it.
  Handle release() noexcept { return std::exchange(handle_, Handle{}); }
  // Closes the handle held (if any) and takes `handle` instead.
  void reset(Handle handle = Handle{}) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (Policy::IsHeld(old)) Policy::Close(old);
  }
  // Closes the handle now; true when none was held or the system closed it.
  bool Close() noexcept {
    const Handle old = std::exchange(handle_, Handle{});
    return !Policy::IsHeld(old) || Policy::Close(old);
  }
  // For the calls that return a handle through a pointer: closes the handle
  // held and gives the place of the new one.
  Handle* Receive() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_{};
};

// A kernel object (file, mutex, process, thread). CreateFile says "none" with
// INVALID_HANDLE_VALUE, the other calls with a null handle: both hold nothing.
struct KernelHandlePolicy {
  using Handle = HANDLE;
  static bool IsHeld(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  }
  static bool Close(HANDLE handle) { return ::CloseHandle(handle) != FALSE; }
};

struct RegistryKeyPolicy {
  using Handle = HKEY;
  static bool IsHeld(HKEY key) { return key != nullptr; }
  static bool Close(HKEY key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }
};

struct MenuPolicy {
  using Handle = HMENU;
  static bool IsHeld(HMENU menu) { return menu != nullptr; }
  static bool Close(HMENU menu) { return ::DestroyMenu(menu) != FALSE; }
};

using KernelHandle = UniqueHandle<KernelHandlePolicy>;
using RegistryKey = UniqueHandle<RegistryKeyPolicy>;
using UniqueMenu = UniqueHandle<MenuPolicy>;

}  // namespace fw
