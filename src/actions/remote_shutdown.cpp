#include "actions/remote_shutdown.h"

#include "actions/computer_list.h"
#include "actions/dispatcher.h"
#include "actions/local_power.h"
#include "actions/results_log.h"
#include "common/text.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/network.h"
#include "platform/security.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <optional>
#include <unordered_set>

namespace {

constexpr std::uint32_t SharePathCapacity = 260;
constexpr std::uint32_t ComputerNameCapacity = win::MaxComputerNameLength + 1;
constexpr std::uint32_t EnumerationBufferSize = 6400;
constexpr std::uint32_t AsManyAsFit = 0xFFFFFFFF;
constexpr std::uint32_t NoConnectionFlags = 0;

void EnableShutdownPrivileges() {
  EnablePrivilege(ShutdownPrivilegeName, true);
  EnablePrivilege(RemoteShutdownPrivilegeName, true);
}

// Names that reach this computer whatever it is called.
constexpr const char* LoopbackNames[] = {"localhost", ".", "127.0.0.1", "::1"};

std::string Cleaned(const char* name) {
  std::string cleaned;
  for (const char* c = name; c != nullptr && *c != '\0'; ++c) {
    if (*c != '\\' && *c != '/') {
      cleaned += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
  }
  // A fully qualified name may end in the root's dot.
  if (cleaned.size() > 1 && cleaned.back() == '.') {
    cleaned.pop_back();
  }
  return cleaned;
}

// Windows takes a request without a machine name for one to this computer.
bool NamesNoComputer(const char* name) {
  while (name != nullptr && *name == '\\') {
    ++name;
  }
  return name == nullptr || *name == '\0';
}

std::string OwnComputerName() {
  char name[ComputerNameCapacity] = {};
  std::uint32_t size = sizeof name;
  return platform::GetComputerNameA(name, size) ? std::string(name) : std::string();
}

// Every name under which a request reaches this computer: the loopback names, the NetBIOS and
// DNS names Windows knows it by, and its IPv4 addresses.
std::vector<std::string> ThisComputersNames() {
  std::vector<std::string> names(std::begin(LoopbackNames), std::end(LoopbackNames));
  names.push_back(OwnComputerName());
  for (const std::uint32_t type :
       {win::ComputerNameDnsHostname, win::ComputerNameDnsFullyQualified}) {
    std::string name;
    if (platform::GetComputerNameExA(type, name)) {
      names.push_back(name);
    }
  }
  // A computer is asked by its address too.
  platform::GetAdaptersAddresses(names);
  // A name Windows couldn't tell must not match an empty target.
  std::erase_if(names, [](const std::string& name) { return NamesNoComputer(name.c_str()); });
  return names;
}

bool IsThisComputer(const char* name, const std::vector<std::string>& ownNames) {
  return std::any_of(ownNames.begin(), ownNames.end(), [name](const std::string& own) {
    return SameComputerName(name, own.c_str());
  });
}

// Connects to the computer's admin$ share as `user`, runs `request` and disconnects. On failure
// the last error is that of the step that failed, not of the disconnection.
int WithAdminShare(const char* machine, const char* user, const char* password,
                   const std::function<int()>& request) {
  // Names from the network already carry their leading backslashes.
  char share[SharePathCapacity];
  const int length =
      std::snprintf(share, sizeof share,
                    machine[0] == '\\' ? PrefixedAdminShareFormat : AdminShareFormat, machine);
  if (length < 0 || static_cast<std::uint32_t>(length) >= sizeof share) {
    // A cut path would name another computer's share.
    platform::SetLastError(win::ErrorInvalidName);
    return 0;
  }

  platform::NetResource resource;
  resource.scope = win::ResourceGlobalNet;
  resource.type = win::ResourceTypeAny;
  resource.displayType = win::ResourceDisplayTypeGeneric;
  resource.usage = win::ResourceUsageConnectable;
  resource.remoteName = share;
  const std::uint32_t connection =
      platform::WNetAddConnection2A(resource, password != nullptr ? password : "",
                                    user != nullptr ? user : "", NoConnectionFlags);
  if (connection != 0) {
    // The box reports the last error; not every network provider leaves its own there.
    platform::SetLastError(connection);
    return 0;
  }
  const int result = request();
  // The report after a refused request must describe the request, not the disconnection.
  const win::ErrorCode requestError = platform::GetLastError();
  platform::WNetCancelConnection2A(share, NoConnectionFlags, false);
  platform::SetLastError(requestError);
  return result;
}

// Runs one request to the computer; the outcome carries the request's own error.
RequestOutcome Outcome(const char* computer, const std::function<int()>& request) {
  if (NamesNoComputer(computer) || ComputerNameTooLong(computer)) {
    return {false, win::ErrorInvalidName};
  }
  return request() != 0 ? RequestOutcome{true, win::ErrorSuccess}
                        : RequestOutcome{false, platform::GetLastError()};
}

// Reports a failed request in a box. The last error stays the request's own, whatever looking
// up the box's text leaves, for a caller that reports it again.
int Reported(const RequestOutcome& outcome) {
  if (!outcome.ok) {
    platform::SetLastError(outcome.error);
    ShowLastErrorBox(MessageCaption);
    platform::SetLastError(outcome.error);
  }
  return outcome.ok ? 1 : 0;
}

} // namespace

int InitiateRemoteShutdown(const char* machine, const char* message, std::uint32_t timeout,
                           bool force, bool reboot) {
  EnableShutdownPrivileges();
  return platform::InitiateSystemShutdownA(machine, message, timeout, force, reboot) != 0 ? 1 : 0;
}

int InitiateRemoteShutdownWithLogon(const char* machine, const char* user, const char* password,
                                    const char* message, std::uint32_t timeout, bool force,
                                    bool reboot) {
  return WithAdminShare(machine, user, password, [=] {
    return InitiateRemoteShutdown(machine, message, timeout, force, reboot);
  });
}

std::uint32_t RemoteTimeoutSeconds(std::int64_t seconds) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds, 0, win::MaxShutdownTimeout));
}

