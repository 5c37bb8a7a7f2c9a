#pragma once
// Tests of the windows: a fresh fake Windows, an empty headless toolkit and the program-wide
// state as a new process has it.

#include "actions/countdown.h"
#include "actions/dispatcher.h"
#include "app/main_window.h"
#include "app/program.h"
#include "fake_world.h"
#include "ui/headless/script.h"

#include <memory>
#include <string>
#include <vector>

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

  // Settings as a file next to the program, so that the main window loads them.
  void StoreSettings(const Settings& settings);
  // The main window as the program makes it, shown once by the message loop.
  std::unique_ptr<TFMain> StartMainWindow(std::vector<std::string> arguments = {
                                              "DorvaneShutdown.exe"});
};
