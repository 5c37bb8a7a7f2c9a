#pragma once
// The console of the process that started the program: a script reads the results there.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

// AttachConsole; win::AttachParentProcess joins the console of the starting process, and fails
// when it has none.
bool AttachConsole(std::uint32_t processId);
// GetStdHandle; NoHandle when the process has none. Written with WriteFile (kernel.h), which
// serves a console and a redirected output alike.
win::Handle GetStdHandle(std::uint32_t which);

} // namespace platform
