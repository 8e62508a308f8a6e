#include "messages/MessageFiles.h"

#include <cstdio>

#include "core/DataFolder.h"

namespace tolvane {

std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c == '\r') {
      std::size_t end = text.find_first_not_of('\r', i);
      if (end != std::string_view::npos && text[end] == '\n') {
        // CR LF, CR CR LF, CR CR CR LF...: one line break.
        i = end;
        out += "\r\n";
      } else {
        // CRs with no LF after them: each one a line break.
        if (end == std::string_view::npos) end = n;
        for (; i < end; ++i) out += "\r\n";
        --i;
      }
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string ScheduleKey(int hours, int minutes, const std::string& buddy) {
  char time[32];
  std::snprintf(time, sizeof time, minutes < 10 ? "%d:0%d " : "%d:%d ", hours,
                minutes);
  return time + buddy;
}

std::string BuddyPartOf(const std::string& entry) {
  std::size_t space = entry.find(' ');
  return space == std::string::npos ? std::string() : entry.substr(space + 1);
}

std::vector<std::string> ParseScheduleLines(const std::vector<std::string>& lines) {
  std::vector<std::string> entries;
  for (const std::string& original : lines) {
    std::size_t first = original.find(':');
    if (first == std::string::npos) continue;
    std::string line = original;
    for (std::size_t colon = line.find(':', first + 1); colon != std::string::npos;
         colon = line.find(':', colon + 1)) {
      line[colon] = ' ';
      entries.push_back(line);
    }
  }
  return entries;
}

std::string FormatScheduleList(const std::vector<std::string>& entries) {
  std::size_t size = 0;
  for (const std::string& entry : entries) size += entry.size() + 1;
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i != 0) text += '\n';
    std::size_t start = text.size();
    text += entries[i];
    std::size_t space = entries[i].find(' ');
    if (space != std::string::npos) text[start + space] = ':';
  }
  return text;
}

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// Whether Windows takes a file name for a device: its part before the first
// dot, without blanks at its end, is a device name ("con", "NUL.txt",
// "com1 .x"). The superscript digits of the Windows code page count as
// digits here, as Windows counts them.
bool NamesDevice(std::string_view fileName) {
  std::string_view base = fileName.substr(0, fileName.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (SameIgnoringCase(base, device)) return true;
  }
  if (base.size() == 4 &&
      (SameIgnoringCase(base.substr(0, 3), "COM") ||
       SameIgnoringCase(base.substr(0, 3), "LPT"))) {
    char digit = base[3];
    return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' ||
           digit == '\xB3';
  }
  return false;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

bool IsDataFolderFile(std::string_view fileName) {
  for (std::string_view own :
       {files::kSettings, files::kContact, files::kTrustedList, files::kAwayList,
        files::kDeliverList, files::kSchedule, files::kResults, files::kControl,
        files::kReceived, files::kReadme, files::kScript}) {
    if (SameIgnoringCase(fileName, own)) return true;
  }
  return false;
}

std::string NameProblem(std::string_view name, std::string_view suffix) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) {
      return "it contains a control character (a tab, a line break or the like), "
             "which Windows does not allow in a file name";
    }
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return "it contains the character " + Quoted(std::string_view(&c, 1)) +
             ", which Windows does not allow in a file name";
    }
  }
  // Only the message file's name matters: the suffix always follows the
  // name, so "con" is safe as "cona.txt" but not as "con.txt", and a name
  // ending in a dot or a blank never ends the file name.
  const std::string fileName = std::string(name) + std::string(suffix);
  if (NamesDevice(fileName)) {
    return "its message file would be " + Quoted(fileName) +
           ", which Windows takes for the device " +
           Quoted(fileName.substr(0, fileName.find('.'))) + " and no file can have";
  }
  if (IsDataFolderFile(fileName)) {
    return "its message file would be " + Quoted(fileName) +
           ", which is one of Tolvane's own files in the data folder";
  }
  return std::string();
}

std::string MessageFileProblem(std::string_view folder, std::string_view name,
                               std::string_view suffix) {
  std::string problem = NameProblem(name, suffix);
  if (!problem.empty()) return problem;
  const std::size_t length = folder.size() + name.size() + suffix.size();
  if (length > kLongestMessagePath) {
    const std::size_t fixed = folder.size() + suffix.size();
    const std::size_t room = fixed < kLongestMessagePath ? kLongestMessagePath - fixed : 0;
    return "it is too long: its message file's path would have " + std::to_string(length) +
           " characters, and Tolvane can save a message file only when its path has at "
           "most " + std::to_string(kLongestMessagePath) + " (at most " +
           std::to_string(room) + " for the name)";
  }
  return std::string();
}

}  // namespace tolvane
