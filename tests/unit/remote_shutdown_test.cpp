#include "actions/remote_shutdown.h"

#include "actions/dispatcher.h"
#include "common/texts.h"
#include "fake_world.h"

#include <cstring>
#include <optional>

namespace {

using platform::NetEntry;

class RemoteShutdownTest : public FakeWindowsTest {
protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    SetDefaultSettings(settings);
    world().computerName = "WORKSTATION";
  }
  std::vector<std::string> Requests() { return fake::CallsNamed({"InitiateSystemShutdownA"}); }
  std::vector<std::string> Connections() {
    return fake::CallsNamed({"WNetAddConnection2A", "WNetCancelConnection2A"});
  }
  void UseCredentials(const char* user, const char* password) {
    settings.UseCredentials = 1;
    std::strcpy(settings.UserName, user);
    std::strcpy(settings.Password, password);
  }
  static NetEntry Server(const std::string& name) {
    return NetEntry{win::ResourceDisplayTypeServer, name};
  }

  Settings settings;
};

TEST_F(RemoteShutdownTest, TheRequestCarriesTheOptionsOfTheSettings) {
  struct Case {
    std::uint8_t warn;
    std::int16_t seconds;
    std::uint8_t reboot;
    std::uint8_t force;
    std::string expected;
  };
  const std::string shutdownText = RemoteShutdownWarningText;
  const std::string rebootText = RemoteRebootWarningText;
  const Case cases[] = {
      {0, 45, 0, 0, "InitiateSystemShutdownA(PC, null, 0, 0, 0)"},
      {0, 45, 1, 1, "InitiateSystemShutdownA(PC, null, 0, 1, 1)"},
      {1, 45, 0, 0, "InitiateSystemShutdownA(PC, " + shutdownText + ", 45, 0, 0)"},
      {1, 20, 1, 0, "InitiateSystemShutdownA(PC, " + rebootText + ", 20, 0, 1)"},
      {1, 0, 0, 1, "InitiateSystemShutdownA(PC, " + shutdownText + ", 0, 1, 0)"},
      // A negative timeout asks for none, never for four billion seconds.
      {1, -25536, 0, 0, "InitiateSystemShutdownA(PC, " + shutdownText + ", 0, 0, 0)"},
      {1, 32767, 0, 0, "InitiateSystemShutdownA(PC, " + shutdownText + ", 32767, 0, 0)"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    settings.ShowRemoteWarning = c.warn;
    settings.RemoteWarnSeconds = c.seconds;
    settings.RemoteReboot = c.reboot;
    settings.ForceApps = c.force;
    EXPECT_EQ(RemoteShutdownComputer("PC", settings), 1);
    EXPECT_EQ(Requests(), std::vector<std::string>{c.expected});
  }
}

TEST(RemoteTimeoutSeconds, StaysWithinWhatWindowsTakes) {
  const std::pair<std::int64_t, std::uint32_t> cases[] = {
      {-1, 0}, {20, 20}, {315360000, 315360000}, {315360001, 315360000}, {1LL << 40, 315360000}};
  for (const auto& [seconds, timeout] : cases) {
    EXPECT_EQ(RemoteTimeoutSeconds(seconds), timeout) << seconds;
  }
}

TEST_F(RemoteShutdownTest, RequestsEnableBothShutdownPrivilegesFirst) {
  RemoteShutdownComputer("PC", settings);
  EXPECT_EQ(fake::CallsNamed({"AdjustTokenPrivileges", "InitiateSystemShutdownA"}).size(), 3u);
  EXPECT_EQ(fake::CallsNamed({"AdjustTokenPrivileges"}),
            (std::vector<std::string>{"AdjustTokenPrivileges(SeShutdownPrivilege, 2)",
                                      "AdjustTokenPrivileges(SeRemoteShutdownPrivilege, 2)"}));
}

TEST_F(RemoteShutdownTest, CredentialsConnectToTheAdminShareAndDisconnectAfterwards) {
  struct Case {
    const char* target;
    const char* share;
  };
  const Case cases[] = {
      {"PC", "\\\\PC\\admin$"},
      {"\\\\PC", "\\\\PC\\admin$"},
      {"/PC", "\\\\/PC\\admin$"}, // only a backslash counts as a prefix
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    UseCredentials("LAN\\admin", "secret");
    settings.ShowRemoteWarning = 0;
    EXPECT_EQ(RemoteShutdownComputer(c.target, settings), 1);
    EXPECT_EQ(Connections(), (std::vector<std::string>{
                                 std::string("WNetAddConnection2A(2, 0, 0, 1, null, ") + c.share +
                                     ", null, null, secret, LAN\\admin, 0)",
                                 std::string("WNetCancelConnection2A(") + c.share + ", 0, 0)"}));
    EXPECT_EQ(Requests(), std::vector<std::string>{std::string("InitiateSystemShutdownA(") +
                                                   c.target + ", null, 0, 0, 0)"});
  }
}

TEST_F(RemoteShutdownTest, EmptyCredentialsArePassedAsEmptyTexts) {
  UseCredentials("", "");
  RemoteShutdownComputer("PC", settings);
  EXPECT_EQ(Connections()[0],
            "WNetAddConnection2A(2, 0, 0, 1, null, \\\\PC\\admin$, null, null, , , 0)");
}

TEST_F(RemoteShutdownTest, RejectedCredentialsSendNoRequestAndShowTheLogonError) {
  UseCredentials("admin", "wrong");
  world().results["WNetAddConnection2A"] = {1326};
  world().lastError = 126; // left over from something earlier
  EXPECT_EQ(RemoteShutdownComputer("PC", settings), 0);
  EXPECT_TRUE(Requests().empty());
  EXPECT_TRUE(fake::CallsNamed({"AdjustTokenPrivileges", "WNetCancelConnection2A"}).empty());
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, "The user name or password is incorrect.\r\n");
  EXPECT_EQ(world().messageBoxes[0].caption, MessageCaption);
}

