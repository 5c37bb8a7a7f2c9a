#pragma once
// Security token, the LSA's private data, and the remote shutdown request and its withdrawal.

#include "common/secret_text.h"
#include "platform/winconst.h"

#include <cstdint>
#include <string>

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
// GetTokenInformation(TokenElevation) of this process: false when it runs with a filtered token,
// and when Windows can't tell (before Vista, which has no such token).
bool ProcessElevated();

// The LSA's private data of the local machine, by name: LsaOpenPolicy, LsaStorePrivateData or
// LsaRetrievePrivateData, LsaClose. Texts are in the ANSI code page; a null secret deletes the
// data. Each returns the Windows error code (LsaNtStatusToWinError), 0 on success;
// ERROR_FILE_NOT_FOUND when there is no such data, ERROR_ACCESS_DENIED without the right.
win::ErrorCode StorePrivateData(const char* name, const char* secret);
win::ErrorCode RetrievePrivateData(const char* name, SecretText& secret);

int InitiateSystemShutdownA(const char* machine, const char* message, std::uint32_t timeout,
                            bool forceAppsClosed, bool rebootAfterShutdown);
// Withdraws a shutdown the machine was asked for and still counts down to.
int AbortSystemShutdownA(const char* machine);

} // namespace platform
