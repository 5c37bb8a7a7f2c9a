#include "actions/dispatcher.h"

#include "common/texts.h"
#include "fake_world.h"

#include <cstring>

namespace {

// What the scripted countdown, remote and domain routines saw.
struct RoutineLog {
  int countdowns = 0;
  bool countdownAnswer = true;
  std::vector<std::string> remoteTargets;
  int domainRuns = 0;
  std::uint8_t rebootSeenByRoutine = 0xFF;
};

RoutineLog Log;

bool ScriptedCountdown(const Settings&, std::uint32_t, const std::string&) {
  ++Log.countdowns;
  return Log.countdownAnswer;
}

int ScriptedRemote(const char* target, Settings& settings) {
  Log.remoteTargets.push_back(target);
  Log.rebootSeenByRoutine = settings.RemoteReboot;
  return 1;
}

int ScriptedDomain(Settings& settings) {
  ++Log.domainRuns;
  Log.rebootSeenByRoutine = settings.RemoteReboot;
  return 1;
}

class DispatcherTest : public FakeWindowsTest {
protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    Log = RoutineLog{};
    SetActionRoutines({ScriptedCountdown, ScriptedRemote, ScriptedDomain});
    SetDefaultSettings(settings);
    ActionInProgress = false;
  }
  void TearDown() override { SetActionRoutines({}); }

  std::vector<std::string> PowerCalls() {
    return fake::CallsNamed({"ExitWindowsEx", "SetSystemPowerState", "LockWorkStation"});
  }

  Settings settings;
};

TEST_F(DispatcherTest, SendsTheFlagsOfEachLocalActionOnTheNtFamily) {
  struct Case {
    std::uint32_t code;
    std::uint8_t force;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {ActionShutdown, 0, {"ExitWindowsEx(8, 0)"}},
      {ActionShutdown, 1, {"ExitWindowsEx(12, 0)"}},
      {ActionReboot, 0, {"ExitWindowsEx(2, 0)"}},
      {ActionReboot, 1, {"ExitWindowsEx(6, 0)"}},
      {ActionLogOff, 0, {"ExitWindowsEx(0, 0)"}},
      {ActionLogOff, 1, {"ExitWindowsEx(4, 0)"}},
      {ActionStandby, 0, {"SetSystemPowerState(1, 0)"}},
      {ActionStandby, 1, {"SetSystemPowerState(1, 1)"}},
      {ActionHibernate, 0, {"SetSystemPowerState(0, 0)"}},
      {ActionHibernate, 1, {"SetSystemPowerState(0, 1)"}},
      {ActionLock, 1, {"LockWorkStation()"}},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    settings.ForceApps = c.force;
    RunAction(c.code, settings);
    EXPECT_EQ(PowerCalls(), c.expected) << "code " << c.code << " force " << int{c.force};
  }
}

TEST_F(DispatcherTest, ShutdownFallsBackToAPlainShutdownWhenPowerOffIsRefused) {
  struct Case {
    std::uint32_t platformId;
    std::uint8_t force;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {win::VerPlatformWin32Nt, 1, {"ExitWindowsEx(12, 0)", "ExitWindowsEx(5, 0)"}},
      {win::VerPlatformWin32Nt, 0, {"ExitWindowsEx(8, 0)", "ExitWindowsEx(1, 0)"}},
      // The 9x family can't power off: both requests are plain shutdowns.
      {win::VerPlatformWin32Windows, 0, {"ExitWindowsEx(1, 0)", "ExitWindowsEx(1, 0)"}},
      {win::VerPlatformWin32Windows, 1, {"ExitWindowsEx(5, 0)", "ExitWindowsEx(5, 0)"}},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(c.platformId, 4, 10);
    world().results["ExitWindowsEx"] = {0, 0};
    settings.ForceApps = c.force;
    EXPECT_EQ(RunAction(ActionShutdown, settings), 0);
    EXPECT_EQ(PowerCalls(), c.expected);
  }
}

