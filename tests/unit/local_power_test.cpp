#include "actions/local_power.h"

#include "common/texts.h"
#include "fake_world.h"

namespace {

class LocalPowerTest : public FakeWindowsTest {};

TEST_F(LocalPowerTest, AnInvalidKindCallsNoPowerFunctionAfterThePrivilegeStep) {
  EXPECT_EQ(LocalPowerAction(static_cast<PowerActionKind>(8), 1), 0);
  EXPECT_EQ(fake::CallsNamed({"AdjustTokenPrivileges", "SetSystemPowerState", "LoadLibraryA"}),
            std::vector<std::string>{"AdjustTokenPrivileges(SeShutdownPrivilege, 2)"});
}

TEST_F(LocalPowerTest, The9xFamilyAsksForNoPrivilege) {
  fake::SetVersion(win::VerPlatformWin32Windows, 4, 10);
  EXPECT_EQ(LocalPowerAction(PowerActionKind::Standby, 0), 1);
  EXPECT_TRUE(fake::CallsNamed({"OpenProcessToken"}).empty());
}

TEST_F(LocalPowerTest, LockSessionReportsEachFailureAsZero) {
  struct Case {
    bool loads;
    bool hasEntry;
    long lockResult;
    int expected;
    bool freed;
  };
  const Case cases[] = {
      {true, true, 1, 1, true},
      {true, true, 0, 0, true},
      {true, false, 1, 0, true},
      {false, true, 1, 0, false},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().user32Loads = c.loads;
    world().user32HasLockWorkStation = c.hasEntry;
    world().results["LockWorkStation"] = {c.lockResult};
    EXPECT_EQ(LockSession(), c.expected);
    EXPECT_EQ(fake::CallsNamed({"LockWorkStation"}).size(), c.loads && c.hasEntry ? 1u : 0u);
    EXPECT_EQ(fake::CallsNamed({"FreeLibrary"}).size(), c.freed ? 1u : 0u);
  }
}

TEST_F(LocalPowerTest, EnablePrivilegeIsTrueOnlyWhenTheAccountHoldsIt) {
  struct Case {
    const char* privilege;
    bool held;
    bool enable;
    bool expected;
    const char* adjusted; // the AdjustTokenPrivileges call, or null when none is made
  };
  const Case cases[] = {
      {"SeShutdownPrivilege", true, true, true, "AdjustTokenPrivileges(SeShutdownPrivilege, 2)"},
      {"SeShutdownPrivilege", true, false, true, "AdjustTokenPrivileges(SeShutdownPrivilege, 0)"},
      {"SeRemoteShutdownPrivilege", false, true, false,
       "AdjustTokenPrivileges(SeRemoteShutdownPrivilege, 2)"},
      {"SeNoSuchPrivilege", true, true, false, nullptr},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    if (!c.held) {
      world().heldPrivileges.erase(c.privilege);
    }
    EXPECT_EQ(EnablePrivilege(c.privilege, c.enable), c.expected) << c.privilege;
    const auto adjusted = fake::CallsNamed({"AdjustTokenPrivileges"});
    EXPECT_EQ(adjusted.size(), c.adjusted != nullptr ? 1u : 0u);
    if (c.adjusted != nullptr && !adjusted.empty()) {
      EXPECT_EQ(adjusted[0], c.adjusted);
    }
    // The token is given back in every case.
    EXPECT_EQ(fake::CallsNamed({"CloseHandle"}).size(), 1u);
  }
}

TEST_F(LocalPowerTest, AMissingPrivilegeLeavesError1300AndTheActionIsStillAttempted) {
  world().heldPrivileges.clear();
  EXPECT_FALSE(EnablePrivilege(ShutdownPrivilegeName, true));
  EXPECT_EQ(world().lastError, win::ErrorNotAllAssigned);
  EXPECT_EQ(ExitSession(win::EwxReboot), 1);
  EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}), std::vector<std::string>{"ExitWindowsEx(2, 0)"});
}

