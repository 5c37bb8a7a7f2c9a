#pragma once
// The console of the process that started the program: a script reads the results there, and
// its Ctrl+C or its closing must end the program in order.

#include "platform/winconst.h"

#include <cstdint>
#include <string>

namespace platform {

// AttachConsole; win::AttachParentProcess joins the console of the starting process, and fails
// when it has none.
bool AttachConsole(std::uint32_t processId);
// GetStdHandle; NoHandle when the process has none. A file or pipe is written with WriteFile
// (kernel.h), a console with WriteConsoleText.
win::Handle GetStdHandle(std::uint32_t which);
// True when the handle is a console itself (GetConsoleMode answers), not a file or a pipe.
bool IsConsole(win::Handle output);
// Writes text of the ANSI code page to a console as UTF-16, so that the console shows it right
// whatever code page it is set to.
bool WriteConsoleText(win::Handle console, const std::string& text);

// Ctrl+C, Ctrl+Break and closing the console are posted to `window` as `message` instead of
// ending the process at once. Windows asks on a thread of its own, which then waits up to
// `waitMilliseconds` for ConsoleCancelHandled(): for a closed console Windows ends the process
// as soon as that thread returns.
bool RouteConsoleCancel(win::Handle window, std::uint32_t message, std::uint32_t waitMilliseconds);
// The program has done its end steps: a console's request waiting for them may return.
void ConsoleCancelHandled();

} // namespace platform
