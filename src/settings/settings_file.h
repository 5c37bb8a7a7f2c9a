#pragma once
// The settings file next to the program: a header text, then the record's fields in a fixed
// little-endian layout.

#include "settings/settings.h"

#include <string>

// Full path of a file of this name in the program's own directory, at most 260 characters.
std::string PathNextToProgram(const char* fileName);

// Reads the file over the record, its texts converted into the program's ANSI code page: from
// UTF-8 when the file says so, else from the machine's ANSI code page, as an earlier version
// wrote them. False when it is missing or does not begin with the header; the record then keeps
// its values. A file cut short leaves the fields after the cut as they were. The password comes
// from the user's credential store unless the file holds one (an earlier version's file).
bool LoadSettings(Settings& settings, const char* headerText, const char* path);

// Writes the record to a new file beside the old one, created with the old one's owner and
// access list, gives it the old one's attributes, and then moves it over the old one in one
// step, so that a failed or interrupted save leaves the previous file whole; texts in UTF-8, the
// password field empty. The password goes to the user's credential store. False, with the
// reason as the last error, when the file could not be written completely, when the old file's
// protection could not be read, or when the store refused the password.
bool SaveSettings(const Settings& settings, const char* headerText, const char* path);