TEST_F(LocalPowerTest, ATokenThatCannotBeOpenedIsFalse) {
  world().results["OpenProcessToken"] = {0};
  EXPECT_FALSE(EnablePrivilege(ShutdownPrivilegeName, true));
  EXPECT_TRUE(fake::CallsNamed({"LookupPrivilegeValueA", "CloseHandle"}).empty());
}

TEST_F(LocalPowerTest, AFailedVersionQuerySkipsThePrivilegeAndTheNineXRewrite) {
  world().version.queryFails = true;
  ExitSession(win::EwxPowerOff | win::EwxForce);
  EXPECT_EQ(fake::CallsNamed({"OpenProcessToken", "ExitWindowsEx"}),
            std::vector<std::string>{"ExitWindowsEx(12, 0)"});
}

TEST_F(LocalPowerTest, ErrorBoxFallsBackFromEnglishToTheUsersLanguage) {
  struct Case {
    std::map<std::pair<std::uint32_t, win::ErrorCode>, std::string> messages;
    std::string expectedText;
    std::vector<std::string> formatCalls;
  };
  const win::ErrorCode code = 1326;
  const Case cases[] = {
      {{{{win::LangEnglishUs, code}, "Logon failure.\r\n"}},
       "Logon failure.\r\n",
       {"FormatMessageA(1326, 1033)"}},
      {{{{win::LangUserDefault, code}, "Anmeldung fehlgeschlagen.\r\n"}},
       "Anmeldung fehlgeschlagen.\r\n",
       {"FormatMessageA(1326, 1033)", "FormatMessageA(1326, 1024)"}},
      {{},
       "Windows reported error 1326 and has no text for it.",
       {"FormatMessageA(1326, 1033)", "FormatMessageA(1326, 1024)"}},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().systemMessages = c.messages;
    world().lastError = code;
    ShowLastErrorBox(MessageCaption);
    EXPECT_EQ(fake::CallsNamed({"FormatMessageA"}), c.formatCalls);
    ASSERT_EQ(world().messageBoxes.size(), 1u);
    EXPECT_EQ(world().messageBoxes[0].text, c.expectedText);
    EXPECT_EQ(world().messageBoxes[0].caption, MessageCaption);
    EXPECT_EQ(world().messageBoxes[0].style, win::MbOk | win::MbIconInformation);
    EXPECT_EQ(world().messageBoxes[0].owner, win::NoHandle);
  }
}

TEST_F(LocalPowerTest, SessionEndsByFamily) {
  struct Case {
    std::uint32_t platformId;
    win::ExitFlags flags;
    std::vector<std::string> expected;
  };
  const std::string privilege = "AdjustTokenPrivileges(SeShutdownPrivilege, 2)";
  const Case cases[] = {
      {win::VerPlatformWin32Nt, win::EwxReboot, {privilege, "ExitWindowsEx(2, 0)"}},
      {win::VerPlatformWin32Nt,
       win::EwxShutdown | win::EwxForce,
       {privilege, "ExitWindowsEx(5, 0)"}},
      {win::VerPlatformWin32Nt, win::EwxLogOff, {"ExitWindowsEx(0, 0)"}},
      {win::VerPlatformWin32Windows, win::EwxReboot | win::EwxForce, {"ExitWindowsEx(6, 0)"}},
      {win::VerPlatformWin32Windows, win::EwxPowerOff, {"ExitWindowsEx(1, 0)"}},
      {win::VerPlatformWin32Windows, win::EwxPowerOff | win::EwxForce, {"ExitWindowsEx(5, 0)"}},
      {win::VerPlatformWin32Windows, win::EwxLogOff | win::EwxForce, {"ExitWindowsEx(4, 0)"}},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(c.platformId, 4, 10);
    ExitSession(c.flags);
    EXPECT_EQ(fake::CallsNamed({"AdjustTokenPrivileges", "ExitWindowsEx"}), c.expected)
        << "flags " << c.flags << " platform " << c.platformId;
  }
}

} // namespace