TEST_F(RemoteShutdownTest, ARefusedRequestIsReportedWithItsOwnErrorNotTheDisconnections) {
  UseCredentials("admin", "pw");
  world().results["InitiateSystemShutdownA"] = {0};
  world().results["InitiateSystemShutdownA.error"] = {win::ErrorAccessDenied};
  world().results["WNetCancelConnection2A"] = {2250}; // "connection does not exist"
  EXPECT_EQ(RemoteShutdownComputer("PC", settings), 0);
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, "Access is denied.\r\n");
}

TEST_F(RemoteShutdownTest, ANameTooLongForTheSharePathIsRefusedWithoutARequest) {
  UseCredentials("admin", "pw");
  const std::string name(300, 'n');
  world().systemMessages[{win::LangEnglishUs, win::ErrorInvalidName}] =
      "The filename, directory name, or volume label syntax is incorrect.\r\n";
  EXPECT_EQ(RemoteShutdownComputer(name.c_str(), settings), 0);
  EXPECT_TRUE(Requests().empty());
  EXPECT_TRUE(Connections().empty());
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text,
            "The filename, directory name, or volume label syntax is incorrect.\r\n");
}

TEST_F(RemoteShutdownTest, ActionInProgressStaysRaisedOnlyForThisComputer) {
  struct Case {
    const char* target;
    long requestResult;
    bool raised;
  };
  const Case cases[] = {
      {"WORKSTATION", 1, true},
      {"workstation", 1, true},
      {"\\\\WorkStation", 0, true},
      {"//WORK\\STATION/", 1, true},
      {"SERVER", 1, false},
      {"SERVER", 0, false},
      {"WORKSTATION2", 1, false},
      // The loopback names and this computer's DNS names reach it just the same.
      {"localhost", 1, true},
      {"\\\\LocalHost", 0, true},
      {".", 1, true},
      {"127.0.0.1", 1, true},
      {"::1", 1, true},
      {"\\\\Workstation-7", 1, true},
      {"workstation-7.CORP.example", 1, true},
      {"127.0.0.2", 1, false},
      {"workstation-7.corp", 1, false},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().results["InitiateSystemShutdownA"] = {c.requestResult};
    ActionInProgress = true;
    EXPECT_EQ(RemoteShutdownByName(c.target, settings), c.requestResult);
    EXPECT_EQ(ActionInProgress, c.raised) << c.target;
    EXPECT_EQ(world().messageBoxes.size(), c.requestResult == 0 ? 1u : 0u) << c.target;
  }
}

TEST_F(RemoteShutdownTest, AnEmptyNameIsRefusedRatherThanTakenForThisComputer) {
  struct Case {
    const char* target;
    bool credentials;
    bool nameKnown;
  };
  const Case cases[] = {
      {"", false, true}, {"\\\\", false, true}, {"", true, true}, {"", false, false}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().systemMessages[{win::LangEnglishUs, win::ErrorInvalidName}] = "Invalid name.\r\n";
    if (!c.nameKnown) {
      world().computerName.reset();
    }
    settings.UseCredentials = c.credentials ? 1 : 0;
    ActionInProgress = true;
    EXPECT_EQ(RemoteShutdownByName(c.target, settings), 0) << c.target;
    EXPECT_TRUE(Requests().empty()) << c.target;
    EXPECT_TRUE(Connections().empty()) << c.target;
    ASSERT_EQ(world().messageBoxes.size(), 1u) << c.target;
    EXPECT_EQ(world().messageBoxes[0].text, "Invalid name.\r\n");
    EXPECT_FALSE(ActionInProgress) << c.target;
  }
}

TEST(SameComputerName, IgnoresSlashesAndCaseButNotOtherDifferences) {
  const std::string longA = "\\\\" + std::string(40, 'a') + "X";
  const std::string longB = std::string(40, 'A') + "Y";
  struct Case {
    std::string a;
    std::string b;
    bool same;
  };
  const Case cases[] = {
      {"PC", "pc", true},
      {"\\\\PC", "PC", true},
      {"/P/C\\", "pc", true},
      {"PC", "PC1", false},
      {"PC ", "PC", false},
      {"", "", true},
      {"\\\\", "", true},
      {longA, longB, false},
      {longA, longA.substr(2), true},
      {"pc.corp.", "PC.corp", true},
      {"pc.corp..", "pc.corp", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameComputerName(c.a.c_str(), c.b.c_str()), c.same) << c.a << " / " << c.b;
  }
}

} // namespace
