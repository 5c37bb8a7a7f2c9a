#include "actions/computer_list.h"

#include "actions/directory_computers.h"
#include "common/texts.h"
#include "platform/kernel.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

constexpr std::string_view UncPrefix = "\\\\";
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view Blanks = " \t";
constexpr std::string_view CharactersNoNameHolds = "\\/:*?\"<>|, ";
constexpr char CommentMark = '#';
constexpr char LabelSeparator = '.';
constexpr unsigned char FirstPrintable = 0x20;
constexpr unsigned char DeleteCharacter = 0x7F;
constexpr std::size_t MaxLabelLength = 63;
// A report names a line by its start only: a damaged line may be megabytes long.
constexpr std::size_t MaxReportedNameLength = 40;
constexpr char CutMark[] = "...";

constexpr std::uint32_t ReadChunkSize = 64 * 1024;

std::string_view WithoutPrefix(std::string_view name) {
  if (name.starts_with(UncPrefix)) {
    name.remove_prefix(UncPrefix.size());
  }
  return name;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// A fully qualified name may end in the root's dot; it names the same computer without it.
std::string_view WithoutRootDot(std::string_view name) {
  if (name.ends_with(LabelSeparator)) {
    name.remove_suffix(1);
  }
  return name;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The name as the requests take it: a UTF-8 list's name in the ANSI code page. False when that
// code page has no place for one of its characters (they show as its default character) or the
// name is no valid UTF-8 (it stays as written).
bool ToAnsiName(std::string_view name, bool utf8, std::string& ansi) {
  ansi.assign(name);
  if (!utf8 || IsAscii(name)) {
    return true;
  }
  const std::optional<std::u16string> wide = DecodeUtf8(name);
  std::string converted;
  bool usedDefault = false;
  if (!wide || !platform::WideCharToAnsi(*wide, converted, usedDefault)) {
    return false;
  }
  ansi = converted;
  return !usedDefault;
}

// Names that are the same computer give the same key: the letters A to Z folded, as Windows
// compares names, and without the leading backslashes or the root's dot.
std::string ComputerKey(std::string_view name) {
  std::string key(WithoutRootDot(WithoutPrefix(name)));
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return key;
}

} // namespace

bool ComputerNameTooLong(std::string_view name) {
  return WithoutRootDot(WithoutPrefix(name)).size() > MaxComputerNameCharacters;
}

bool IsPossibleComputerName(std::string_view name) {
  if (ComputerNameTooLong(name)) {
    return false;
  }
  name = WithoutRootDot(WithoutPrefix(name));
  if (name.empty()) {
    return false;
  }
  std::size_t label = 0;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < FirstPrintable || byte == DeleteCharacter ||
        CharactersNoNameHolds.find(c) != std::string_view::npos) {
      return false;
    }
    if (c != LabelSeparator) {
      ++label;
    } else if (label == 0) {
      return false;
    } else {
      label = 0;
    }
    if (label > MaxLabelLength) {
      return false;
    }
  }
  return label > 0;
}

std::optional<std::u16string> DecodeUtf8(std::string_view text) {
  constexpr char32_t LastCodePoint = 0x10FFFF;
  constexpr char32_t FirstSurrogate = 0xD800;
  constexpr char32_t LastSurrogate = 0xDFFF;
  constexpr char32_t FirstSupplementary = 0x10000;
  // The smallest code point each length may carry: a longer form of a smaller one is invalid.
  constexpr char32_t SmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t point = 0;
    if (lead < 0x80) {
      length = 1;
      point = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      point = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + length > text.size()) {
      return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        return std::nullopt;
      }
      point = (point << 6) | (next & 0x3F);
    }
    if (point < SmallestOfLength[length] || point > LastCodePoint ||
        (point >= FirstSurrogate && point <= LastSurrogate)) {
      return std::nullopt;
    }
    if (point >= FirstSupplementary) {
      point -= FirstSupplementary;
      wide += static_cast<char16_t>(FirstSurrogate + (point >> 10));
      wide += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
    } else {
      wide += static_cast<char16_t>(point);
    }
    i += length;
  }
  return wide;
}

