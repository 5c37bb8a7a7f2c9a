#pragma once
// The program's start and its program-wide values.

#include "platform/winconst.h"
#include "settings/settings.h"

#include <string>
#include <vector>

// The one settings record of the run, and the path of its file, built once at start.
extern Settings AppSettings;
extern std::string SettingsFilePath;

// The named mutex held for the whole run, or none when another instance holds it.
win::Handle AcquireSingleInstance(const char* name);

// Process start to end: returns the exit code.
int RunProgram(const std::vector<std::string>& arguments);
