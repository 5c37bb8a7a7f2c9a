#pragma once
// The settings file next to the program: a header text, then the record's fields in a fixed
// little-endian layout.

#include "settings/settings.h"

#include <string>

// Full path of a file of this name in the program's own directory, at most 260 characters.
std::string PathNextToProgram(const char* fileName);

// Reads the file over the record. False when it is missing or does not begin with the header;
// the record then keeps its values. A file cut short leaves the fields after the cut as they
// were.
bool LoadSettings(Settings& settings, const char* headerText, const char* path);

// Writes the record to a new file beside the old one, gives it the old one's attributes and
// access list, and then moves it over the old one in one step, so that a failed or interrupted
// save leaves the previous file whole. False when the file could not be written completely.
bool SaveSettings(const Settings& settings, const char* headerText, const char* path);
