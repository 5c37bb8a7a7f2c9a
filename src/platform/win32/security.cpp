#include "platform/security.h"

#include "platform/win32/handles.h"

namespace platform {

using win32::FromWindows;
using win32::ToWindows;

bool OpenProcessToken(std::uint32_t desiredAccess, win::Handle& token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &opened)) {
    return false;
  }
  token = FromWindows(opened);
  return true;
}

bool LookupPrivilegeValueA(const char* name, Luid& luid) {
  LUID found{};
  if (!::LookupPrivilegeValueA(nullptr, name, &found)) {
    return false;
  }
  luid = Luid{found.LowPart, found.HighPart};
  return true;
}

bool AdjustTokenPrivileges(win::Handle token, const Luid& luid, std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.lowPart;
  privileges.Privileges[0].Luid.HighPart = luid.highPart;
  privileges.Privileges[0].Attributes = attributes;
  return ::AdjustTokenPrivileges(ToWindows<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
}

bool CloseHandle(win::Handle handle) {
  return ::CloseHandle(ToWindows<HANDLE>(handle));
}

int InitiateSystemShutdownA(const char* machine, const char* message, std::uint32_t timeout,
                            bool forceAppsClosed, bool rebootAfterShutdown) {
  // The texts are only read; the declaration predates const.
  return ::InitiateSystemShutdownA(const_cast<char*>(machine), const_cast<char*>(message), timeout,
                                   forceAppsClosed, rebootAfterShutdown);
}

int AbortSystemShutdownA(const char* machine) {
  return ::AbortSystemShutdownA(const_cast<char*>(machine));
}

} // namespace platform
