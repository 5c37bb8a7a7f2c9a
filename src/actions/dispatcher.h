#pragma once
// The one place every trigger ends: RunAction decides whether, how and with which routine an
// action runs.

#include "settings/settings.h"

#include <cstdint>
#include <functional>
#include <string>

enum ActionCode : std::uint32_t {
  ActionShutdown = 1,
  ActionReboot = 2,
  ActionLogOff = 3,
  ActionStandby = 4,
  ActionHibernate = 5,
  ActionLock = 6,
  ActionRemoteShutdown = 7,
  ActionRemoteReboot = 8,
  ActionDomainShutdown = 9,
  ActionDomainReboot = 10,
};

// Raised by RunAction; while raised, the next close request of the main window succeeds at
// once. Lowered after standby, hibernation, lock and a remote action on another computer.
extern bool ActionInProgress;

// The routines RunAction reaches beyond the local actions: the warning countdown and the
// remote and domain shutdowns. The program installs them at start; tests install their own.
// Until they are installed every action stops at the gate.
struct ActionRoutines {
  // `computer` is the one a remote action names.
  bool (*confirmByWarningCountdown)(const Settings& settings, std::uint32_t code,
                                    const std::string& computer) = nullptr;
  int (*remoteShutdownByName)(const char* target, Settings& settings) = nullptr;
  int (*domainShutdown)(Settings& settings) = nullptr;
  // True when a remote or domain action must not start now, after telling the user why.
  bool (*refuseRemoteAction)() = nullptr;
};

void SetActionRoutines(const ActionRoutines& routines);

// Returns the result of the routine called last, or 0 when the countdown stopped the action or
// a remote or domain action was refused because another one still runs.
// `prepare`, when given, changes the settings once the countdown lets the action through: a
// command that brings choices of its own changes nothing when it is refused.
// `computer` names the computer of a remote action that `prepare` has not stored yet, for the
// countdown; empty, the stored one.
int RunAction(std::uint32_t code, Settings& settings,
              const std::function<void(Settings&)>& prepare = {}, const std::string& computer = {});
