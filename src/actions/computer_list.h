#pragma once
// The computers an administrator names in a plain-text file next to the program, for the domain
// action on networks whose provider lists no computers.
//
// One name a line, with or without two leading backslashes; spaces and tabs around it are
// dropped; blank lines and lines whose first character is '#' say nothing; lines end in CR LF or
// LF, and a UTF-8 byte-order mark at the start is skipped.

#include "platform/winconst.h"

#include <string>
#include <string_view>
#include <vector>

// One name of the list, as written but for the spaces around it.
struct ListedComputer {
  std::string name;
  bool possible = false; // false: no computer can bear the name, and no request goes to it
};

enum class ListFileState { Missing, Read, Unreadable };

struct ComputerListFile {
  ListFileState state = ListFileState::Missing;
  win::ErrorCode error = win::ErrorSuccess; // why an unreadable file could not be read
  std::vector<ListedComputer> computers;
};

// True when a computer can be called `name` (two leading backslashes aside): a NetBIOS name or
// a DNS name, that is one or more labels joined by dots, each of 1 to 63 characters, at most 255
// in all, without spaces, control characters or any of \ / : * ? " < > | , (a NetBIOS name is
// one label of at most 15 characters, so it passes too; an IPv6 address does not).
bool IsPossibleComputerName(std::string_view name);

// The names of the list text, in file order, duplicates included.
std::vector<ListedComputer> ParseComputerList(std::string_view text);

// Reads and parses the file; a file that isn't there is Missing, one that is there but can't be
// read (or is larger than any list of names) is Unreadable, with the reason.
ComputerListFile ReadComputerListFile(const char* path);

// The computers to ask: those of the browse list as they are, then those of the list file that
// are not among them yet, compared without regard to letter case or leading backslashes.
std::vector<ListedComputer> MergeComputers(const std::vector<std::string>& browsed,
                                           const std::vector<ListedComputer>& listed);

// How many distinct computers the list can reach.
std::size_t CountPossibleComputers(const std::vector<ListedComputer>& listed);
