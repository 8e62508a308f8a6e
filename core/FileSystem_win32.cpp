// Windows side of the file operations.
#include <windows.h>

#include <type_traits>

#include "core/FileSystem.h"
#include "core/UniqueHandle.h"

namespace tolvane {

// The portable owner holds a kernel handle as void* and tells "none" by the
// value of INVALID_HANDLE_VALUE; these are the system's own facts.
static_assert(std::is_same_v<HANDLE, KernelHandlePolicy::Handle>);
bool KernelHandlePolicy::Close(Handle handle) { return ::CloseHandle(handle) != FALSE; }

}  // namespace tolvane

namespace tolvane::fs {
namespace {

std::string Reason(DWORD error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason;
  if (length != 0 && text != nullptr) {
    reason.assign(text, length);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                               reason.back() == ' ')) {
      reason.pop_back();
    }
  }
  if (reason.empty()) reason = "Windows error " + std::to_string(error);
  return reason;
}

WriteResult Failure(DWORD error) { return WriteResult{false, Reason(error)}; }

bool IsSharingError(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

}  // namespace

FileContent Read(const std::string& path, std::size_t maxBytes) {
  FileContent content;
  KernelHandle file(
      CreateFileA(path.c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      content.status = ReadStatus::kMissing;
    } else {
      content.status = ReadStatus::kFailed;
      content.error = Reason(error);
    }
    return content;
  }
  LARGE_INTEGER size{};
  if (maxBytes == std::string::npos && GetFileSizeEx(file.get(), &size) &&
      size.QuadPart > 0) {
    content.bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  char buffer[65536];
  for (;;) {
    DWORD want = sizeof buffer;
    if (maxBytes != std::string::npos) {
      std::size_t left = maxBytes - content.bytes.size();
      if (left == 0) break;
      if (left < want) want = static_cast<DWORD>(left);
    }
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, want, &got, nullptr)) {
      DWORD error = GetLastError();
      content.bytes.clear();
      content.status = ReadStatus::kFailed;
      content.error = Reason(error);
      return content;
    }
    if (got == 0) break;
    content.bytes.append(buffer, got);
  }
  content.status = ReadStatus::kOk;
  return content;
}

WriteResult WriteNew(const std::string& path, std::string_view bytes) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Failure(GetLastError());
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t chunk = bytes.size() - done;
    if (chunk > (1u << 24)) chunk = 1u << 24;
    DWORD put = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(chunk), &put,
                   nullptr) ||
        put == 0) {
      DWORD error = GetLastError();
      return Failure(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
    }
    done += put;
  }
  if (!FlushFileBuffers(file.get())) {
    DWORD error = GetLastError();
    return Failure(error);
  }
  if (!file.Close()) return Failure(GetLastError());
  return WriteResult{};
}

WriteResult Replace(const std::string& from, const std::string& to) {
  // A file the user made read-only is not replaced (Windows refuses this too;
  // some emulations do not).
  DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return WriteResult{false, "The file is read-only."};
  }
  // Another process may hold the old file open for a moment (the bot reads
  // the files whole and closes them); wait up to about two seconds.
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return WriteResult{};
    }
    error = GetLastError();
    if (!IsSharingError(error)) break;
    Sleep(50);
  }
  return Failure(error);
}

void Remove(const std::string& path) { DeleteFileA(path.c_str()); }

WriteResult CreateIfMissing(const std::string& path) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      return WriteResult{};
    }
    return Failure(error);
  }
  return WriteResult{};
}

WriteResult Truncate(const std::string& path) {
  KernelHandle file;
  DWORD error = 0;
  for (int attempt = 0; attempt < 10; ++attempt) {
    file.reset(CreateFileA(path.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) break;
    error = GetLastError();
    if (!IsSharingError(error)) break;
    Sleep(20);
  }
  if (!file) return Failure(error);
  return WriteResult{};
}

Kind KindOf(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::kNone;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::kFolder : Kind::kFile;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace tolvane::fs
