#include "platform/session.h"

#include "platform/win32/handles.h"

namespace platform {

int ExitWindowsEx(win::ExitFlags flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason);
}

int SetSystemPowerState(bool suspend, bool force) {
  return ::SetSystemPowerState(suspend, force);
}

int CallLockWorkStation(win::Handle entryPoint) {
  using LockWorkStationFunction = BOOL(WINAPI*)();
  return reinterpret_cast<LockWorkStationFunction>(entryPoint)();
}

} // namespace platform
