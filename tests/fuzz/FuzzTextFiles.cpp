// Fuzz targets for the readers of the data folder's text files. Each
// checks that reading never fails on any bytes, and that what is written
// reads back as the same fields (the file form is canonical after one save).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/BarList.h"
#include "core/TextFile.h"
#include "messages/MessageFiles.h"
#include "settings/ContactFile.h"
#include "settings/SettingsFile.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> LinesOf(std::string_view disk) {
  return tolvane::SplitLines(tolvane::FromDiskText(disk));
}

void FuzzTextMode(std::string_view disk) {
  std::string text = tolvane::FromDiskText(disk);
  Require(text.size() <= disk.size());
  // Text without CR survives a save and a read unchanged.
  if (text.find('\r') == std::string::npos) {
    Require(tolvane::FromDiskText(tolvane::ToDiskText(text)) == text);
  }
  // The bounded first-line read agrees with reading the whole file.
  std::vector<std::string> lines = tolvane::SplitLines(text);
  std::string first = tolvane::FirstLineOf(disk, tolvane::kStatusLineChars);
  Require(first.size() <= tolvane::kStatusLineChars);
  std::string expected = lines.empty() ? std::string() : lines[0];
  Require(first == expected.substr(0, tolvane::kStatusLineChars));
  // Only the first maxChars + 1 bytes decide it.
  Require(tolvane::FirstLineOf(disk.substr(0, tolvane::kStatusLineChars + 1),
                               tolvane::kStatusLineChars) == first);
}

void FuzzSettings(std::string_view disk) {
  tolvane::Settings read = tolvane::ParseSettings(LinesOf(disk));
  std::string saved = tolvane::ToDiskText(tolvane::FormatSettings(read));
  tolvane::Settings again = tolvane::ParseSettings(LinesOf(saved));
  Require(LinesOf(saved).size() == 10);
  // Every field comes back as it was read, a line break inside it made a
  // blank; a second save gives the same bytes.
  Require(again.userName == tolvane::OneLine(read.userName));
  Require(again.password == tolvane::OneLine(read.password));
  Require(again.chatName == tolvane::OneLine(read.chatName));
  Require(again.ownerName == tolvane::OneLine(read.ownerName));
  Require(again.autoConnect == read.autoConnect);
  Require(again.startWithWindows == read.startWithWindows);
  Require(tolvane::ToDiskText(tolvane::FormatSettings(again)) == saved);
}

void FuzzContact(std::string_view disk) {
  tolvane::Contact read = tolvane::ParseContact(LinesOf(disk));
  std::string saved = tolvane::ToDiskText(tolvane::FormatContact(read));
  Require(LinesOf(saved).size() == 5);
  tolvane::Contact again = tolvane::ParseContact(LinesOf(saved));
  Require(again.phone == tolvane::OneLine(read.phone));
  Require(again.websites == tolvane::OneLine(read.websites));
  Require(tolvane::ToDiskText(tolvane::FormatContact(again)) == saved);
}

void FuzzBarList(std::string_view disk) {
  std::vector<std::string> lines = LinesOf(disk);
  std::vector<std::string> entries =
      tolvane::ParseBarList(tolvane::LineOrEmpty(lines, 0));
  for (const std::string& entry : entries) {
    Require(entry.find('|') == std::string::npos);
  }
  std::string saved = tolvane::ToDiskText(tolvane::FormatBarList(entries));
  std::vector<std::string> back = LinesOf(saved);
  Require(back.size() == 1);
  Require(tolvane::ParseBarList(back[0]) == entries);
}

// A message read from any bytes is in the editor's form (every line break
// one CR LF), is stored as exactly that, and reads back unchanged.
void FuzzMessage(std::string_view disk) {
  std::string text = tolvane::MessageFromDisk(disk);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') Require(i + 1 < text.size() && text[i + 1] == '\n');
    if (text[i] == '\n') Require(i > 0 && text[i - 1] == '\r');
  }
  std::string saved = tolvane::MessageToDisk(text);
  Require(saved == text);
  Require(tolvane::MessageFromDisk(saved) == text);
  if (disk.find_first_of("\r\n") == std::string_view::npos) Require(text == disk);
  // Earlier versions added a CR before every LF at each save: that changes
  // nothing.
  std::string resaved;
  for (char c : disk) {
    if (c == '\n') resaved += '\r';
    resaved += c;
  }
  Require(tolvane::MessageFromDisk(resaved) == text);
}

// Every entry read from schedule.txt has a buddy part; a key that Add can
// make (a time in range and a name that may have a message file) is written
// and read back as itself; and the buddy name checks accept nothing unsafe.
void FuzzSchedule(std::string_view disk) {
  std::vector<std::string> entries = tolvane::ParseScheduleLines(LinesOf(disk));
  for (const std::string& entry : entries) {
    Require(entry.find(' ') != std::string::npos);
    Require(entry.find('\n') == std::string::npos);
  }
  // Writing what was read, then reading it, gives back at least those
  // entries, in their order (entries of the form "time name": a blank
  // before the time's ":" is read back as another entry).
  std::vector<std::string> timed;
  for (const std::string& entry : entries) {
    if (entry.find('\r') == std::string::npos && entry.find(':') < entry.find(' ')) {
      timed.push_back(entry);
    }
  }
  entries = timed;
  std::string saved = tolvane::ToDiskText(tolvane::FormatScheduleList(entries));
  std::vector<std::string> back = tolvane::ParseScheduleLines(LinesOf(saved));
  std::size_t found = 0;
  for (const std::string& entry : back) {
    if (found < entries.size() && entry == entries[found]) ++found;
  }
  Require(found == entries.size());

  if (disk.size() < 2) return;
  const int hours = static_cast<unsigned char>(disk[0]) % 25;
  const int minutes = static_cast<unsigned char>(disk[1]) % 61;
  const std::string name(disk.substr(2));
  if (!tolvane::NameProblem(name, "s.txt").empty()) return;
  for (char c : name) {
    Require(static_cast<unsigned char>(c) >= 0x20);
    Require(std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos);
  }
  Require(!tolvane::IsDataFolderFile(name + "s.txt"));
  const std::string key = tolvane::ScheduleKey(hours, minutes, name);
  Require(tolvane::BuddyPartOf(key) == name);
  std::string one = tolvane::ToDiskText(tolvane::FormatScheduleList({key}));
  Require(tolvane::ParseScheduleLines(LinesOf(one)) == std::vector<std::string>{key});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view disk(reinterpret_cast<const char*>(data), size);
#if defined(TOLVANE_FUZZ_TEXT_MODE)
  FuzzTextMode(disk);
#elif defined(TOLVANE_FUZZ_SETTINGS)
  FuzzSettings(disk);
#elif defined(TOLVANE_FUZZ_CONTACT)
  FuzzContact(disk);
#elif defined(TOLVANE_FUZZ_BAR_LIST)
  FuzzBarList(disk);
#elif defined(TOLVANE_FUZZ_MESSAGE)
  FuzzMessage(disk);
#elif defined(TOLVANE_FUZZ_SCHEDULE)
  FuzzSchedule(disk);
#endif
  return 0;
}
