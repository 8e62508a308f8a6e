// Owners of the Windows handles the framework and the dialogs hold: the
// owning type and its kernel-handle policy come from core/UniqueHandle.h;
// here are the policies of registry keys and menus.
#pragma once

#include <windows.h>

#include <type_traits>

#include "core/UniqueHandle.h"

namespace fw {

using tolvane::KernelHandle;
using tolvane::KernelHandlePolicy;
using tolvane::UniqueHandle;

static_assert(std::is_same_v<HANDLE, KernelHandlePolicy::Handle>,
              "a kernel handle is held as the system's HANDLE");

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

using RegistryKey = UniqueHandle<RegistryKeyPolicy>;
using UniqueMenu = UniqueHandle<MenuPolicy>;

}  // namespace fw
