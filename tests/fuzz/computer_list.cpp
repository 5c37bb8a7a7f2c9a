// The list file next to the program is written by hand: the input is its text, parsed as the
// domain action parses it and merged with itself as a browse list.

#include "actions/computer_list.h"
#include "fuzz_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = Text(data, size);
  const std::vector<ListedComputer> listed = ParseComputerList(text);
  Require(listed.size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
          "at most one name a line");
  std::vector<std::string> browsed;
  for (const ListedComputer& computer : listed) {
    Require(!computer.name.empty(), "no empty name");
    Require(computer.name.find('\n') == std::string::npos, "a name stays on its line");
    Require(computer.name.front() != ' ' && computer.name.back() != ' ', "spaces are dropped");
    Require(computer.name.front() != '#', "comments are no names");
    Require(computer.possible == IsPossibleComputerName(computer.name), "possible as checked");
    if (computer.possible) {
      Require(computer.name.size() <= 257, "a possible name fits a DNS name and the prefix");
      browsed.push_back(computer.name);
    }
  }
  const std::size_t count = CountPossibleComputers(listed);
  Require(count <= browsed.size(), "duplicates are counted once");
  // Every possible name is on the browse list already; only the impossible ones, each once, join.
  const std::size_t impossible = MergeComputers({}, listed).size() - count;
  Require(MergeComputers(browsed, listed).size() == browsed.size() + impossible,
          "the list adds only what the browse list lacks");
  return 0;
}
