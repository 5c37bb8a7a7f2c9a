// The list file next to the program is written by hand: the input is its text, parsed as the
// domain action parses it (directory lines included) and merged with itself as a browse list,
// and decoded as UTF-8.

#include "actions/computer_list.h"
#include "actions/directory_computers.h"
#include "fuzz_support.h"

#include <algorithm>

namespace {

// UTF-16 back to UTF-8: a text that decoded must come back byte for byte.
std::string Utf8Of(const std::u16string& wide) {
  std::string text;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t point = wide[i];
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < wide.size()) {
      point = 0x10000 + ((point - 0xD800) << 10) + (wide[++i] - 0xDC00);
    }
    if (point < 0x80) {
      text += static_cast<char>(point);
    } else if (point < 0x800) {
      text += static_cast<char>(0xC0 | (point >> 6));
      text += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      text += static_cast<char>(0xE0 | (point >> 12));
      text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (point >> 18));
      text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = Text(data, size);
  if (const std::optional<std::u16string> wide = DecodeUtf8(text)) {
    Require(wide->size() <= text.size(), "no more characters than bytes");
    Require(Utf8Of(*wide) == text, "valid UTF-8 decodes without loss");
  }
  const std::vector<ListedComputer> listed = ParseComputerList(text);
  Require(listed.size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
          "at most one name a line");
  std::vector<std::string> browsed;
  for (const ListedComputer& computer : listed) {
    Require(!computer.name.empty(), "no empty name");
    Require(computer.name.find('\n') == std::string::npos, "a name stays on its line");
    Require(computer.name.front() != ' ' && computer.name.back() != ' ', "spaces are dropped");
    Require(computer.name.front() != '#', "comments are no names");
    Require(computer.directory == IsDirectoryLine(computer.name), "directory lines by prefix");
    const std::optional<DirectoryContainer> container = ParseDirectoryLine(computer.name);
    Require(!container || computer.directory, "only directory lines name containers");
    if (container) {
      Require(!container->base.empty(), "a container has a name");
      Require(container->base.size() < computer.name.size(), "the name comes from the line");
      Require(container->server.empty() ||
                  IsPossibleComputerName(container->server.substr(0, container->server.find(':'))),
              "a server is a computer");
    }
    // A name the ANSI code page can't hold is never possible, whatever its bytes look like.
    Require(!computer.possible || (computer.directory ? container.has_value()
                                                      : IsPossibleComputerName(computer.name)),
            "possible as checked");
    Require(computer.line >= 1, "every name has its line");
    if (computer.possible && !computer.directory) {
      Require(computer.name.size() <= 257, "a possible name fits a DNS name and the prefix");
      browsed.push_back(computer.name);
    }
  }
  const std::size_t count = CountPossibleComputers(listed);
  Require(count <= browsed.size(), "duplicates are counted once");
  // Every possible name is on the browse list already: only impossible ones and containers
  // join, each once.
  const std::vector<ListedComputer> merged = MergeComputers(browsed, listed);
  const std::size_t others = MergeComputers({}, listed).size() - count;
  Require(CountDirectoryContainers(listed) <= others, "containers are counted once");
  Require(merged.size() >= browsed.size() && merged.size() <= browsed.size() + others,
          "the list adds only what the browse list lacks");
  Require(std::none_of(merged.begin() + static_cast<std::ptrdiff_t>(browsed.size()), merged.end(),
                       [](const ListedComputer& c) { return c.possible && !c.directory; }),
          "no possible name twice");
  return 0;
}
