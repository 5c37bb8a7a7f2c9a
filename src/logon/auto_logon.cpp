#include "logon/auto_logon.h"

#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "settings/registry_access.h"

#include <cstring>
#include <string_view>

AutoLogonState DialogAutoLogon;
AutoLogonState ButtonAutoLogon;

namespace {

constexpr std::uint32_t ValueCapacity = 260;

bool ReadValue(win::RegKey root, const char* subKey, const char* name, char* field) {
  // Zeroed, so that a value stored as another type than text still ends within the buffer.
  char value[ValueCapacity] = {};
  if (!ReadRegValue(root, subKey, name, value, sizeof value, nullptr, nullptr)) {
    return false;
  }
  CopyBounded(field, value, AutoLogonCopySize);
  return true;
}

bool WriteValue(win::RegKey root, const char* subKey, const char* name, const char* text) {
  char value[AutoLogonCopySize];
  CopyBounded(value, text, sizeof value);
  const bool written = WriteRegValue(root, subKey, name, value,
                                     static_cast<std::uint32_t>(std::strlen(value)), win::RegSz);
  // It may have been the password.
  WipeBytes(value, sizeof value);
  return written;
}

// Windows reads the password from the LSA's private data from XP on; before, only from the
// registry value.
bool PasswordKeptAsSecret() {
  return DetectOsVersion() >= OsWinXP;
}

std::string_view Bounded(const char* text) {
  return {text, strnlen(text, AutoLogonCopySize - 1)};
}

bool ReadPassword(win::RegKey root, const char* subKey, SecretText& field) {
  SecretText secret;
  if (PasswordKeptAsSecret() &&
      platform::RetrievePrivateData(DefaultPasswordValue, secret) == win::ErrorSuccess) {
    field.Assign(Bounded(secret.c_str()));
    return true;
  }
  char value[ValueCapacity] = {};
  const bool read =
      ReadRegValue(root, subKey, DefaultPasswordValue, value, sizeof value, nullptr, nullptr);
  if (read) {
    field.Assign(Bounded(value));
  }
  WipeBytes(value, sizeof value);
  return read;
}

// The password as a secret where Windows keeps it so; switching off (no password) clears it.
// True when the secret holds it, and the plain value that every user may read must go.
bool StoredAsSecret(const char* password) {
  if (!PasswordKeptAsSecret()) {
    return false;
  }
  const win::ErrorCode stored = platform::StorePrivateData(DefaultPasswordValue, password);
  return stored == win::ErrorSuccess || (password == nullptr && stored == win::ErrorFileNotFound);
}

} // namespace

const char* WinlogonKey() {
  // Windows reads the values from the machine's key on every NT release (before XP a per-user
  // key counts for nothing); the 9x family keeps its own.
  return PlatformFamily() == win::VerPlatformWin32Windows ? WindowsWinlogonKey : MachineWinlogonKey;
}

int ReadAutoLogon(AutoLogonState& state) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(WinlogonKey(), subKey, sizeof subKey);
  int count = 0;
  char enabled[ValueCapacity] = {};
  if (ReadRegValue(root, subKey, AutoAdminLogonValue, enabled, sizeof enabled, nullptr, nullptr)) {
    // Only a text beginning with '1' means on; a number value of 1 does not.
    state.Enabled = enabled[0] == '1' ? 1 : 0;
    ++count;
  }
  count += ReadValue(root, subKey, DefaultUserNameValue, state.UserName) ? 1 : 0;
  count += ReadPassword(root, subKey, state.Password) ? 1 : 0;
  count += ReadValue(root, subKey, DefaultDomainNameValue, state.Domain) ? 1 : 0;
  return count;
}

bool ReadAutoLogonEnabled(AutoLogonState& state) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(WinlogonKey(), subKey, sizeof subKey);
  char enabled[ValueCapacity] = {};
  if (!ReadRegValue(root, subKey, AutoAdminLogonValue, enabled, sizeof enabled, nullptr, nullptr)) {
    return false;
  }
  state.Enabled = enabled[0] == '1' ? 1 : 0;
  return true;
}

AutoLogonWrite WriteAutoLogon(const AutoLogonState& state,
                              const std::function<bool()>& allowPlainPassword) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(WinlogonKey(), subKey, sizeof subKey);
  const bool enabled = state.Enabled != 0;
  // Switching off removes the stored password so that it doesn't stay readable.
  const char* password = enabled ? state.Password.c_str() : nullptr;
  // The secret first: whether the password must go into the plain value is known before
  // anything is written.
  const bool secret = StoredAsSecret(password);
  if (!secret && password != nullptr && password[0] != '\0' && !allowPlainPassword()) {
    return {0, true};
  }
  AutoLogonWrite result;
  int& count = result.written;
  count = WriteValue(root, subKey, AutoAdminLogonValue, enabled ? "1" : "0") ? 1 : 0;
  if (enabled) {
    count += WriteValue(root, subKey, DefaultUserNameValue, state.UserName) ? 1 : 0;
  }
  if (secret) {
    // Quietly when there is no such value.
    DeleteRegValue(root, subKey, DefaultPasswordValue);
    ++count;
  } else {
    count +=
        WriteValue(root, subKey, DefaultPasswordValue, password != nullptr ? password : "") ? 1 : 0;
  }
  if (enabled) {
    count += WriteValue(root, subKey, DefaultDomainNameValue, state.Domain) ? 1 : 0;
  }
  return result;
}

bool AutoLogonSettable(OsVersionClass osClass) {
  return osClass >= OsWin2000;
}

bool AutoLogonNeedsElevation() {
  // Server 2008 is the first class of Windows 6.0, which brought the filtered token.
  return DetectOsVersion() >= OsServer2008 && !platform::ProcessElevated();
}
