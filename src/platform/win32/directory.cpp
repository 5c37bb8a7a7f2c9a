#include "platform/directory.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

#include <rpc.h>
#include <winldap.h>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {

constexpr char Wldap32[] = "wldap32.dll";
// The control may be ignored by a server without paging: the answer is then the whole result.
constexpr UCHAR PageControlNotCritical = FALSE;
constexpr BOOLEAN KeepResults = FALSE;
constexpr ULONG NoSizeLimit = 0;
// What a call answers when the client lacks it.
constexpr ULONG ClientLacksIt = LDAP_NOT_SUPPORTED;

template <typename Function> Function* Wldap(const char* name) {
  return LateBound<Function>(Wldap32, name);
}

LDAP* Session(win::Handle ldap) {
  return ToWindows<LDAP*>(ldap);
}

LDAPMessage* Message(win::Handle message) {
  return ToWindows<LDAPMessage*>(message);
}

// The headers take texts and arrays of them as non-const; the client only reads them.
PCHAR Writable(const char* text) {
  return const_cast<PCHAR>(text);
}

} // namespace

win::Handle LdapInit(const char* host, std::uint32_t port) {
  static const auto call = Wldap<decltype(::ldap_initA)>("ldap_initA");
  return call != nullptr ? FromWindows(call(Writable(host), port)) : win::NoHandle;
}

std::uint32_t LdapSetNumberOption(win::Handle ldap, std::uint32_t option, std::uint32_t value) {
  // The ANSI entry point is exported under the plain name.
  static const auto call = Wldap<decltype(::ldap_set_option)>("ldap_set_option");
  const ULONG number = value;
  return call != nullptr ? call(Session(ldap), static_cast<int>(option), &number) : ClientLacksIt;
}

std::uint32_t LdapSetSwitchOption(win::Handle ldap, std::uint32_t option, bool on) {
  static const auto call = Wldap<decltype(::ldap_set_option)>("ldap_set_option");
  return call != nullptr
             ? call(Session(ldap), static_cast<int>(option), on ? LDAP_OPT_ON : LDAP_OPT_OFF)
             : ClientLacksIt;
}

std::uint32_t LdapConnect(win::Handle ldap, std::uint32_t seconds) {
  static const auto call = Wldap<decltype(::ldap_connect)>("ldap_connect");
  l_timeval timeout{static_cast<LONG>(seconds), 0};
  return call != nullptr ? call(Session(ldap), &timeout) : ClientLacksIt;
}

std::uint32_t LdapBind(win::Handle ldap, const DirectoryAccount* account, std::uint32_t method) {
  static const auto call = Wldap<decltype(::ldap_bind_sA)>("ldap_bind_sA");
  if (call == nullptr) {
    return ClientLacksIt;
  }
  if (account == nullptr) {
    return call(Session(ldap), nullptr, nullptr, method);
  }
  const auto text = [](const std::string& value) {
    return reinterpret_cast<unsigned char*>(const_cast<char*>(value.c_str()));
  };
  SEC_WINNT_AUTH_IDENTITY_A identity{};
  identity.User = text(account->user);
  identity.UserLength = static_cast<ULONG>(account->user.size());
  identity.Domain = account->domain.empty() ? nullptr : text(account->domain);
  identity.DomainLength = static_cast<ULONG>(account->domain.size());
  identity.Password =
      reinterpret_cast<unsigned char*>(const_cast<char*>(account->password.c_str()));
  identity.PasswordLength = static_cast<ULONG>(account->password.size());
  identity.Flags = SEC_WINNT_AUTH_IDENTITY_ANSI;
  return call(Session(ldap), nullptr, reinterpret_cast<PCHAR>(&identity), method);
}

std::uint32_t LdapSearchPage(win::Handle ldap, const char* base, std::uint32_t scope,
                             const char* filter, const std::vector<const char*>& attributes,
                             std::uint32_t pageSize, const std::string& cookie,
                             std::uint32_t seconds, win::Handle& results) {
  static const auto create =
      Wldap<decltype(::ldap_create_page_controlA)>("ldap_create_page_controlA");
  static const auto search = Wldap<decltype(::ldap_search_ext_sA)>("ldap_search_ext_sA");
  static const auto freeControl = Wldap<decltype(::ldap_control_freeA)>("ldap_control_freeA");
  results = win::NoHandle;
  if (create == nullptr || search == nullptr || freeControl == nullptr) {
    return ClientLacksIt;
  }
  berval position{static_cast<ULONG>(cookie.size()), const_cast<char*>(cookie.data())};
  LDAPControlA* control = nullptr;
  const ULONG created = create(Session(ldap), pageSize, cookie.empty() ? nullptr : &position,
                               PageControlNotCritical, &control);
  if (created != LDAP_SUCCESS) {
    return created;
  }
  std::vector<PCHAR> names;
  for (const char* attribute : attributes) {
    names.push_back(Writable(attribute));
  }
  names.push_back(nullptr);
  LDAPControlA* controls[] = {control, nullptr};
  l_timeval timeout{static_cast<LONG>(seconds), 0};
  LDAPMessage* answer = nullptr;
  const ULONG status = search(Session(ldap), Writable(base), scope, Writable(filter), names.data(),
                              0, controls, nullptr, &timeout, NoSizeLimit, &answer);
  freeControl(control);
  results = FromWindows(answer);
  return status;
}

