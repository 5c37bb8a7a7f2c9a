#pragma once
// The program's start and its program-wide values.

#include "platform/winconst.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

// The one settings record of the run, and the path of its file, built once at start.
extern Settings AppSettings;
extern std::string SettingsFilePath;

// How long a message box or a modal window of a keyword run waits for a person before it closes
// by itself: a script must get its exit code, and the next run must find the program gone.
inline constexpr std::uint32_t UnattendedBoxMilliseconds = 2 * 60 * 1000;

// The named mutex held for the whole run, or none when another instance holds it.
win::Handle AcquireSingleInstance(const char* name);

// Finds where the script that started the program reads results: the output it handed over, or
// else its console, joined. False when there is neither, as for a start from the desktop.
bool AttachScriptConsole();
// One line on the standard output a script reads, whatever line ends the text brings: as
// UTF-16 to a console, as bytes to a file or a pipe.
void WriteConsoleLine(const std::string& text);

// Process start to end: returns the exit code, 0 but for the keywords that name a computer,
// which end with the Windows error code of their request, a run the starting console gave up
// (ERROR_CANCELLED) and a run ended by an unexpected error (ERROR_UNHANDLED_EXCEPTION).
int RunProgram(const std::vector<std::string>& arguments);
