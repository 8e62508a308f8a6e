// The 32-bit program hands these structures to Windows with the sizes that
// 32-bit Windows expects; the compiler checks them in the 32-bit build. The
// code itself always uses sizeof and the headers' size macros.
#include <windows.h>
#include <shellapi.h>

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "SHELLEXECUTEINFOA on 32-bit Windows");
static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA on 32-bit Windows");
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "NOTIFYICONDATAA, shell 5 layout");
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
static_assert(sizeof(APPBARDATA) == 36, "APPBARDATA on 32-bit Windows");
static_assert(sizeof(ANIMATIONINFO) == 8, "ANIMATIONINFO");
static_assert(sizeof(PROCESS_INFORMATION) == 16, "PROCESS_INFORMATION on 32-bit Windows");
#endif