std::uint32_t LdapParsePage(win::Handle ldap, win::Handle results, std::string& cookie) {
  static const auto parseResult = Wldap<decltype(::ldap_parse_resultA)>("ldap_parse_resultA");
  static const auto parsePage =
      Wldap<decltype(::ldap_parse_page_controlA)>("ldap_parse_page_controlA");
  static const auto freeControls = Wldap<decltype(::ldap_controls_freeA)>("ldap_controls_freeA");
  static const auto freeValue = Wldap<decltype(::ber_bvfree)>("ber_bvfree");
  cookie.clear();
  if (parseResult == nullptr || parsePage == nullptr || freeControls == nullptr ||
      freeValue == nullptr) {
    return ClientLacksIt;
  }
  ULONG code = LDAP_SUCCESS;
  LDAPControlA** controls = nullptr;
  const ULONG parsed = parseResult(Session(ldap), Message(results), &code, nullptr, nullptr,
                                   nullptr, &controls, KeepResults);
  if (parsed != LDAP_SUCCESS) {
    return parsed;
  }
  if (controls != nullptr) {
    ULONG total = 0;
    berval* next = nullptr;
    // Without the control in the answer there is no further page.
    if (parsePage(Session(ldap), controls, &total, &next) == LDAP_SUCCESS && next != nullptr) {
      cookie.assign(next->bv_val, next->bv_len);
      freeValue(next);
    }
    freeControls(controls);
  }
  return code;
}

win::Handle LdapFirstEntry(win::Handle ldap, win::Handle results) {
  static const auto call = Wldap<decltype(::ldap_first_entry)>("ldap_first_entry");
  return call != nullptr ? FromWindows(call(Session(ldap), Message(results))) : win::NoHandle;
}

win::Handle LdapNextEntry(win::Handle ldap, win::Handle entry) {
  static const auto call = Wldap<decltype(::ldap_next_entry)>("ldap_next_entry");
  return call != nullptr ? FromWindows(call(Session(ldap), Message(entry))) : win::NoHandle;
}

std::vector<std::string> LdapGetValues(win::Handle ldap, win::Handle entry, const char* attribute) {
  static const auto get = Wldap<decltype(::ldap_get_valuesA)>("ldap_get_valuesA");
  static const auto release = Wldap<decltype(::ldap_value_freeA)>("ldap_value_freeA");
  std::vector<std::string> values;
  if (get == nullptr || release == nullptr) {
    return values;
  }
  PCHAR* found = get(Session(ldap), Message(entry), Writable(attribute));
  if (found == nullptr) {
    return values;
  }
  for (PCHAR* value = found; *value != nullptr; ++value) {
    values.emplace_back(*value);
  }
  release(found);
  return values;
}

void LdapMsgFree(win::Handle results) {
  static const auto call = Wldap<decltype(::ldap_msgfree)>("ldap_msgfree");
  if (call != nullptr && results != win::NoHandle) {
    call(Message(results));
  }
}

void LdapUnbind(win::Handle ldap) {
  static const auto call = Wldap<decltype(::ldap_unbind)>("ldap_unbind");
  if (call != nullptr) {
    call(Session(ldap));
  }
}

std::uint32_t LdapGetLastError() {
  static const auto call = Wldap<decltype(::LdapGetLastError)>("LdapGetLastError");
  // Without the client there is no session to have failed: the DLL itself is missing.
  return call != nullptr ? call() : ClientLacksIt;
}

std::string LdapErrorText(std::uint32_t error) {
  static const auto call = Wldap<decltype(::ldap_err2stringA)>("ldap_err2stringA");
  const char* text = call != nullptr ? call(error) : nullptr;
  return text != nullptr ? text : std::string();
}

win::ErrorCode LdapMapErrorToWin32(std::uint32_t error) {
  static const auto call = Wldap<decltype(::LdapMapErrorToWin32)>("LdapMapErrorToWin32");
  return call != nullptr ? call(error) : ERROR_PROC_NOT_FOUND;
}

} // namespace platform
