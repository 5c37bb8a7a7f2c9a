// Windows' LDAP client of the fake Windows, before a scripted directory.

#include "platform/directory.h"

#include "platform/fake/internal.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace platform {

using fake::NextResult;
using fake::Record;
using fake::TheWorld;

namespace {

// An entry's handle holds its answer's handle above these bits and its position plus one below.
constexpr unsigned EntryShift = 20;
constexpr win::Handle EntryMask = (win::Handle{1} << EntryShift) - 1;

constexpr char ComputersClause[] = "(objectCategory=computer)";
constexpr char EnabledClause[] = "(!(userAccountControl:1.2.840.113556.1.4.803:=2))";

// The LDAP client's texts for the results the scripts play, and the Windows codes it maps them
// to; it has neither for any other, as when Windows has no LDAP client at all.
struct LdapResult {
  std::uint32_t code;
  const char* text;
  win::ErrorCode windowsError;
};
constexpr LdapResult LdapResults[] = {
    {win::LdapSuccess, "Success", win::ErrorSuccess},
    {win::LdapNoSuchObject, "No Such Object", win::ErrorFileNotFound},
    {win::LdapInvalidCredentials, "Invalid Credentials", 1323},
    {win::LdapServerDown, "Server Down", 58},
    {win::LdapTimeout, "Timeout", 1053},
    {win::LdapUserCancelled, "User Cancelled", win::ErrorCancelled},
};

fake::DirectoryScript& Directory() {
  return TheWorld().directory;
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// In the container or in one beneath it.
bool Beneath(const std::string& container, const std::string& base) {
  const std::string inner = Lowered(container);
  const std::string outer = Lowered(base);
  return inner == outer || inner.ends_with("," + outer);
}

bool Reachable(win::Handle ldap) {
  const auto session = Directory().sessions.find(ldap);
  return session != Directory().sessions.end() &&
         Directory().unreachableServers.count(session->second) == 0;
}

const fake::DirectoryObject* EntryObject(win::Handle entry) {
  const auto answer = Directory().answers.find(entry >> EntryShift);
  const std::size_t position = entry & EntryMask;
  if (answer == Directory().answers.end() || position == 0 ||
      position > answer->second.accounts.size()) {
    return nullptr;
  }
  return &Directory().objects[answer->second.accounts[position - 1]];
}

win::Handle EntryAt(win::Handle results, std::size_t position) {
  const auto answer = Directory().answers.find(results);
  if (answer == Directory().answers.end() || position >= answer->second.accounts.size()) {
    return win::NoHandle;
  }
  return (results << EntryShift) | (position + 1);
}

} // namespace

win::Handle LdapInit(const char* host, std::uint32_t port) {
  Record("ldap_initA", host, port);
  if (Directory().initError) {
    return win::NoHandle;
  }
  const win::Handle session = ++Directory().nextHandle;
  Directory().sessions[session] = host != nullptr ? host : "";
  return session;
}

std::uint32_t LdapSetNumberOption(win::Handle, std::uint32_t option, std::uint32_t value) {
  Record("ldap_set_option", option, value);
  return static_cast<std::uint32_t>(NextResult("ldap_set_option", win::LdapSuccess));
}

std::uint32_t LdapSetSwitchOption(win::Handle, std::uint32_t option, bool on) {
  Record("ldap_set_option", option, on ? "on" : "off");
  return static_cast<std::uint32_t>(NextResult("ldap_set_option", win::LdapSuccess));
}

std::uint32_t LdapConnect(win::Handle ldap, std::uint32_t seconds) {
  Record("ldap_connect", seconds);
  return Reachable(ldap) ? win::LdapSuccess : win::LdapServerDown;
}

std::uint32_t LdapBind(win::Handle ldap, const DirectoryAccount* account, std::uint32_t method) {
  if (account == nullptr) {
    Record("ldap_bind_sA", "null", method);
  } else {
    Record("ldap_bind_sA", account->user, account->domain, std::string(account->password.View()),
           method);
  }
  // A copy: the test may drop its script while a bind it holds still waits.
  if (const std::function<void()> onBind = Directory().onBind) {
    onBind();
  }
  if (!Reachable(ldap)) {
    return win::LdapServerDown;
  }
  const bool refused = account == nullptr ? Directory().currentLogonRefused
                                          : account->password.View() != Directory().password;
  return refused ? win::LdapInvalidCredentials : win::LdapSuccess;
}

std::uint32_t LdapSearchPage(win::Handle ldap, const char* base, std::uint32_t scope,
                             const char* filter, const std::vector<const char*>& attributes,
                             std::uint32_t pageSize, const std::string& cookie,
                             std::uint32_t seconds, win::Handle& results) {
  std::string names;
  for (const char* attribute : attributes) {
    if (!names.empty()) {
      names += ' ';
    }
    names += attribute;
  }
  Record("ldap_search_ext_sA", base, scope, filter, names, pageSize, cookie, seconds);
  results = win::NoHandle;
  const std::optional<std::size_t> pages = Directory().downAfterPages;
  if (!Reachable(ldap) || (pages && Directory().pagesAnswered == *pages)) {
    return win::LdapServerDown;
  }
  ++Directory().pagesAnswered;
  results = ++Directory().nextHandle;
  fake::DirectoryScript::Answer& answer = Directory().answers[results];
  if (base == nullptr || Directory().containers.count(base) == 0) {
    answer.code = win::LdapNoSuchObject;
    return answer.code;
  }
  const std::string wanted = filter != nullptr ? filter : "";
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < Directory().objects.size(); ++i) {
    const fake::DirectoryObject& object = Directory().objects[i];
    if (!Beneath(object.container, base) ||
        (wanted.find(ComputersClause) != std::string::npos && !object.computer) ||
        (wanted.find(EnabledClause) != std::string::npos &&
         (object.userAccountControl & fake::AccountDisabled) != 0)) {
      continue;
    }
    found.push_back(i);
  }
  const std::size_t start = cookie.empty() ? 0 : std::stoul(cookie);
  const std::size_t count =
      std::min<std::size_t>({pageSize, Directory().maxPageSize, found.size() - start});
  answer.accounts.assign(found.begin() + static_cast<std::ptrdiff_t>(start),
                         found.begin() + static_cast<std::ptrdiff_t>(start + count));
  if (start + count < found.size()) {
    answer.cookie = std::to_string(start + count);
  }
  return answer.code;
}

