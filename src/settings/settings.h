#pragma once
// The program's preferences, the state of the daily action and the parameters of the last
// remote or domain action: one record, loaded at start and saved at the end.

#include <cstddef>
#include <cstdint>

// Capacity of each text field: 261 characters and the terminator.
inline constexpr std::size_t SettingsTextCapacity = 262;

struct Settings {
  std::uint8_t ForceApps;
  std::uint8_t RunAtStartup;
  std::uint8_t StartInTray;
  std::uint8_t TimerActive;
  std::int16_t TimerHour;
  std::int16_t TimerMinute;
  std::uint8_t ShowWarning;
  std::int16_t WarnSeconds;
  std::uint8_t ShowRemoteWarning;
  std::int16_t RemoteWarnSeconds;
  std::int16_t TimerAction;
  std::uint8_t ConfirmExit;
  char RemoteComputer[SettingsTextCapacity];
  std::uint8_t RemoteReboot;
  std::uint8_t UseCredentials;
  char UserName[SettingsTextCapacity];
  char Password[SettingsTextCapacity];
  std::int32_t LastCheckDay;

  // Each copy of the record takes the remote password with it when it goes.
  ~Settings();
};

void SetDefaultSettings(Settings& settings);
