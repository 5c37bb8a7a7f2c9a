#pragma once
// The settings file next to the program: a header text, then the record's fields in a fixed
// little-endian layout.

#include "settings/settings.h"

#include <string>

#include <cstdint>

// Full path of a file of this name in the program's own directory, however long that path is;
// empty when Windows can't tell where the program is.
std::string PathNextToProgram(const char* fileName);

// How long a start waits for a settings file that another program holds open without sharing,
// as antivirus, backup and sync tools do for a moment at log-on.
inline constexpr std::uint32_t SettingsLockWaitMilliseconds = 2000;
// The pause between two tries to read it meanwhile.
inline constexpr std::uint32_t SettingsLockRetryMilliseconds = 100;

enum class SettingsLoad {
  Read,       // the file was read; fields it did not hold kept their values
  Missing,    // there is no file yet: the record keeps its values
  Unreadable, // a file is there but could not be read or is foreign: the record keeps its
              // values, and the file must not be saved over unread
};

// Reads the file over the record, its texts converted into the program's ANSI code page: from
// UTF-8 when the file says so, else from the machine's ANSI code page, as an earlier version
// wrote them. A file held by another program is tried again for SettingsLockWaitMilliseconds.
// A file cut short, or a text whose stored length is beyond what a text may hold, leaves the
// fields from there on as they were. The password comes from the user's credential store unless
// the file holds one (an earlier version's file). The last error tells why a file is
// Unreadable (ERROR_INVALID_DATA for a foreign one).
SettingsLoad LoadSettings(Settings& settings, const char* headerText, const char* path);

// Writes the record to a new file beside the old one, created with the old one's owner and
// access list, gives it the old one's attributes, and then moves it over the old one in one
// step, so that a failed or interrupted save leaves the previous file whole; texts in UTF-8, the
// password field empty. The password goes to the user's credential store. False, with the
// reason as the last error, when the file could not be written completely, when the old file's
// protection could not be read, or when the store refused the password.
bool SaveSettings(const Settings& settings, const char* headerText, const char* path);

// Copies the file at path to path + SettingsBackupSuffix, replacing an older copy, before a save
// replaces a file that could not be read. False, with the reason as the last error, when it
// could not be copied; a missing file needs no copy.
bool KeepSettingsBackup(const char* path);
