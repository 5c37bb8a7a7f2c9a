#pragma once
// The computers an administrator names in a plain-text file next to the program, for the domain
// action on networks whose provider lists no computers.
//
// One name a line, with or without two leading backslashes, or a directory container in the
// ADSI path form ("LDAP://OU=Lab,DC=example,DC=test") that stands for its computers; spaces
// and tabs around it are dropped; blank lines and lines whose first character is '#' say nothing;
// lines end in CR LF or LF. A list saved as UTF-8 (with a byte-order mark, or without one when the
// whole text is valid UTF-8) is decoded; any other text is taken in the ANSI code page, as lists
// were before.

#include "platform/winconst.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One name of the list, as written but for the spaces around it.
struct ListedComputer {
  std::string name;       // in the ANSI code page, as the requests take it
  bool possible = false;  // false: no computer can bear the name, and no request goes to it
  std::size_t line = 0;   // where the list file names it, from 1; 0 for the browse list
  bool directory = false; // the line names a directory container ("LDAP://..."), not a computer
};

// Room for the names of a very large directory and their comments (about 200,000 lines of full DNS
// names); a larger file is no list.
inline constexpr std::size_t MaxListFileSize = std::size_t{16} << 20;

enum class ListFileState { Missing, Read, Unreadable };

struct ComputerListFile {
  ListFileState state = ListFileState::Missing;
  win::ErrorCode error = win::ErrorSuccess; // why an unreadable file could not be read
  std::vector<ListedComputer> computers;
};

// True when a computer can be called `name` (two leading backslashes aside): a NetBIOS name or
// a DNS name, that is one or more labels joined by dots, each of 1 to 63 characters, at most 255
// in all, without spaces, control characters or any of \ / : * ? " < > | , (a NetBIOS name is
// one label of at most 15 characters, so it passes too; an IPv6 address does not). One dot at
// the end marks a fully qualified name.
bool IsPossibleComputerName(std::string_view name);

// The longest name a computer can bear: a DNS host name's (a NetBIOS name's 15 characters are
// fewer). Windows takes the request's computer as "\\name", so a longer name can't be one.
inline constexpr std::size_t MaxComputerNameCharacters = win::MaxDnsNameLength;
// True when `name`, two leading backslashes and the root's dot aside, is longer than that: a
// request refuses it whole, since a cut name would reach another computer.
bool ComputerNameTooLong(std::string_view name);

// The names of the list text, in file order, duplicates included. A name that the ANSI code
// page can't hold is not possible: it would reach another computer, or none. A directory line
// is possible when it is well formed.
std::vector<ListedComputer> ParseComputerList(std::string_view text);

// The text as UTF-8 spells it; none when it is no valid UTF-8.
std::optional<std::u16string> DecodeUtf8(std::string_view text);

// Reads and parses the file; a file that isn't there is Missing, one that is there but can't be
// read (or is larger than any list of names) is Unreadable, with the reason.
ComputerListFile ReadComputerListFile(const char* path);

// The computers to ask: those of the browse list as they are, then those of the list file that
// are not among them yet, compared without regard to letter case or leading backslashes.
std::vector<ListedComputer> MergeComputers(const std::vector<std::string>& browsed,
                                           const std::vector<ListedComputer>& listed);

// How many distinct computers the list names, and how many distinct directory containers.
std::size_t CountPossibleComputers(const std::vector<ListedComputer>& listed);
std::size_t CountDirectoryContainers(const std::vector<ListedComputer>& listed);

// The lines that can't be a computer name, told once: up to `MaxReportedLines` with their line
// numbers, and how many there are in all. Empty when there is none.
inline constexpr std::size_t MaxReportedLines = 10;
std::string ImpossibleLinesReport(const std::vector<ListedComputer>& listed);
std::size_t CountImpossibleLines(const std::vector<ListedComputer>& listed);
