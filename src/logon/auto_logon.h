#pragma once
// Windows' automatic logon: the four Winlogon values that make Windows log a user on by itself.

#include "actions/os_version.h"
#include "common/secret_text.h"

#include <cstddef>
#include <cstdint>
#include <functional>

inline constexpr std::size_t AutoLogonTextCapacity = 262;
// Texts are copied with this size: at most 259 characters arrive.
inline constexpr std::size_t AutoLogonCopySize = 260;

struct AutoLogonState {
  std::uint8_t Enabled = 0;
  char UserName[AutoLogonTextCapacity] = {};
  SecretText Password; // at most 259 characters
  char Domain[AutoLogonTextCapacity] = {};
};

// What the dialog reads into and writes from, and what the main window's button shows. Each
// keeps the last values read or entered: a value that can't be read leaves its field alone. The
// button's record never holds a password, and the dialog's forgets it once the dialog ends.
extern AutoLogonState DialogAutoLogon;
extern AutoLogonState ButtonAutoLogon;

// The Winlogon key that the running Windows reads at start-up.
const char* WinlogonKey();

// Reads the values into the record; returns how many were read. From XP on the password comes
// from the LSA's private data "DefaultPassword" when this process may read it, else from the
// registry value.
int ReadAutoLogon(AutoLogonState& state);
// Reads only whether automatic logon is on, as the main window's button shows it; false when
// that can't be read.
bool ReadAutoLogonEnabled(AutoLogonState& state);

// Writes the values; switching off writes "0", removes the password and leaves the user name
// and domain as they are. From XP on the password goes into the LSA's private data and the
// plain registry value is removed; where that is refused, and before XP, the registry value
// holds it, readable by every local user: `allowPlainPassword` is asked first, and when it says
// no nothing is written.
struct AutoLogonWrite {
  int written = 0;       // how many values were written
  bool declined = false; // the password was not allowed as plain text
};
AutoLogonWrite WriteAutoLogon(const AutoLogonState& state,
                              const std::function<bool()>& allowPlainPassword);

// Whether the dialog can be offered on this Windows class: Windows 2000 and later.
bool AutoLogonSettable(OsVersionClass osClass);
// Vista and later without an elevated token: only an elevated copy of the program may write
// the machine's key.
bool AutoLogonNeedsElevation();