TEST_F(DispatcherTest, EachSessionEndOnNtEnablesTheShutdownPrivilegeFirst) {
  world().results["ExitWindowsEx"] = {0, 1};
  EXPECT_EQ(RunAction(ActionShutdown, settings), 1);
  EXPECT_EQ(fake::CallsNamed({"AdjustTokenPrivileges", "ExitWindowsEx"}),
            (std::vector<std::string>{
                "AdjustTokenPrivileges(SeShutdownPrivilege, 2)", "ExitWindowsEx(8, 0)",
                "AdjustTokenPrivileges(SeShutdownPrivilege, 2)", "ExitWindowsEx(1, 0)"}));
}

TEST_F(DispatcherTest, LogOffMakesNoVersionQueryAndNoPrivilegeRequest) {
  settings.ForceApps = 1;
  RunAction(ActionLogOff, settings);
  // The dispatcher asks for the version class once; the session end itself asks nothing.
  EXPECT_EQ(fake::CallsNamed({"GetVersionExA", "OpenProcessToken", "ExitWindowsEx"}),
            (std::vector<std::string>{"GetVersionExA(156)", "ExitWindowsEx(4, 0)"}));
}

TEST_F(DispatcherTest, RefusesWhatTheWindowsReleaseLacks) {
  struct Case {
    std::uint32_t platformId;
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t code;
    const char* notice; // null: the action is attempted
  };
  const Case cases[] = {
      {win::VerPlatformWin32Nt, 4, 0, ActionStandby, StandbyNotSupportedText},
      {win::VerPlatformWin32Nt, 4, 0, ActionHibernate, StandbyNotSupportedText},
      {win::VerPlatformWin32Nt, 4, 0, ActionLock, LockNotSupportedText},
      {win::VerPlatformWin32Windows, 4, 10, ActionStandby, nullptr},
      {win::VerPlatformWin32Windows, 4, 90, ActionLock, LockNotSupportedText},
      {win::VerPlatformWin32Nt, 5, 0, ActionLock, nullptr},
      {win::VerPlatformWin32Nt, 6, 1, ActionLock, nullptr},
      {win::VerPlatformWin32Nt, 10, 0, ActionHibernate, nullptr},
      {0, 0, 0, ActionLock, LockNotSupportedText}, // an undetermined release
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(c.platformId, c.major, c.minor);
    RunAction(c.code, settings);
    if (c.notice != nullptr) {
      ASSERT_EQ(world().messageBoxes.size(), 1u);
      EXPECT_EQ(world().messageBoxes[0].text, c.notice);
      EXPECT_EQ(world().messageBoxes[0].caption, MessageCaption);
      EXPECT_EQ(world().messageBoxes[0].style, win::MbIconInformation);
      EXPECT_TRUE(PowerCalls().empty());
    } else {
      EXPECT_TRUE(world().messageBoxes.empty());
      EXPECT_EQ(PowerCalls().size(), 1u);
    }
  }
}

TEST_F(DispatcherTest, ActionInProgressStaysRaisedOnlyWhereTheSessionEnds) {
  struct Case {
    std::uint32_t code;
    bool raisedAfter;
  };
  const Case cases[] = {
      {ActionShutdown, true},
      {ActionReboot, true},
      {ActionLogOff, true},
      {ActionStandby, false},
      {ActionHibernate, false},
      {ActionLock, false},
      {ActionRemoteShutdown, true},
      {ActionRemoteReboot, true},
      {ActionDomainShutdown, true},
      {ActionDomainReboot, true},
      {0, true},
      {11, true},
      {static_cast<std::uint32_t>(-1), true},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ActionInProgress = false;
    RunAction(c.code, settings);
    // The scripted remote routine leaves the flag alone; lowering it is that routine's own job.
    EXPECT_EQ(ActionInProgress, c.raisedAfter) << "code " << c.code;
  }
}

