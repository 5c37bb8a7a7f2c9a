#include "actions/dispatcher.h"

#include "actions/local_power.h"
#include "actions/os_version.h"
#include "common/texts.h"
#include "platform/user.h"

bool ActionInProgress = false;

namespace {

ActionRoutines Routines;

int ShowNotSupported(const char* text) {
  return platform::MessageBoxA(win::NoHandle, text, MessageCaption,
                               win::MbOk | win::MbIconInformation);
}

int Suspend(ActionCode code, OsVersionClass osClass, const Settings& settings) {
  const int result = osClass == OsWinNT4
                         ? ShowNotSupported(StandbyNotSupportedText)
                         : LocalPowerAction(code == ActionStandby ? PowerActionKind::Standby
                                                                  : PowerActionKind::Hibernate,
                                            settings.ForceApps);
  ActionInProgress = false;
  return result;
}

int Lock(OsVersionClass osClass, const Settings& settings) {
  const int result = osClass < OsWin2000
                         ? ShowNotSupported(LockNotSupportedText)
                         : LocalPowerAction(PowerActionKind::Lock, settings.ForceApps);
  ActionInProgress = false;
  return result;
}

} // namespace

void SetActionRoutines(const ActionRoutines& routines) {
  Routines = routines;
}

int RunAction(std::uint32_t code, Settings& settings, const std::function<void(Settings&)>& prepare,
              const std::string& computer) {
  // Two runs over the same computers would ask them twice and mix their results.
  const bool remote = code >= ActionRemoteShutdown && code <= ActionDomainReboot;
  if (remote && Routines.refuseRemoteAction != nullptr && Routines.refuseRemoteAction()) {
    return 0;
  }
  if (Routines.confirmByWarningCountdown == nullptr ||
      !Routines.confirmByWarningCountdown(settings, code,
                                          computer.empty() ? settings.RemoteComputer : computer)) {
    return 0;
  }
  if (prepare) {
    prepare(settings);
  }
  const OsVersionClass osClass = DetectOsVersion();
  const win::ExitFlags force = settings.ForceApps != 0 ? win::EwxForce : 0;
  ActionInProgress = true;

  switch (code) {
  case ActionShutdown: {
    const int result = ExitSession(force | win::EwxPowerOff);
    return result != 0 ? result : ExitSession(force | win::EwxShutdown);
  }
  case ActionReboot:
    return ExitSession(force | win::EwxReboot);
  case ActionLogOff:
    return ExitSession(force | win::EwxLogOff);
  case ActionStandby:
  case ActionHibernate:
    return Suspend(static_cast<ActionCode>(code), osClass, settings);
  case ActionLock:
    return Lock(osClass, settings);
  case ActionRemoteShutdown:
  case ActionRemoteReboot:
    settings.RemoteReboot = code == ActionRemoteReboot ? 1 : 0;
    return Routines.remoteShutdownByName == nullptr
               ? 0
               : Routines.remoteShutdownByName(settings.RemoteComputer, settings);
  case ActionDomainShutdown:
  case ActionDomainReboot:
    settings.RemoteReboot = code == ActionDomainReboot ? 1 : 0;
    return Routines.domainShutdown == nullptr ? 0 : Routines.domainShutdown(settings);
  default:
    // No action, but ActionInProgress stays raised: the close that follows a command-line run
    // goes through without questions.
    return 0;
  }
}
