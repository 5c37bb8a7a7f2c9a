#include "actions/directory_computers.h"

#include "actions/computer_list.h"
#include "actions/local_power.h"
#include "platform/directory.h"
#include "platform/threads.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <set>

namespace {

constexpr std::string_view DirectoryPrefix = "LDAP://";
constexpr char PathSeparator = '/';
constexpr char Escape = '\\';
constexpr char PartSeparator = ',';
constexpr char TypeValueSeparator = '=';
constexpr char PortSeparator = ':';
constexpr char DomainUserSeparator = '\\';
constexpr char UserDomainSeparator = '@';
constexpr std::string_view Blanks = " ";
constexpr unsigned long LargestPort = 65535;

// Computer accounts that are not disabled: bit 2 of userAccountControl clear, tested by the
// directory's bitwise-and matching rule.
constexpr char ComputerFilter[] =
    "(&(objectCategory=computer)(!(userAccountControl:1.2.840.113556.1.4.803:=2)))";
constexpr char DnsHostNameAttribute[] = "dNSHostName";
constexpr char CommonNameAttribute[] = "cn";
// Half of Active Directory's largest page: a container of any size comes in whole, a few
// hundred accounts at a time.
constexpr std::uint32_t PageSize = 500;
// A controller of the LAN answers in far less; one that doesn't must not hold the action up.
// Each step's own limit lies well within the read's, so that the client's own time-out is the one
// told where it has one.
constexpr std::uint32_t ConnectSeconds = 20;
constexpr std::uint32_t PageSeconds = 30;
// How often a read that is waited for looks at Cancel: well within the second a user waits.
constexpr std::uint32_t CancelLookMilliseconds = 100;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// Where `separator` first stands unescaped, or npos; `escapedEnd` is set when the text ends in
// a lone escape.
std::size_t FindUnescaped(std::string_view text, char separator, bool& escapedEnd) {
  escapedEnd = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == Escape) {
      if (i + 1 == text.size()) {
        escapedEnd = true;
        return std::string_view::npos;
      }
      ++i;
    } else if (text[i] == separator) {
      return i;
    }
  }
  return std::string_view::npos;
}

// An attribute type: a name of letters, digits and hyphens that starts with a letter, or an
// object identifier of digits and dots.
bool IsAttributeType(std::string_view type) {
  if (type.empty()) {
    return false;
  }
  const auto is = [type](auto test) {
    return std::all_of(type.begin(), type.end(),
                       [test](char c) { return test(static_cast<unsigned char>(c)); });
  };
  if (std::isalpha(static_cast<unsigned char>(type.front()))) {
    return is([](unsigned char c) { return std::isalnum(c) || c == '-'; });
  }
  return is([](unsigned char c) { return std::isdigit(c) || c == '.'; });
}

// A distinguished name: attribute=value parts joined by commas.
bool IsDistinguishedName(std::string_view name) {
  bool escapedEnd = false;
  if (name.empty() || FindUnescaped(name, PathSeparator, escapedEnd) != std::string_view::npos ||
      escapedEnd) {
    return false;
  }
  for (;;) {
    const std::size_t end = FindUnescaped(name, PartSeparator, escapedEnd);
    const std::string_view part = name.substr(0, end);
    const std::size_t equals = part.find(TypeValueSeparator);
    if (equals == std::string_view::npos || !IsAttributeType(Trimmed(part.substr(0, equals))) ||
        Trimmed(part.substr(equals + 1)).empty()) {
      return false;
    }
    if (end == std::string_view::npos) {
      return true;
    }
    name.remove_prefix(end + 1);
  }
}

// A server as ADSI paths name it: a computer, with a port after a colon or without.
bool IsServer(std::string_view server) {
  const std::size_t colon = server.find(PortSeparator);
  if (colon != std::string_view::npos) {
    const std::string_view port = server.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) ||
        std::stoul(std::string(port)) == 0 || std::stoul(std::string(port)) > LargestPort) {
      return false;
    }
    server = server.substr(0, colon);
  }
  return IsPossibleComputerName(server) && !server.starts_with("\\\\");
}

// ADSI escapes the path's separator inside a name; the directory takes it plain.
std::string WithoutPathEscapes(std::string_view path) {
  std::string plain;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == Escape && i + 1 < path.size() && path[i + 1] == PathSeparator) {
      continue;
    }
    plain += path[i];
  }
  return plain;
}

