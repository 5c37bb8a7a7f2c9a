// A settings file that could not be read is never saved over unread, and a run started with a
// keyword never waits on a box for a save that failed.

#include "app/main_window.h"
#include "common/texts.h"
#include "settings/settings_file.h"
#include "ui/application.h"
#include "ui_world.h"

#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;
using ui::headless::ClickMenuItem;

constexpr char UserRun[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsKeptTest : public WindowsTest {
protected:
  const std::string BackupPath = std::string(SettingsPath) + SettingsBackupSuffix;

  std::size_t BoxesSaying(const std::string& words) {
    std::size_t count = 0;
    for (const fake::MessageBoxRecord& box : world().messageBoxes) {
      count += box.text.find(words) != std::string::npos;
    }
    return count;
  }
};

TEST_F(SettingsKeptTest, AFileThatCantBeReadIsKeptUntilPreferencesOkAndThenBackedUp) {
  struct Case {
    const char* what;
    void (*spoil)(fake::World& w, const char* path);
    bool preferencesOk;
  };
  const Case cases[] = {
      {"held without sharing",
       [](fake::World& w, const char* path) {
         w.unopenableFiles[path] = win::ErrorSharingViolation;
       },
       false},
      {"foreign header", [](fake::World& w, const char* path) { w.files[path][0] ^= 0x20; }, false},
      {"held, then Preferences OK",
       [](fake::World& w, const char* path) {
         w.unopenableFiles[path] = win::ErrorSharingViolation;
       },
       true},
      {"foreign header, then Preferences OK",
       [](fake::World& w, const char* path) { w.files[path][0] ^= 0x20; }, true},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    SetDefaultSettings(AppSettings);
    Settings stored = AppSettings;
    stored.RunAtStartup = 0; // the user switched it off: there is no Run value
    stored.WarnSeconds = 42;
    StoreSettings(stored);
    c.spoil(world(), SettingsPath);
    const Bytes before = world().files[SettingsPath];

    auto window = StartMainWindow();
    EXPECT_EQ(AppSettings.WarnSeconds, 10) << c.what << ": the run uses the defaults";
    EXPECT_EQ(BoxesSaying("could not be read"), 1u) << c.what;
    EXPECT_FALSE(fake::GetRegValue(UserRun, RunValueName)) << c.what << ": Run value at start";
    world().unopenableFiles.clear(); // the other program lets go
    if (c.preferencesOk) {
      ui::headless::OnNextModal([](ui::Form&) { return ui::ModalResult::Ok; });
      ClickMenuItem(window->MainMenu1, "Preferences1");
      EXPECT_EQ(world().files[BackupPath], before) << c.what;
      Settings saved;
      SetDefaultSettings(saved);
      EXPECT_EQ(LoadSettings(saved, SettingsHeader, SettingsPath), SettingsLoad::Read) << c.what;
    }
    window.reset();
    if (c.preferencesOk) {
      EXPECT_NE(world().files[SettingsPath], before) << c.what;
    } else {
      EXPECT_EQ(world().files[SettingsPath], before) << c.what << ": left byte for byte";
      EXPECT_EQ(world().files.count(BackupPath), 0u) << c.what;
      EXPECT_FALSE(fake::GetRegValue(UserRun, RunValueName)) << c.what << ": Run value at exit";
    }
    EXPECT_EQ(BoxesSaying("could not be read"), 1u) << c.what << ": told once";
  }
}

TEST_F(SettingsKeptTest, AFailedSaveInAKeywordRunIsNeverABox) {
  struct Case {
    const char* what;
    bool console;
    bool redirected;
  };
  const Case cases[] = {
      {"console", true, false},
      {"redirected output", true, true},
      {"no console: told by the next start from the desktop", false, false},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    SetDefaultSettings(AppSettings);
    AppSettings.ShowWarning = 0;
    StoreSettings(AppSettings);
    world().filesReadOnly = true;
    world().parentConsole = c.console;
    world().outputRedirected = c.redirected;

    StartMainWindow({"DorvaneShutdown.exe", "Restart"}).reset();
    EXPECT_TRUE(world().messageBoxes.empty()) << c.what;
    const bool told = world().consoleOutput.find("could not be saved") != std::string::npos;
    EXPECT_EQ(told, c.console) << c.what << ": " << world().consoleOutput;

    world().parentConsole = false;
    world().filesReadOnly = false;
    for (int start = 0; start < 2; ++start) {
      StartMainWindow().reset();
    }
    EXPECT_EQ(BoxesSaying("A run started with a keyword could not save"), c.console ? 0u : 1u)
        << c.what << ": told once, by the next start only";
  }
}

} // namespace
