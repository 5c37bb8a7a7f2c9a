#include "ui_world.h"

#include "common/texts.h"
#include "settings/settings_file.h"
#include "ui/application.h"

void WindowsTest::StoreSettings(const Settings& settings) {
  ASSERT_TRUE(SaveSettings(settings, SettingsHeader, SettingsPath));
  world().calls.clear();
}

std::unique_ptr<TFMain> WindowsTest::StartMainWindow(std::vector<std::string> arguments) {
  auto window = std::make_unique<TFMain>(std::move(arguments));
  ui::SetMainForm(window.get());
  ui::RunApplication(*window);
  return window;
}
