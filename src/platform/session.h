#pragma once
// Session and power: ending the session, suspending, locking.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

int ExitWindowsEx(win::ExitFlags flags, std::uint32_t reason);
int SetSystemPowerState(bool suspend, bool force);
// Calls an entry point found as "LockWorkStation" in user32.dll.
int CallLockWorkStation(win::Handle entryPoint);

} // namespace platform
