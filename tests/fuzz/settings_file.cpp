// The settings file is the one input the program reads from disk at every start: the bytes
// become that file, and the load must leave each text field terminated within its capacity.
// What was loaded must then save and load back unchanged.

#include "settings/settings_file.h"

#include "common/texts.h"
#include "fuzz_support.h"
#include "platform/fake/fake.h"

#include <vector>

namespace {

constexpr char Path[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat";

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

  const std::vector<std::uint8_t> saved = Saved(settings);
  Settings reloaded;
  SetDefaultSettings(reloaded);
  Require(LoadSettings(reloaded, SettingsHeader, Path), "the saved file loads");
  Require(Saved(reloaded) == saved, "the saved record loads back unchanged");
  return 0;
}