std::uint32_t LdapParsePage(win::Handle, win::Handle results, std::string& cookie) {
  const auto answer = Directory().answers.find(results);
  if (answer == Directory().answers.end()) {
    cookie.clear();
    return win::LdapServerDown;
  }
  cookie = answer->second.cookie;
  return answer->second.code;
}

win::Handle LdapFirstEntry(win::Handle, win::Handle results) {
  return EntryAt(results, 0);
}

win::Handle LdapNextEntry(win::Handle, win::Handle entry) {
  return EntryAt(entry >> EntryShift, entry & EntryMask);
}

std::vector<std::string> LdapGetValues(win::Handle, win::Handle entry, const char* attribute) {
  const fake::DirectoryObject* object = EntryObject(entry);
  const std::string name = Lowered(attribute != nullptr ? attribute : "");
  if (object == nullptr) {
    return {};
  }
  if (name == "cn") {
    return {object->cn};
  }
  if (name == "dnshostname" && object->dnsHostName) {
    return {*object->dnsHostName};
  }
  return {};
}

void LdapMsgFree(win::Handle results) {
  Directory().answers.erase(results);
}

void LdapUnbind(win::Handle ldap) {
  Record("ldap_unbind");
  Directory().sessions.erase(ldap);
}

std::uint32_t LdapGetLastError() {
  return Directory().initError.value_or(win::LdapSuccess);
}

std::string LdapErrorText(std::uint32_t error) {
  for (const LdapResult& result : LdapResults) {
    if (result.code == error) {
      return result.text;
    }
  }
  return {};
}

win::ErrorCode LdapMapErrorToWin32(std::uint32_t error) {
  for (const LdapResult& result : LdapResults) {
    if (result.code == error) {
      return result.windowsError;
    }
  }
  return win::ErrorProcNotFound;
}

} // namespace platform
