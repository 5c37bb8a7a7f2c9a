#include "logon/auto_logon.h"

#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/registry_access.h"

#include <cstring>

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

} // namespace

const char* WinlogonKey() {
  const OsVersionClass osClass = DetectOsVersion();
  if (PlatformFamily() == win::VerPlatformWin32Windows) {
    return WindowsWinlogonKey;
  }
  return osClass > OsWinXP ? UserWinlogonKey : MachineWinlogonKey;
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
  count += ReadValue(root, subKey, DefaultPasswordValue, state.Password) ? 1 : 0;
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
  // Switching off blanks the stored password so that it doesn't stay readable.
  count += WriteValue(root, subKey, DefaultPasswordValue, enabled ? state.Password : "") ? 1 : 0;
  if (enabled) {
    count += WriteValue(root, subKey, DefaultDomainNameValue, state.Domain) ? 1 : 0;
  }
  return count;
}
