// Program entry. The start-up and shut-down steps that need no window: the settings file is
// loaded over the defaults, the start-up registration follows the setting, and both are
// written back on the way out.

#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/run_at_startup.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

#include <string>

int main() {
  platform::SetErrorMode(win::SemNoGpFaultErrorBox | win::SemNoAlignmentFaultExcept);
  ClearSelectSound();

  Settings settings;
  SetDefaultSettings(settings);
  const std::string settingsPath = PathNextToProgram(SettingsFileName);
  LoadSettings(settings, SettingsHeader, settingsPath.c_str());
  ApplyRunAtStartup(settings.RunAtStartup != 0, RunValueName);

  SaveSettings(settings, SettingsHeader, settingsPath.c_str());
  ApplyRunAtStartup(settings.RunAtStartup != 0, RunValueName);
  return 0;
}
