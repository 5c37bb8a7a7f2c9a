#include "settings/settings.h"

#include "common/secret_text.h"

void SetDefaultSettings(Settings& settings) {
  settings = Settings{};
  settings.RunAtStartup = 1;
  settings.ShowWarning = 1;
  settings.WarnSeconds = 10;
  settings.ShowRemoteWarning = 1;
  settings.RemoteWarnSeconds = 20;
  settings.TimerAction = 1;
}

Settings::~Settings() {
  WipeBytes(Password, sizeof Password);
}
