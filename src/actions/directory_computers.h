#pragma once
// The computers of an Active Directory container, read through Windows' own LDAP client, for a
// line of the computer list in the ADSI path form: "LDAP://OU=Lab,DC=example,DC=test" asks the
// domain's own directory, "LDAP://server/OU=Lab,DC=example,DC=test" (the server may carry a port
// after a colon) that server's.

#include "actions/computer_list.h"
#include "platform/winconst.h"
#include "settings/settings.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DirectoryContainer {
  std::string server; // empty: a controller of this computer's domain, as Windows finds one
  std::string base;   // the container's distinguished name, as the directory takes it
};

// True when the line names a container rather than a computer: it starts with "LDAP://", in any
// letter case.
bool IsDirectoryLine(std::string_view line);

// The container a directory line names; none when the line is malformed: no distinguished name
// of attribute=value parts after the prefix, or a server no computer can be called.
std::optional<DirectoryContainer> ParseDirectoryLine(std::string_view line);

// Every enabled computer account under the container, by its DNS host name, else its common
// name; or why the directory could not be read, the names then left out.
struct DirectoryComputers {
  std::vector<std::string> names;
  std::uint32_t ldapError = win::LdapSuccess;
  win::ErrorCode error = win::ErrorSuccess; // Windows' code for the LDAP error
  std::string errorText;                    // the LDAP client's text for it
};

// Binds by Negotiate, as the account of `settings` when its credentials are on (DOMAIN\user or
// user@domain), else as the current logon, and reads the container page by page.
DirectoryComputers ReadDirectoryComputers(const DirectoryContainer& container,
                                          const Settings& settings);

// The longest the read of one container may take, from the session to the last page: a server
// that accepts the connection and never answers must not hold the action up, and a container of
// tens of thousands of accounts comes in far sooner.
inline constexpr std::uint32_t DirectoryReadMilliseconds = 60'000;

// ReadDirectoryComputers on a thread of its own, given up after `milliseconds` (LDAP's time-out)
// or soon after `cancelled` is set (LDAP's user cancel). The thread then ends on its own with
// copies of what it reads: the calls of Windows' LDAP client can't all be bounded (a Negotiate
// bind has no time limit and no asynchronous form).
DirectoryComputers ReadDirectoryComputersWithin(const DirectoryContainer& container,
                                                const Settings& settings,
                                                std::uint32_t milliseconds,
                                                const std::atomic<bool>& cancelled);

// A directory line of the list whose container could not be read.
struct DirectoryFailure {
  std::string line; // as written
  std::size_t lineNumber = 0;
  win::ErrorCode error = win::ErrorSuccess;
  std::string errorText;
};

// The list with each well-formed directory line replaced by the computers of its container,
// which keep the line's number; a line written twice is read once. The lines whose container
// could not be read in DirectoryReadMilliseconds give no computer and go to `failures`. Once
// `cancelled` is set no further container is read.
std::vector<ListedComputer> WithDirectoryComputers(const std::vector<ListedComputer>& listed,
                                                   const Settings& settings,
                                                   std::vector<DirectoryFailure>& failures,
                                                   const std::atomic<bool>& cancelled);
