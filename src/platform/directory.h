#pragma once
// Windows' LDAP client (wldap32): a session with a directory server, a Negotiate bind, and a
// search read page by page under the paged-results control.

#include "common/secret_text.h"
#include "platform/winconst.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// SEC_WINNT_AUTH_IDENTITY_A: the account a bind authenticates as, in the ANSI code page.
struct DirectoryAccount {
  std::string user;
  std::string domain; // empty: the user's own
  SecretText password;
};

// ldap_initA: a session with `host` (null: a controller of this computer's domain, as Windows
// finds one) on `port`; NoHandle when it can't be made, with the reason in LdapGetLastError. The
// host may carry its own port after a colon.
win::Handle LdapInit(const char* host, std::uint32_t port);
// ldap_set_option with a number, passed by its address.
std::uint32_t LdapSetNumberOption(win::Handle ldap, std::uint32_t option, std::uint32_t value);
// ldap_set_option with LDAP_OPT_ON or LDAP_OPT_OFF, passed as the value itself.
std::uint32_t LdapSetSwitchOption(win::Handle ldap, std::uint32_t option, bool on);
// ldap_connect, waiting at most `seconds`.
std::uint32_t LdapConnect(win::Handle ldap, std::uint32_t seconds);
// ldap_bind_sA without a name; a null account binds as the current logon.
std::uint32_t LdapBind(win::Handle ldap, const DirectoryAccount* account, std::uint32_t method);

// ldap_search_ext_sA under a paged-results control (ldap_create_page_controlA) for `pageSize`
// entries after `cookie` (empty: the first page), waiting at most `seconds`. `results` is the
// answer, to be freed with LdapMsgFree, and may be there on failure too.
std::uint32_t LdapSearchPage(win::Handle ldap, const char* base, std::uint32_t scope,
                             const char* filter, const std::vector<const char*>& attributes,
                             std::uint32_t pageSize, const std::string& cookie,
                             std::uint32_t seconds, win::Handle& results);
// ldap_parse_resultA and ldap_parse_page_controlA: the page's result code, and the cookie that
// asks for the next page, empty after the last.
std::uint32_t LdapParsePage(win::Handle ldap, win::Handle results, std::string& cookie);
// ldap_first_entry and ldap_next_entry; NoHandle after the last.
win::Handle LdapFirstEntry(win::Handle ldap, win::Handle results);
win::Handle LdapNextEntry(win::Handle ldap, win::Handle entry);
// ldap_get_valuesA, copied before ldap_value_freeA; empty when the entry lacks the attribute.
std::vector<std::string> LdapGetValues(win::Handle ldap, win::Handle entry, const char* attribute);
void LdapMsgFree(win::Handle results);
void LdapUnbind(win::Handle ldap);

std::uint32_t LdapGetLastError();
// ldap_err2stringA.
std::string LdapErrorText(std::uint32_t error);
win::ErrorCode LdapMapErrorToWin32(std::uint32_t error);

} // namespace platform
