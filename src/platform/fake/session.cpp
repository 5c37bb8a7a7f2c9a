// Session, power, token and message-box calls of the fake Windows.

#include "platform/session.h"
#include "platform/security.h"
#include "platform/user.h"

#include "platform/fake/internal.h"

#include <chrono>
#include <map>
#include <thread>

namespace platform {

using fake::NextResult;
using fake::Record;
using fake::TheWorld;

namespace {
constexpr win::Handle ProcessToken = 0x4000;
const std::map<std::string, std::uint32_t> PrivilegeIds = {{"SeShutdownPrivilege", 19},
                                                           {"SeRemoteShutdownPrivilege", 24}};
} // namespace

int ExitWindowsEx(win::ExitFlags flags, std::uint32_t reason) {
  Record("ExitWindowsEx", flags, reason);
  const long result = NextResult("ExitWindowsEx", 1);
  if (result == 0) {
    TheWorld().lastError =
        static_cast<win::ErrorCode>(NextResult("ExitWindowsEx.error", win::ErrorAccessDenied));
  }
  return static_cast<int>(result);
}

int SetSystemPowerState(bool suspend, bool force) {
  Record("SetSystemPowerState", suspend, force);
  return static_cast<int>(NextResult("SetSystemPowerState", 1));
}

int CallLockWorkStation(win::Handle) {
  Record("LockWorkStation");
  return static_cast<int>(NextResult("LockWorkStation", 1));
}

bool OpenProcessToken(std::uint32_t desiredAccess, win::Handle& token) {
  Record("OpenProcessToken", desiredAccess);
  if (NextResult("OpenProcessToken", 1) == 0) {
    TheWorld().lastError = win::ErrorAccessDenied;
    return false;
  }
  token = ProcessToken;
  return true;
}

bool LookupPrivilegeValueA(const char* name, Luid& luid) {
  Record("LookupPrivilegeValueA", name);
  const auto found = PrivilegeIds.find(name == nullptr ? "" : name);
  if (found == PrivilegeIds.end()) {
    TheWorld().lastError = win::ErrorNoSuchPrivilege;
    return false;
  }
  luid = Luid{found->second, 0};
  return true;
}

bool AdjustTokenPrivileges(win::Handle token, const Luid& luid, std::uint32_t attributes) {
  std::string name;
  for (const auto& [privilege, id] : PrivilegeIds) {
    if (id == luid.lowPart) {
      name = privilege;
    }
  }
  Record("AdjustTokenPrivileges", name, attributes);
  static_cast<void>(token);
  // Windows reports success either way; a privilege the account lacks shows in the last error.
  TheWorld().lastError =
      TheWorld().heldPrivileges.count(name) != 0 ? win::ErrorSuccess : win::ErrorNotAllAssigned;
  return true;
}

bool CloseHandle(win::Handle handle) {
  Record("CloseHandle", handle);
  return handle != win::NoHandle;
}

bool ProcessElevated() {
  Record("ProcessElevated");
  return TheWorld().elevated;
}

win::ErrorCode StorePrivateData(const char* name, const char* secret) {
  Record("StorePrivateData", name, secret == nullptr ? "deleted" : "secret");
  fake::World& w = TheWorld();
  if (w.privateDataRefusal) {
    return *w.privateDataRefusal;
  }
  if (secret == nullptr) {
    return w.privateData.erase(name) == 1 ? win::ErrorSuccess : win::ErrorFileNotFound;
  }
  w.privateData[name] = secret;
  return win::ErrorSuccess;
}

win::ErrorCode RetrievePrivateData(const char* name, SecretText& secret) {
  Record("RetrievePrivateData", name);
  const fake::World& w = TheWorld();
  if (w.privateDataRefusal) {
    return *w.privateDataRefusal;
  }
  const auto found = w.privateData.find(name);
  if (found == w.privateData.end()) {
    return win::ErrorFileNotFound;
  }
  secret.Assign(found->second);
  return win::ErrorSuccess;
}

int InitiateSystemShutdownA(const char* machine, const char* message, std::uint32_t timeout,
                            bool forceAppsClosed, bool rebootAfterShutdown) {
  Record("InitiateSystemShutdownA", machine, message, timeout, forceAppsClosed,
         rebootAfterShutdown);
  const std::string name = machine != nullptr ? machine : "";
  const fake::World& w = TheWorld();
  if (w.onShutdownRequest) {
    w.onShutdownRequest(name);
  }
  if (const auto latency = w.requestMilliseconds.find(name);
      latency != w.requestMilliseconds.end()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(latency->second));
  }
  if (const auto refusal = w.refusingComputers.find(name); refusal != w.refusingComputers.end()) {
    TheWorld().lastError = refusal->second;
    return 0;
  }
  const long result = NextResult("InitiateSystemShutdownA", 1);
  if (result == 0) {
    TheWorld().lastError =
        static_cast<win::ErrorCode>(NextResult("InitiateSystemShutdownA.error", 53));
  }
  return static_cast<int>(result);
}

int AbortSystemShutdownA(const char* machine) {
  Record("AbortSystemShutdownA", machine);
  const long result = NextResult("AbortSystemShutdownA", 1);
  if (result == 0) {
    TheWorld().lastError = static_cast<win::ErrorCode>(
        NextResult("AbortSystemShutdownA.error", win::ErrorNoShutdownInProgress));
  }
  return static_cast<int>(result);
}

int MessageBoxA(win::Handle owner, const char* text, const char* caption,
                win::MessageBoxStyle style) {
  Record("MessageBoxA", text, caption, style);
  if (TheWorld().lastErrorAfterMessageBox) {
    TheWorld().lastError = *TheWorld().lastErrorAfterMessageBox;
  }
  return fake::AnswerMessageBox(
      {owner, text == nullptr ? "" : text, caption == nullptr ? "" : caption, style});
}

void SetMessageBoxTimeout(std::uint32_t milliseconds) {
  Record("SetMessageBoxTimeout", milliseconds);
  TheWorld().messageBoxTimeout = milliseconds;
}

int GetSystemMetrics(int index) {
  Record("GetSystemMetrics", index);
  return index == win::SmServerR2 ? TheWorld().version.serverR2 : 0;
}

} // namespace platform
