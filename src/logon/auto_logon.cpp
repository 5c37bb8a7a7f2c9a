#include "logon/auto_logon.h"

#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "settings/registry_access.h"

#include <cstring>
#include <string>

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
  return WriteRegValue(root, subKey, name, value, static_cast<std::uint32_t>(std::strlen(value)),
                       win::RegSz);
}

// Windows reads the password from the LSA's private data from XP on; before, only from the
// registry value.
bool PasswordKeptAsSecret() {
  return DetectOsVersion() >= OsWinXP;
}

bool ReadPassword(win::RegKey root, const char* subKey, char* field) {
  std::string secret;
  if (PasswordKeptAsSecret() &&
      platform::RetrievePrivateData(DefaultPasswordValue, secret) == win::ErrorSuccess) {
    CopyBounded(field, secret.c_str(), AutoLogonCopySize);
    return true;
  }
  return ReadValue(root, subKey, DefaultPasswordValue, field);
}

// The password as a secret where Windows keeps it so, and then without the plain value that
// every user may read; where the secret can't be stored or cleared, the plain value. Switching
// off (no password) clears both.
bool WritePassword(win::RegKey root, const char* subKey, const char* password) {
  if (PasswordKeptAsSecret()) {
    const win::ErrorCode stored = platform::StorePrivateData(DefaultPasswordValue, password);
    const bool cleared = password == nullptr && stored == win::ErrorFileNotFound;
    if (stored == win::ErrorSuccess || cleared) {
      // Quietly when there is no such value.
      DeleteRegValue(root, subKey, DefaultPasswordValue);
      return true;
    }
  }
  return WriteValue(root, subKey, DefaultPasswordValue, password != nullptr ? password : "");
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

int WriteAutoLogon(const AutoLogonState& state) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(WinlogonKey(), subKey, sizeof subKey);
  const bool enabled = state.Enabled != 0;
  int count = WriteValue(root, subKey, AutoAdminLogonValue, enabled ? "1" : "0") ? 1 : 0;
  if (enabled) {
    count += WriteValue(root, subKey, DefaultUserNameValue, state.UserName) ? 1 : 0;
  }
  // Switching off removes the stored password so that it doesn't stay readable.
  count += WritePassword(root, subKey, enabled ? state.Password : nullptr) ? 1 : 0;
  if (enabled) {
    count += WriteValue(root, subKey, DefaultDomainNameValue, state.Domain) ? 1 : 0;
  }
  return count;
}

bool AutoLogonSettable(OsVersionClass osClass) {
  return osClass >= OsWin2000;
}

bool AutoLogonNeedsElevation() {
  // Server 2008 is the first class of Windows 6.0, which brought the filtered token.
  return DetectOsVersion() >= OsServer2008 && !platform::ProcessElevated();
}
