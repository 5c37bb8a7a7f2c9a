#pragma once
// Whether two settings records hold the same values, field by field: the record has padding
// and text beyond each terminator, so comparing its bytes would report differences that a
// save and load never keep.

#include "settings/settings.h"

#include <cstring>

inline bool SameSettings(const Settings& a, const Settings& b) {
  return a.ForceApps == b.ForceApps && a.RunAtStartup == b.RunAtStartup &&
         a.StartInTray == b.StartInTray && a.TimerActive == b.TimerActive &&
         a.TimerHour == b.TimerHour && a.TimerMinute == b.TimerMinute &&
         a.ShowWarning == b.ShowWarning && a.WarnSeconds == b.WarnSeconds &&
         a.ShowRemoteWarning == b.ShowRemoteWarning && a.RemoteWarnSeconds == b.RemoteWarnSeconds &&
         a.TimerAction == b.TimerAction && a.ConfirmExit == b.ConfirmExit &&
         std::strcmp(a.RemoteComputer, b.RemoteComputer) == 0 && a.RemoteReboot == b.RemoteReboot &&
         a.UseCredentials == b.UseCredentials && std::strcmp(a.UserName, b.UserName) == 0 &&
         std::strcmp(a.Password, b.Password) == 0 && a.LastCheckDay == b.LastCheckDay;
}
