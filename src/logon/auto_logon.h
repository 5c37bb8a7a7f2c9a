#pragma once
// Windows' automatic logon: the four Winlogon values that make Windows log a user on by itself.

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t AutoLogonTextCapacity = 262;
// Texts are copied with this size: at most 259 characters arrive.
inline constexpr std::size_t AutoLogonCopySize = 260;

struct AutoLogonState {
  std::uint8_t Enabled = 0;
  char UserName[AutoLogonTextCapacity] = {};
  char Password[AutoLogonTextCapacity] = {};
  char Domain[AutoLogonTextCapacity] = {};
};

// What the dialog reads into and writes from, and what the main window's button shows. Each
// keeps the last values read or entered: a value that can't be read leaves its field alone.
extern AutoLogonState DialogAutoLogon;
extern AutoLogonState ButtonAutoLogon;

// The Winlogon key of the running Windows.
const char* WinlogonKey();

// Reads the values into the record; returns how many were read.
int ReadAutoLogon(AutoLogonState& state);

// Writes the values; switching off writes "0" and an empty password and leaves the user name
// and domain as they are. Returns how many values were written.
int WriteAutoLogon(const AutoLogonState& state);
