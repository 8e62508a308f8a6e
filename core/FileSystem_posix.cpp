// POSIX side of the file operations (native builds and tests).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/FileSystem.h"

namespace tolvane::fs {
namespace {

std::string Reason(int error) { return std::strerror(error); }

WriteResult Failure(int error) { return WriteResult{false, Reason(error)}; }

}  // namespace

FileContent Read(const std::string& path, std::size_t maxBytes) {
  FileContent content;
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      content.status = ReadStatus::kMissing;
    } else {
      content.status = ReadStatus::kFailed;
      content.error = Reason(error);
    }
    return content;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    content.status = ReadStatus::kFailed;
    content.error = Reason(EISDIR);
    return content;
  }
  if (maxBytes == std::string::npos && info.st_size > 0) {
    content.bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[65536];
  for (;;) {
    std::size_t want = sizeof buffer;
    if (maxBytes != std::string::npos) {
      std::size_t left = maxBytes - content.bytes.size();
      if (left == 0) break;
      if (left < want) want = left;
    }
    ssize_t got = ::read(fd, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      content.bytes.clear();
      content.status = ReadStatus::kFailed;
      content.error = Reason(error);
      return content;
    }
    if (got == 0) break;
    content.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  content.status = ReadStatus::kOk;
  return content;
}

WriteResult WriteNew(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return Failure(errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      return Failure(error);
    }
    done += static_cast<std::size_t>(put);
  }
  if (::fsync(fd) != 0) {
    int error = errno;
    ::close(fd);
    return Failure(error);
  }
  if (::close(fd) != 0) return Failure(errno);
  return WriteResult{};
}

WriteResult Replace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return Failure(errno);
  return WriteResult{};
}

void Remove(const std::string& path) { ::unlink(path.c_str()); }

WriteResult CreateIfMissing(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return WriteResult{};
    return Failure(errno);
  }
  ::close(fd);
  return WriteResult{};
}

WriteResult Truncate(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return Failure(errno);
  ::close(fd);
  return WriteResult{};
}

Kind KindOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Kind::kNone;
  return S_ISDIR(info.st_mode) ? Kind::kFolder : Kind::kFile;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace tolvane::fs
