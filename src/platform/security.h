#pragma once
// Security token and the remote shutdown request and its withdrawal.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

struct Luid {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
};

// OpenProcessToken on GetCurrentProcess().
bool OpenProcessToken(std::uint32_t desiredAccess, win::Handle& token);
// LookupPrivilegeValueA on the local system.
bool LookupPrivilegeValueA(const char* name, Luid& luid);
// AdjustTokenPrivileges with disable-all false and a one-entry list, no previous state.
bool AdjustTokenPrivileges(win::Handle token, const Luid& luid, std::uint32_t attributes);
bool CloseHandle(win::Handle handle);

int InitiateSystemShutdownA(const char* machine, const char* message, std::uint32_t timeout,
                            bool forceAppsClosed, bool rebootAfterShutdown);
// Withdraws a shutdown the machine was asked for and still counts down to.
int AbortSystemShutdownA(const char* machine);

} // namespace platform
