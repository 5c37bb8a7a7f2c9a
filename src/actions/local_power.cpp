#include "actions/local_power.h"

#include "actions/os_version.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "platform/session.h"
#include "platform/user.h"

#include <cstdio>
#include <string>

namespace {

constexpr win::ExitFlags SessionEndingFlags = win::EwxPowerOff | win::EwxReboot | win::EwxShutdown;
constexpr std::uint32_t NoReason = 0;

bool ErrorBoxesHeld = false;

} // namespace

int ExitSession(win::ExitFlags flags) {
  if ((flags & SessionEndingFlags) != 0) {
    const std::uint32_t family = PlatformFamily();
    if (family == win::VerPlatformWin32Nt) {
      EnablePrivilege(ShutdownPrivilegeName, true);
    } else if (family == win::VerPlatformWin32Windows && (flags & win::EwxPowerOff) != 0) {
      flags = (flags & ~win::EwxPowerOff) | win::EwxShutdown;
    }
  }
  return platform::ExitWindowsEx(flags, NoReason);
}

int LocalPowerAction(PowerActionKind kind, std::uint8_t force) {
  if (PlatformFamily() == win::VerPlatformWin32Nt) {
    EnablePrivilege(ShutdownPrivilegeName, true);
  }
  switch (kind) {
  case PowerActionKind::Standby:
    return platform::SetSystemPowerState(true, force != 0);
  case PowerActionKind::Hibernate:
    return platform::SetSystemPowerState(false, force != 0);
  case PowerActionKind::Lock:
    return LockSession();
  }
  return 0;
}

int LockSession() {
  const win::Handle user32 = platform::LoadLibraryA(User32LibraryName);
  if (user32 == win::NoHandle) {
    return 0;
  }
  const win::Handle entry = platform::GetProcAddress(user32, LockWorkStationEntry);
  const bool locked = entry != win::NoHandle && platform::CallLockWorkStation(entry) != 0;
  platform::FreeLibrary(user32);
  return locked ? 1 : 0;
}

bool EnablePrivilege(const char* name, bool enable) {
  win::Handle token = win::NoHandle;
  if (!platform::OpenProcessToken(win::TokenAdjustPrivileges | win::TokenQuery, token)) {
    return false;
  }
  platform::Luid luid;
  bool adjusted = false;
  if (platform::LookupPrivilegeValueA(name, luid)) {
    platform::AdjustTokenPrivileges(token, luid, enable ? win::SePrivilegeEnabled : 0);
    // The call succeeds even when the account lacks the privilege; only the last error tells.
    adjusted = platform::GetLastError() == win::ErrorSuccess;
  }
  platform::CloseHandle(token);
  return adjusted;
}

std::string SystemErrorText(win::ErrorCode code) {
  std::string text;
  if (!platform::FormatMessageA(code, win::LangEnglishUs, text) &&
      !platform::FormatMessageA(code, win::LangUserDefault, text)) {
    char fallback[96];
    std::snprintf(fallback, sizeof fallback, UnknownErrorFormat, static_cast<unsigned long>(code));
    text = fallback;
  }
  return text;
}

void ShowLastErrorBox(const char* caption) {
  if (ErrorBoxesHeld) {
    return;
  }
  const std::string text = SystemErrorText(platform::GetLastError());
  platform::MessageBoxA(win::NoHandle, text.c_str(), caption, win::MbOk | win::MbIconInformation);
}

void HoldBackErrorBoxes(bool held) {
  ErrorBoxesHeld = held;
}

bool ErrorBoxesHeldBack() {
  return ErrorBoxesHeld;
}
