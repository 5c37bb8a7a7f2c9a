#pragma once
// Every test starts on a fresh fake Windows 10 workstation.

#include "platform/fake/fake.h"

#include <gtest/gtest.h>

class FakeWindowsTest : public ::testing::Test {
protected:
  void SetUp() override { fake::ResetWorld(); }
  fake::World& world() { return fake::TheWorld(); }

  // Where the program keeps its settings: next to the fake world's program file.
  static constexpr char SettingsPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat";
};
