// One owner for a handle of the operating system: it closes the handle when
// it goes, moves but never copies, and knows how to close its kind of handle
// through a policy. A policy names the handle type, tells a held handle from
// none and closes one:
//   struct Policy {
//     using Handle = ...;
//     static bool IsHeld(Handle handle);
//     static bool Close(Handle handle);   // true when the system closed it
//   };
// The policies of the Windows handles the program holds are in
// framework/UniqueHandle.h; the kernel handle's is here because the file
// layer below the framework holds files.
#pragma once

#include <cstdint>
#include <utility>

namespace tolvane {

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

// A Windows kernel object (file, mutex, process, thread). CreateFile says
// "none" with INVALID_HANDLE_VALUE (all bits set), the other calls with a
// null handle: both hold nothing. A Windows HANDLE is a void*; Close is
// defined by the Win32 file layer, the only place it is needed below the
// framework, which checks those facts against the system's headers.
struct KernelHandlePolicy {
  using Handle = void*;
  static bool IsHeld(Handle handle) {
    return handle != nullptr &&
           reinterpret_cast<std::uintptr_t>(handle) != ~std::uintptr_t{0};
  }
  static bool Close(Handle handle);
};

using KernelHandle = UniqueHandle<KernelHandlePolicy>;

}  // namespace tolvane
