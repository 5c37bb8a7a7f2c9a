#pragma once
// Tests of the windows: a fresh fake Windows, an empty headless toolkit and the program-wide
// state as a new process has it.

#include "actions/countdown.h"
#include "actions/dispatcher.h"
#include "app/program.h"
#include "fake_world.h"
#include "ui/headless/script.h"

class WindowsTest : public FakeWindowsTest {
protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    ui::headless::Reset();
    SetDefaultSettings(AppSettings);
    ActionInProgress = false;
    CountdownActive = false;
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown});
  }
  void TearDown() override { SetActionRoutines({}); }

  static constexpr char SettingsPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat";

  // Settings as a file next to the program, so that the main window loads them.
  void StoreSettings(const Settings& settings);
};