std::vector<ListedComputer> ParseComputerList(std::string_view text) {
  const bool byteOrderMark = text.starts_with(Utf8ByteOrderMark);
  if (byteOrderMark) {
    text.remove_prefix(Utf8ByteOrderMark.size());
  }
  // Without a mark, only a text that is UTF-8 throughout was saved as UTF-8: in any other the
  // bytes above 127 are letters of the ANSI code page.
  const bool utf8 = byteOrderMark || IsAscii(text) || DecodeUtf8(text).has_value();
  std::vector<ListedComputer> computers;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    line = Trimmed(line);
    if (line.empty() || line.front() == CommentMark) {
      continue;
    }
    std::string name;
    const bool held = ToAnsiName(line, utf8, name);
    const bool directory = IsDirectoryLine(name);
    const bool possible =
        held && (directory ? ParseDirectoryLine(name).has_value() : IsPossibleComputerName(name));
    computers.push_back({std::move(name), possible, lineNumber, directory});
  }
  return computers;
}

ComputerListFile ReadComputerListFile(const char* path) {
  ComputerListFile list;
  const win::Handle file = platform::OpenFileForReading(path);
  if (file == win::NoHandle) {
    const win::ErrorCode error = platform::GetLastError();
    if (error != win::ErrorFileNotFound && error != win::ErrorPathNotFound) {
      list.state = ListFileState::Unreadable;
      list.error = error;
    }
    return list;
  }
  std::string text;
  char chunk[ReadChunkSize];
  bool complete = false;
  for (;;) {
    const std::int32_t count = platform::ReadFile(file, chunk, sizeof chunk);
    if (count < 0) {
      list.error = platform::GetLastError();
      break;
    }
    if (count == 0) {
      complete = true;
      break;
    }
    if (text.size() + static_cast<std::size_t>(count) > MaxListFileSize) {
      list.error = win::ErrorFileTooLarge;
      break;
    }
    text.append(chunk, static_cast<std::size_t>(count));
  }
  platform::CloseFile(file);
  if (!complete) {
    // Half a list would leave out computers without a word.
    list.state = ListFileState::Unreadable;
    return list;
  }
  list.state = ListFileState::Read;
  list.computers = ParseComputerList(text);
  return list;
}

std::vector<ListedComputer> MergeComputers(const std::vector<std::string>& browsed,
                                           const std::vector<ListedComputer>& listed) {
  std::vector<ListedComputer> merged;
  std::set<std::string> known;
  for (const std::string& name : browsed) {
    merged.push_back({name, true});
    known.insert(ComputerKey(name));
  }
  for (const ListedComputer& computer : listed) {
    if (known.insert(ComputerKey(computer.name)).second) {
      merged.push_back(computer);
    }
  }
  return merged;
}

std::size_t CountPossibleComputers(const std::vector<ListedComputer>& listed) {
  const std::vector<ListedComputer> distinct = MergeComputers({}, listed);
  return static_cast<std::size_t>(
      std::count_if(distinct.begin(), distinct.end(),
                    [](const ListedComputer& c) { return c.possible && !c.directory; }));
}

std::size_t CountDirectoryContainers(const std::vector<ListedComputer>& listed) {
  const std::vector<ListedComputer> distinct = MergeComputers({}, listed);
  return static_cast<std::size_t>(
      std::count_if(distinct.begin(), distinct.end(),
                    [](const ListedComputer& c) { return c.possible && c.directory; }));
}

std::size_t CountImpossibleLines(const std::vector<ListedComputer>& listed) {
  return static_cast<std::size_t>(std::count_if(
      listed.begin(), listed.end(), [](const ListedComputer& c) { return !c.possible; }));
}

std::string ImpossibleLinesReport(const std::vector<ListedComputer>& listed) {
  const std::size_t count = CountImpossibleLines(listed);
  if (count == 0) {
    return {};
  }
  char text[160];
  std::snprintf(text, sizeof text, count == 1 ? ImpossibleLineFormat : ImpossibleLinesFormat,
                static_cast<unsigned long>(count), ComputerListFileName);
  std::string report = text;
  std::size_t shown = 0;
  for (const ListedComputer& computer : listed) {
    if (computer.possible) {
      continue;
    }
    if (shown == MaxReportedLines) {
      std::snprintf(text, sizeof text, MoreImpossibleLinesFormat,
                    static_cast<unsigned long>(count - shown));
      report += text;
      break;
    }
    ++shown;
    std::string name = computer.name.substr(0, MaxReportedNameLength);
    if (name.size() < computer.name.size()) {
      name += CutMark;
    }
    std::snprintf(text, sizeof text, ImpossibleLineItemFormat,
                  static_cast<unsigned long>(computer.line));
    report += text;
    report += name;
  }
  return report;
}