std::optional<platform::DirectoryAccount> AccountOf(const Settings& settings) {
  if (settings.UseCredentials == 0 || settings.UserName[0] == '\0') {
    return std::nullopt;
  }
  platform::DirectoryAccount account;
  const std::string_view user = settings.UserName;
  account.password.Assign(settings.Password);
  if (const std::size_t slash = user.find(DomainUserSeparator); slash != std::string_view::npos) {
    account.domain = user.substr(0, slash);
    account.user = user.substr(slash + 1);
  } else if (const std::size_t at = user.rfind(UserDomainSeparator); at != std::string_view::npos) {
    // Given apart, as every Negotiate package takes them, the suffix names the domain.
    account.user = user.substr(0, at);
    account.domain = user.substr(at + 1);
  } else {
    account.user = user;
  }
  return account;
}

// The name a request reaches the account's computer by.
std::optional<std::string> ComputerNameOf(win::Handle ldap, win::Handle entry) {
  for (const char* attribute : {DnsHostNameAttribute, CommonNameAttribute}) {
    const std::vector<std::string> values = platform::LdapGetValues(ldap, entry, attribute);
    if (!values.empty() && !values.front().empty()) {
      return values.front();
    }
  }
  return std::nullopt;
}

std::uint32_t ReadPages(win::Handle ldap, const std::string& base,
                        std::vector<std::string>& names) {
  const std::vector<const char*> attributes = {DnsHostNameAttribute, CommonNameAttribute};
  std::string cookie;
  std::uint32_t status = win::LdapSuccess;
  do {
    win::Handle results = win::NoHandle;
    status = platform::LdapSearchPage(ldap, base.c_str(), win::LdapScopeSubtree, ComputerFilter,
                                      attributes, PageSize, cookie, PageSeconds, results);
    if (status == win::LdapSuccess) {
      for (win::Handle entry = platform::LdapFirstEntry(ldap, results); entry != win::NoHandle;
           entry = platform::LdapNextEntry(ldap, entry)) {
        if (std::optional<std::string> name = ComputerNameOf(ldap, entry)) {
          names.push_back(std::move(*name));
        }
      }
      status = platform::LdapParsePage(ldap, results, cookie);
    }
    platform::LdapMsgFree(results);
  } while (status == win::LdapSuccess && !cookie.empty());
  return status;
}

std::uint32_t Read(win::Handle ldap, const DirectoryContainer& container, const Settings& settings,
                   std::vector<std::string>& names) {
  // Paged results are an LDAP 3 control; referrals would be followed with the same account to
  // servers nobody named.
  platform::LdapSetNumberOption(ldap, win::LdapOptProtocolVersion, win::LdapVersion3);
  platform::LdapSetSwitchOption(ldap, win::LdapOptReferrals, false);
  // Signed where the client can sign; Negotiate sends no password in clear either way.
  platform::LdapSetSwitchOption(ldap, win::LdapOptSign, true);
  if (const std::uint32_t status = platform::LdapConnect(ldap, ConnectSeconds);
      status != win::LdapSuccess) {
    return status;
  }
  const std::optional<platform::DirectoryAccount> account = AccountOf(settings);
  if (const std::uint32_t status =
          platform::LdapBind(ldap, account ? &*account : nullptr, win::LdapAuthNegotiate);
      status != win::LdapSuccess) {
    return status;
  }
  return ReadPages(ldap, container.base, names);
}

// A read that was given up: LDAP's own code and text for why.
DirectoryComputers GivenUp(std::uint32_t status) {
  DirectoryComputers found;
  found.ldapError = status;
  found.error = platform::LdapMapErrorToWin32(status);
  found.errorText = platform::LdapErrorText(status);
  // Windows before 2000 has no LDAP client of its own, and so no text: Windows' text for the
  // code tells why.
  if (found.errorText.empty()) {
    found.errorText = SystemErrorText(found.error);
    found.errorText.erase(found.errorText.find_last_not_of("\r\n") + 1);
  }
  return found;
}

} // namespace