TEST_F(DispatcherTest, RefusedSuspendAndLockLowerTheFlagToo) {
  fake::SetVersion(win::VerPlatformWin32Nt, 4, 0);
  for (std::uint32_t code : {ActionStandby, ActionLock}) {
    ActionInProgress = false;
    RunAction(code, settings);
    EXPECT_FALSE(ActionInProgress);
  }
}

TEST_F(DispatcherTest, SetsRemoteRebootBeforeTheRemoteAndDomainRoutines) {
  struct Case {
    std::uint32_t code;
    std::uint8_t before;
    std::uint8_t after;
  };
  const Case cases[] = {
      {ActionRemoteShutdown, 1, 0},
      {ActionRemoteReboot, 0, 1},
      {ActionDomainShutdown, 1, 0},
      {ActionDomainReboot, 0, 1},
  };
  for (const Case& c : cases) {
    settings.RemoteReboot = c.before;
    Log.rebootSeenByRoutine = 0xFF;
    RunAction(c.code, settings);
    EXPECT_EQ(settings.RemoteReboot, c.after) << "code " << c.code;
    EXPECT_EQ(Log.rebootSeenByRoutine, c.after) << "code " << c.code;
  }
}

TEST_F(DispatcherTest, RemoteActionsGoToTheStoredComputerAndDomainActionsToTheDomain) {
  std::strcpy(settings.RemoteComputer, "\\\\SERVER7");
  RunAction(ActionRemoteReboot, settings);
  RunAction(ActionDomainShutdown, settings);
  EXPECT_EQ(Log.remoteTargets, std::vector<std::string>{"\\\\SERVER7"});
  EXPECT_EQ(Log.domainRuns, 1);
  EXPECT_TRUE(PowerCalls().empty());
}

TEST_F(DispatcherTest, ACancelledCountdownDoesNothingAtAll) {
  Log.countdownAnswer = false;
  for (std::uint32_t code = 0; code <= 11; ++code) {
    settings.RemoteReboot = 7;
    EXPECT_EQ(RunAction(code, settings), 0);
    EXPECT_FALSE(ActionInProgress);
    EXPECT_EQ(settings.RemoteReboot, 7);
  }
  EXPECT_EQ(Log.countdowns, 12);
  EXPECT_TRUE(PowerCalls().empty());
  EXPECT_TRUE(Log.remoteTargets.empty());
  EXPECT_EQ(Log.domainRuns, 0);
  EXPECT_TRUE(world().messageBoxes.empty());
}

TEST_F(DispatcherTest, UnknownCodesPassTheCountdownAndDoNothingElse) {
  for (std::uint32_t code : {0u, 11u, static_cast<std::uint32_t>(-1)}) {
    fake::ResetWorld();
    Log.countdowns = 0;
    EXPECT_EQ(RunAction(code, settings), 0);
    EXPECT_EQ(Log.countdowns, 1);
    EXPECT_TRUE(PowerCalls().empty());
    EXPECT_TRUE(world().messageBoxes.empty());
  }
}

TEST_F(DispatcherTest, WithoutInstalledRoutinesEveryActionStopsAtTheGate) {
  SetActionRoutines({});
  EXPECT_EQ(RunAction(ActionShutdown, settings), 0);
  EXPECT_TRUE(PowerCalls().empty());
  EXPECT_FALSE(ActionInProgress);
}

TEST_F(DispatcherTest, ReturnsTheResultOfTheRoutineCalledLast) {
  world().results["SetSystemPowerState"] = {0};
  EXPECT_EQ(RunAction(ActionStandby, settings), 0);
  world().results["LockWorkStation"] = {0};
  EXPECT_EQ(RunAction(ActionLock, settings), 0);
  EXPECT_EQ(RunAction(ActionLock, settings), 1);
  EXPECT_EQ(RunAction(ActionDomainReboot, settings), 1);
}

} // namespace
