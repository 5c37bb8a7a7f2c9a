#pragma once
// The local session and power requests, the shutdown privilege and the system error box.

#include "platform/winconst.h"

#include <cstdint>
#include <string>

enum class PowerActionKind : int { Standby = 5, Hibernate = 6, Lock = 7 };

// ExitWindowsEx(flags, 0) with the shutdown privilege on the NT family; the 9x family can't
// power off, so there a power-off request goes out as a plain shutdown. Returns Windows' result.
int ExitSession(win::ExitFlags flags);

// Standby, hibernation or lock; `force` is the ForceApps byte. Non-zero on success, 0 on failure
// or for any other kind.
int LocalPowerAction(PowerActionKind kind, std::uint8_t force);

// LockWorkStation, looked up at run time. 1 on success, else 0.
int LockSession();

// Enables or disables one privilege in the process token. True only when Windows adjusted it;
// an account that lacks the privilege gives false.
bool EnablePrivilege(const char* name, bool enable);

// The system's text for an error code, or one that names the code when Windows has none.
std::string SystemErrorText(win::ErrorCode code);

// A message box with the system's text for the last error code, unless boxes are held back.
void ShowLastErrorBox(const char* caption);
// Held back while a script reads the result from its console: no box may wait there for a
// click. The last error stays as it is either way.
void HoldBackErrorBoxes(bool held);
bool ErrorBoxesHeldBack();