bool IsDirectoryLine(std::string_view line) {
  return line.size() >= DirectoryPrefix.size() &&
         std::equal(DirectoryPrefix.begin(), DirectoryPrefix.end(), line.begin(),
                    [](char a, char b) {
                      return std::toupper(static_cast<unsigned char>(a)) ==
                             std::toupper(static_cast<unsigned char>(b));
                    });
}

std::optional<DirectoryContainer> ParseDirectoryLine(std::string_view line) {
  if (!IsDirectoryLine(line)) {
    return std::nullopt;
  }
  std::string_view path = line.substr(DirectoryPrefix.size());
  DirectoryContainer container;
  bool escapedEnd = false;
  const std::size_t slash = FindUnescaped(path, PathSeparator, escapedEnd);
  if (slash != std::string_view::npos) {
    const std::string_view server = path.substr(0, slash);
    if (!IsServer(server)) {
      return std::nullopt;
    }
    container.server = server;
    path.remove_prefix(slash + 1);
  }
  if (!IsDistinguishedName(path)) {
    return std::nullopt;
  }
  container.base = WithoutPathEscapes(path);
  return container;
}

DirectoryComputers ReadDirectoryComputers(const DirectoryContainer& container,
                                          const Settings& settings) {
  DirectoryComputers found;
  const win::Handle ldap = platform::LdapInit(
      container.server.empty() ? nullptr : container.server.c_str(), win::LdapPort);
  std::uint32_t status = win::LdapSuccess;
  if (ldap == win::NoHandle) {
    status = platform::LdapGetLastError();
    // A session the client refuses without a reason reaches no server either.
    if (status == win::LdapSuccess) {
      status = win::LdapServerDown;
    }
  } else {
    status = Read(ldap, container, settings, found.names);
    platform::LdapUnbind(ldap);
  }
  // Part of a container is no container: the next run reads it whole.
  return status == win::LdapSuccess ? found : GivenUp(status);
}

DirectoryComputers ReadDirectoryComputersWithin(const DirectoryContainer& container,
                                                const Settings& settings,
                                                std::uint32_t milliseconds,
                                                const std::atomic<bool>& cancelled) {
  // What the reading thread owns: it may outlive this call.
  struct Reading {
    DirectoryContainer container;
    Settings settings;
    platform::Mutex mutex;
    DirectoryComputers found;
  };
  auto read = std::make_shared<Reading>();
  read->container = container;
  read->settings = settings;
  const win::Handle reader = platform::StartThread([read] {
    DirectoryComputers found = ReadDirectoryComputers(read->container, read->settings);
    const std::lock_guard<platform::Mutex> lock(read->mutex);
    read->found = std::move(found);
  });
  if (reader == win::NoHandle) {
    return ReadDirectoryComputers(container, settings);
  }
  std::uint32_t waited = 0;
  bool ended = false;
  while (!ended && waited < milliseconds && !cancelled.load()) {
    const std::uint32_t slice = std::min(CancelLookMilliseconds, milliseconds - waited);
    ended = platform::WaitForThread(reader, slice);
    waited += slice;
  }
  platform::ReleaseThread(reader);
  if (!ended) {
    return GivenUp(cancelled.load() ? win::LdapUserCancelled : win::LdapTimeout);
  }
  const std::lock_guard<platform::Mutex> lock(read->mutex);
  return std::move(read->found);
}

std::vector<ListedComputer> WithDirectoryComputers(const std::vector<ListedComputer>& listed,
                                                   const Settings& settings,
                                                   std::vector<DirectoryFailure>& failures,
                                                   const std::atomic<bool>& cancelled) {
  std::vector<ListedComputer> computers;
  std::set<std::string> read;
  for (const ListedComputer& line : listed) {
    if (!line.directory || !line.possible) {
      computers.push_back(line);
      continue;
    }
    std::string key = line.name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!read.insert(key).second) {
      continue;
    }
    if (cancelled.load()) {
      break;
    }
    DirectoryComputers found = ReadDirectoryComputersWithin(
        *ParseDirectoryLine(line.name), settings, DirectoryReadMilliseconds, cancelled);
    if (found.ldapError != win::LdapSuccess) {
      failures.push_back({line.name, line.line, found.error, found.errorText});
      continue;
    }
    for (std::string& name : found.names) {
      const bool possible = IsPossibleComputerName(name);
      computers.push_back({std::move(name), possible, line.line});
    }
  }
  return computers;
}
