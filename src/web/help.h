#pragma once
// The program's help: every request opens the help file at its table of contents.

#include <cstdint>

// The application's help handler. Opens the contents for the Index item (command 0, data 0)
// and for F1 (HELP_CONTEXT); never lets another help engine start.
bool AppHelp(std::uint16_t command, std::intptr_t data, bool& callHelp);
