#include "actions/computer_list.h"

#include "platform/kernel.h"

#include <algorithm>
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

constexpr std::uint32_t ReadChunkSize = 4096;
// Far more names than one domain action could ask one after the other; a larger file is no list.
constexpr std::size_t MaxListFileSize = std::size_t{1} << 20;

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

// Names that are the same computer give the same key: the letters A to Z folded, as Windows
// compares names, and without the leading backslashes.
std::string ComputerKey(std::string_view name) {
  std::string key(WithoutPrefix(name));
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return key;
}

} // namespace

bool IsPossibleComputerName(std::string_view name) {
  name = WithoutPrefix(name);
  if (name.empty() || name.size() > win::MaxDnsNameLength) {
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

std::vector<ListedComputer> ParseComputerList(std::string_view text) {
  if (text.starts_with(Utf8ByteOrderMark)) {
    text.remove_prefix(Utf8ByteOrderMark.size());
  }
  std::vector<ListedComputer> computers;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    line = Trimmed(line);
    if (!line.empty() && line.front() != CommentMark) {
      computers.push_back({std::string(line), IsPossibleComputerName(line)});
    }
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
  return static_cast<std::size_t>(std::count_if(
      distinct.begin(), distinct.end(), [](const ListedComputer& c) { return c.possible; }));
}