RequestOutcome RequestRemoteShutdown(const char* computer, const Settings& settings) {
  const bool warn = settings.ShowRemoteWarning != 0;
  const bool reboot = settings.RemoteReboot != 0;
  const char* message =
      warn ? (reboot ? RemoteRebootWarningText : RemoteShutdownWarningText) : nullptr;
  const std::uint32_t timeout = warn ? RemoteTimeoutSeconds(settings.RemoteWarnSeconds) : 0;
  const bool force = settings.ForceApps != 0;
  return Outcome(computer, [&] {
    return settings.UseCredentials != 0
               ? InitiateRemoteShutdownWithLogon(computer, settings.UserName, settings.Password,
                                                 message, timeout, force, reboot)
               : InitiateRemoteShutdown(computer, message, timeout, force, reboot);
  });
}

int RemoteShutdownComputer(const char* computer, const Settings& settings) {
  return Reported(RequestRemoteShutdown(computer, settings));
}

int RemoteShutdownByName(const char* target, Settings& settings) {
  const bool ownComputer = IsThisComputer(target, ThisComputersNames());
  const RequestOutcome outcome = RequestRemoteShutdown(target, settings);
  LogRequestResult(settings.RemoteReboot != 0 ? LogRemoteReboot : LogRemoteShutdown, target,
                   outcome.error);
  const int result = Reported(outcome);
  // Shutting down this very computer ends the session: the window must then close unasked.
  if (!ownComputer) {
    ActionInProgress = false;
  }
  return result;
}

RequestOutcome RequestAbortShutdown(const char* computer, const Settings& settings) {
  const auto abort = [computer] {
    EnableShutdownPrivileges();
    return platform::AbortSystemShutdownA(computer) != 0 ? 1 : 0;
  };
  return Outcome(computer, [&] {
    return settings.UseCredentials != 0
               ? WithAdminShare(computer, settings.UserName, settings.Password, abort)
               : abort();
  });
}

int AbortRemoteShutdown(const char* computer, const Settings& settings) {
  const RequestOutcome outcome = RequestAbortShutdown(computer, settings);
  LogRequestResult(LogAbort, computer != nullptr ? computer : "", outcome.error);
  return Reported(outcome);
}

bool RefuseOverlongName(const std::string& computer, const char* logAction) {
  if (!ComputerNameTooLong(computer)) {
    return false;
  }
  LogRequestResult(logAction, computer, win::ErrorInvalidName);
  Reported({false, win::ErrorInvalidName});
  return true;
}

bool SameComputerName(const char* a, const char* b) {
  return Cleaned(a) == Cleaned(b);
}

std::vector<std::string> EnumerateDomainComputers() {
  std::vector<std::string> computers;
  // A set, as a browse list may hold tens of thousands of names.
  std::unordered_set<std::string> known;
  win::Handle enumeration = win::NoHandle;
  if (platform::WNetOpenEnumA(win::ResourceContext, win::ResourceTypeAny, win::ResourceUsageEvery,
                              nullptr, enumeration) != 0) {
    return computers;
  }
  for (;;) {
    std::uint32_t count = AsManyAsFit;
    std::vector<platform::NetEntry> entries;
    if (platform::WNetEnumResourceA(enumeration, count, EnumerationBufferSize, entries) != 0) {
      break;
    }
    for (const platform::NetEntry& entry : entries) {
      if (entry.displayType != win::ResourceDisplayTypeServer || !entry.remoteName) {
        continue;
      }
      if (known.insert(LowerAsciiLetters(*entry.remoteName)).second) {
        computers.push_back(*entry.remoteName);
      }
    }
  }
  platform::WNetCloseEnum(enumeration);
  return computers;
}

DomainPlan PlanDomainAction(const Settings& settings, const std::atomic<bool>& cancelled) {
  DomainPlan plan;
  // Read afresh each time: the administrator may have changed it since the last action.
  const ComputerListFile listFile =
      ReadComputerListFile(PathNextToProgram(ComputerListFileName).c_str());
  if (listFile.state == ListFileState::Unreadable) {
    plan.listUnreadable = true;
    plan.listError = listFile.error;
  }
  plan.containers = CountDirectoryContainers(listFile.computers);
  plan.listed =
      WithDirectoryComputers(listFile.computers, settings, plan.directoryFailures, cancelled);
  // A cancelled run asks nobody: the browse list may take the network's time too.
  if (cancelled.load()) {
    return plan;
  }
  const std::vector<std::string> ownNames = ThisComputersNames();
  std::optional<ListedComputer> own;
  for (ListedComputer& computer : MergeComputers(EnumerateDomainComputers(), plan.listed)) {
    if (computer.possible && IsThisComputer(computer.name.c_str(), ownNames)) {
      // A later name of this computer replaces an earlier one, which then gets no request.
      own = std::move(computer);
    } else {
      plan.computers.push_back(std::move(computer));
    }
  }
  // This computer goes last, or the others would never be asked.
  plan.ownLast = own.has_value();
  if (own) {
    plan.computers.push_back(std::move(*own));
  }
  return plan;
}
