// The settings file is the one input the program reads from disk at every start: the bytes
// become that file, and the load must leave each text field terminated within its capacity.
// A text whose stored length is beyond what a text may hold ends the load: the fields after it
// keep their defaults. What was loaded must then save and load back unchanged.

#include "settings/settings_file.h"

#include "common/texts.h"
#include "fuzz_support.h"
#include "platform/fake/fake.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr char Path[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat";
// The longest text the file may hold.
constexpr std::size_t TextLimit = SettingsTextCapacity - 1;

// Which of the file's three texts (0: RemoteComputer, 1: UserName, 2: Password) is the first one
// with a stored length beyond the limit, read from the layout: the fixed fields take 40 bytes
// after the header, RemoteReboot and UseCredentials follow the first text.
std::optional<int> FirstOverlongText(const std::uint8_t* data, std::size_t size) {
  const std::size_t header = std::strlen(SettingsHeader);
  if (size < header || std::memcmp(data, SettingsHeader, header) != 0) {
    return std::nullopt;
  }
  std::size_t at = header + 40;
  for (int text = 0; text < 3; ++text) {
    if (at + 2 > size) {
      return std::nullopt;
    }
    const std::size_t length = data[at] | (data[at + 1] << 8);
    if (length > TextLimit) {
      return text;
    }
    at += 2 + length + (text == 0 ? 2 : 0);
  }
  return std::nullopt;
}

std::vector<std::uint8_t> Saved(const Settings& settings) {
  Require(SaveSettings(settings, SettingsHeader, Path), "the record is saved");
  return fake::TheWorld().files[Path];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fake::ResetWorld();
  fake::TheWorld().files[Path].assign(data, data + size);

  // The program loads over the defaults.
  Settings settings;
  SetDefaultSettings(settings);
  LoadSettings(settings, SettingsHeader, Path);

  Require(TerminatedWithin(settings.RemoteComputer, SettingsTextCapacity),
          "RemoteComputer is terminated");
  Require(TerminatedWithin(settings.UserName, SettingsTextCapacity), "UserName is terminated");
  Require(TerminatedWithin(settings.Password, SettingsTextCapacity), "Password is terminated");

  Settings defaults;
  SetDefaultSettings(defaults);
  if (const std::optional<int> overlong = FirstOverlongText(data, size)) {
    Require(settings.ConfirmExit == defaults.ConfirmExit &&
                settings.LastCheckDay == defaults.LastCheckDay,
            "the fields after an over-long text keep their defaults");
    Require(*overlong > 0 || (settings.RemoteReboot == defaults.RemoteReboot &&
                              settings.UseCredentials == defaults.UseCredentials &&
                              settings.UserName[0] == '\0'),
            "the fields after an over-long RemoteComputer keep their defaults");
  }

  const std::vector<std::uint8_t> saved = Saved(settings);
  Settings reloaded;
  SetDefaultSettings(reloaded);
  Require(LoadSettings(reloaded, SettingsHeader, Path) == SettingsLoad::Read,
          "the saved file loads");
  Require(Saved(reloaded) == saved, "the saved record loads back unchanged");
  return 0;
}
