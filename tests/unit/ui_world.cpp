#include "ui_world.h"

#include "common/texts.h"
#include "settings/settings_file.h"

void WindowsTest::StoreSettings(const Settings& settings) {
  ASSERT_TRUE(SaveSettings(settings, SettingsHeader, SettingsPath));
  world().calls.clear();
}
