#include "core/TextFile.h"

#include <cstdint>
#include <string>

#include "core/FileSystem.h"

namespace tolvane {

FileContent ReadWholeFile(const std::string& path) {
  return fs::Read(path, std::string::npos);
}

FileContent ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
  return fs::Read(path, maxBytes);
}

std::string FromDiskText(std::string_view disk) {
  std::string text;
  text.reserve(disk.size());
  for (std::size_t i = 0; i < disk.size(); ++i) {
    if (disk[i] == '\r' && i + 1 < disk.size() && disk[i + 1] == '\n') continue;
    text.push_back(disk[i]);
  }
  return text;
}

std::string ToDiskText(std::string_view text) {
  std::string disk;
  disk.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') disk.push_back('\r');
    disk.push_back(c);
  }
  return disk;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

TextLines ReadTextLines(const std::string& path) {
  FileContent content = ReadWholeFile(path);
  TextLines result;
  result.status = content.status;
  result.error = content.error;
  if (content.ok()) result.lines = SplitLines(FromDiskText(content.bytes));
  return result;
}

const std::string& LineOrEmpty(const std::vector<std::string>& lines,
                               std::size_t index) {
  static const std::string kEmpty;
  return index < lines.size() ? lines[index] : kEmpty;
}

std::string OneLine(std::string_view value) {
  std::string line;
  line.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
    line.push_back(value[i] == '\r' || value[i] == '\n' ? ' ' : value[i]);
  }
  return line;
}

std::string FirstLineOf(std::string_view disk, std::size_t maxChars) {
  std::size_t lf = disk.find('\n');
  std::string_view line = disk.substr(0, lf);
  if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return std::string(line.substr(0, maxChars));
}

std::string ReadFirstLine(const std::string& path, std::size_t maxChars) {
  // One byte more than the line may hold tells whether a CR at the limit is
  // the CR of the line end.
  FileContent content = ReadFilePrefix(path, maxChars + 1);
  if (!content.ok()) return std::string();
  return FirstLineOf(content.bytes, maxChars);
}

std::string TemporaryPathFor(const std::string& path) {
  // The file's own name in front, so that it lands in the same folder, and an
  // end no data file has.
  return path + ".~" + std::to_string(static_cast<std::uint32_t>(fs::ProcessId())) +
         ".new";
}

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = TemporaryPathFor(path);
  fs::Remove(temp);
  WriteResult written = fs::WriteNew(temp, bytes);
  if (!written.ok) {
    fs::Remove(temp);
    return written;
  }
  WriteResult replaced = fs::Replace(temp, path);
  if (!replaced.ok) fs::Remove(temp);
  return replaced;
}

WriteResult CreateEmptyIfMissing(const std::string& path) {
  return fs::CreateIfMissing(path);
}

WriteResult EmptyFile(const std::string& path) { return fs::Truncate(path); }

bool FolderExists(const std::string& path) {
  return fs::KindOf(path) == fs::Kind::kFolder;
}

bool FileExists(const std::string& path) {
  return fs::KindOf(path) == fs::Kind::kFile;
}

}  // namespace tolvane
