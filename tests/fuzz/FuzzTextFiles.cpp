// Fuzz targets for the readers of the data folder's text files. Each
// checks that reading never fails on any bytes, and that what is written
// reads back as the same fields (the file form is canonical after one save).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/BarList.h"
#include "app/TextFile.h"
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
#endif
  return 0;
}
