#include "actions/directory_computers.h"

#include "fake_world.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char Lab[] = "OU=Lab,DC=corp,DC=example";
// Computer accounts that are not disabled, as the directory is asked for them.
constexpr char EnabledComputers[] =
    "(&(objectCategory=computer)(!(userAccountControl:1.2.840.113556.1.4.803:=2)))";

TEST(DirectoryLines, TheAdsiPathFormNamesAContainerWithItsServerOrWithout) {
  struct Case {
    std::string line;
    std::optional<std::string> server; // none: the line is malformed
    std::string base;
  };
  const Case cases[] = {
      {"LDAP://OU=Lab,DC=corp,DC=example", "", Lab},
      {"ldap://ou=lab,dc=corp,dc=example", "", "ou=lab,dc=corp,dc=example"},
      {"LDAP://dc1.corp.example/OU=Lab,DC=corp,DC=example", "dc1.corp.example", Lab},
      {"LDAP://10.0.0.5:3268/DC=corp,DC=example", "10.0.0.5:3268", "DC=corp,DC=example"},
      {"LDAP://OU=Room 1, OU=Lab, DC=corp", "", "OU=Room 1, OU=Lab, DC=corp"},
      // ADSI escapes the path's slash inside a name; the directory takes it plain.
      {"LDAP://OU=Lab\\/East,DC=corp", "", "OU=Lab/East,DC=corp"},
      {"LDAP://dc1/OU=A\\,B,DC=corp", "dc1", "OU=A\\,B,DC=corp"},
      {"LDAP://1.2.840.113556.1.4.1=x,DC=corp", "", "1.2.840.113556.1.4.1=x,DC=corp"},
      {"LDAP://", std::nullopt, ""},
      {"LDAP://dc1", std::nullopt, ""},
      {"LDAP://dc1/", std::nullopt, ""},
      {"LDAP://dc1/OU=Lab/DC=corp", std::nullopt, ""},
      {"LDAP://OU=Lab,,DC=corp", std::nullopt, ""},
      {"LDAP://OU=,DC=corp", std::nullopt, ""},
      {"LDAP://=Lab,DC=corp", std::nullopt, ""},
      {"LDAP://O U=Lab", std::nullopt, ""},
      {"LDAP://OU=Lab\\", std::nullopt, ""},
      {"LDAP://dc 1/OU=Lab", std::nullopt, ""},
      {"LDAP://dc1:/OU=Lab", std::nullopt, ""},
      {"LDAP://dc1:65536/OU=Lab", std::nullopt, ""},
      {"LDAP://dc1:0/OU=Lab", std::nullopt, ""},
      {"LDAP:OU=Lab", std::nullopt, ""},
      {"GC://OU=Lab,DC=corp", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    const std::optional<DirectoryContainer> container = ParseDirectoryLine(c.line);
    ASSERT_EQ(container.has_value(), c.server.has_value()) << c.line;
    if (container) {
      EXPECT_EQ(container->server, *c.server) << c.line;
      EXPECT_EQ(container->base, c.base) << c.line;
    }
  }
}

TEST(DirectoryLines, TheListKeepsThemApartFromNamesAndAMalformedOneIsABadLine) {
  const std::vector<ListedComputer> listed = ParseComputerList(
      "PC1\r\n  LDAP://OU=Lab,DC=corp \r\n# LDAP://OU=Old,DC=corp\r\nLDAP://dc1\r\n"
      "ldap://ou=lab,dc=corp\r\nLDAP://dc1/OU=Room,DC=corp\r\n");
  ASSERT_EQ(listed.size(), 5u);
  struct Expected {
    std::string name;
    bool possible;
    bool directory;
    std::size_t line;
  };
  const Expected expected[] = {{"PC1", true, false, 1},
                               {"LDAP://OU=Lab,DC=corp", true, true, 2},
                               {"LDAP://dc1", false, true, 4},
                               {"ldap://ou=lab,dc=corp", true, true, 5},
                               {"LDAP://dc1/OU=Room,DC=corp", true, true, 6}};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(listed[i].name, expected[i].name);
    EXPECT_EQ(listed[i].possible, expected[i].possible) << listed[i].name;
    EXPECT_EQ(listed[i].directory, expected[i].directory) << listed[i].name;
    EXPECT_EQ(listed[i].line, expected[i].line) << listed[i].name;
  }
  EXPECT_EQ(CountPossibleComputers(listed), 1u);
  EXPECT_EQ(CountDirectoryContainers(listed), 2u) << "the same container in other case once";
  EXPECT_EQ(CountImpossibleLines(listed), 1u);
  EXPECT_NE(ImpossibleLinesReport(listed).find("line 4: LDAP://dc1"), std::string::npos);
}

class DirectoryQueryTest : public FakeWindowsTest {
protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    world().directory.containers = {Lab, "OU=Room1,OU=Lab,DC=corp,DC=example"};
    settings.UseCredentials = 0;
  }
  void Add(const std::string& container, const std::string& cn,
           std::optional<std::string> dnsHostName = std::nullopt,
           std::uint32_t control = fake::WorkstationTrustAccount, bool computer = true) {
    world().directory.objects.push_back({container, cn, dnsHostName, control, computer});
  }
  static DirectoryContainer Container(const std::string& server = "dc1") { return {server, Lab}; }
  void UseAccount(const char* user, const char* password) {
    settings.UseCredentials = 1;
    std::strcpy(settings.UserName, user);
    std::strcpy(settings.Password, password);
  }
  // Nothing of the client is left open.
  void ExpectAllReleased() {
    EXPECT_TRUE(world().directory.sessions.empty()) << "every session unbound";
    EXPECT_TRUE(world().directory.answers.empty()) << "every answer freed";
  }
  Settings settings{};
};

TEST_F(DirectoryQueryTest, AContainerOf1200AccountsComesInWholeOverThreePagesOf500) {
  for (int i = 0; i < 1200; ++i) {
    Add(Lab, "PC" + std::to_string(i));
  }
  const DirectoryComputers found = ReadDirectoryComputers(Container(), settings);
  EXPECT_EQ(found.ldapError, win::LdapSuccess);
  ASSERT_EQ(found.names.size(), 1200u);
  EXPECT_EQ(found.names.front(), "PC0");
  EXPECT_EQ(found.names.back(), "PC1199");
  const std::vector<std::string> searches = fake::CallsNamed({"ldap_search_ext_sA"});
  ASSERT_EQ(searches.size(), 3u);
  // Each page asks for 500 after the cookie of the one before.
  for (const auto& [search, cookie] : {std::pair{searches[0], ", 500, , "},
                                       {searches[1], ", 500, 500, "},
                                       {searches[2], ", 500, 1000, "}}) {
    EXPECT_NE(search.find(cookie), std::string::npos) << search;
  }
  ExpectAllReleased();
}

TEST_F(DirectoryQueryTest, EnabledComputersBeneathTheContainerByDnsHostNameElseCommonName) {
  Add(Lab, "ALPHA", "alpha.corp.example");
  Add(Lab, "BETA");
  Add(Lab, "GAMMA", "", fake::WorkstationTrustAccount); // an empty host name is none
  Add(Lab, "OFF", "off.corp.example", fake::WorkstationTrustAccount | fake::AccountDisabled);
  Add(Lab, "Ann Smith", std::nullopt, 0x200, false);
  Add("OU=Room1,OU=Lab,DC=corp,DC=example", "ROOM1-PC", "room1-pc.corp.example");
  Add("OU=Office,DC=corp,DC=example", "OFFICE-PC");
  const DirectoryComputers found = ReadDirectoryComputers(Container(), settings);
  EXPECT_EQ(found.names, (std::vector<std::string>{"alpha.corp.example", "BETA", "GAMMA",
                                                   "room1-pc.corp.example"}));
  // The whole subtree, for computers that are not disabled, asking only the two names.
  EXPECT_EQ(fake::CallsNamed({"ldap_search_ext_sA"}),
            std::vector<std::string>{"ldap_search_ext_sA(" + std::string(Lab) + ", 2, " +
                                     EnabledComputers + ", dNSHostName cn, 500, , 30)"});
  ExpectAllReleased();
}

TEST_F(DirectoryQueryTest, TheBindIsNegotiateAsTheStoredAccountOrTheCurrentLogon) {
  Add(Lab, "LAB1");
  struct Case {
    bool credentials;
    const char* user;
    std::string server;
    std::string init;
    std::string bind;
  };
  const Case cases[] = {
      {true, "CORP\\admin", "dc1", "ldap_initA(dc1, 389)",
       "ldap_bind_sA(admin, CORP, secret, 1158)"},
      {true, "admin@corp.example", "", "ldap_initA(null, 389)",
       "ldap_bind_sA(admin, corp.example, secret, 1158)"},
      {true, "admin", "dc1:3268", "ldap_initA(dc1:3268, 389)",
       "ldap_bind_sA(admin, , secret, 1158)"},
      {true, "", "dc1", "ldap_initA(dc1, 389)", "ldap_bind_sA(null, 1158)"},
      {false, "CORP\\admin", "dc1", "ldap_initA(dc1, 389)", "ldap_bind_sA(null, 1158)"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().directory.containers = {Lab};
    Add(Lab, "LAB1");
    UseAccount(c.user, "secret");
    settings.UseCredentials = c.credentials ? 1 : 0;
    // A client that can't sign still binds by Negotiate, which sends no password in clear.
    world().results["ldap_set_option"] = {0, 0, 92};
    EXPECT_EQ(ReadDirectoryComputers(Container(c.server), settings).names,
              std::vector<std::string>{"LAB1"})
        << c.user;
    EXPECT_EQ(fake::CallsNamed(
                  {"ldap_initA", "ldap_set_option", "ldap_connect", "ldap_bind_sA", "ldap_unbind"}),
              (std::vector<std::string>{c.init, "ldap_set_option(17, 3)", "ldap_set_option(8, off)",
                                        "ldap_set_option(149, on)", "ldap_connect(20)", c.bind,
                                        "ldap_unbind()"}))
        << c.user;
  }
}

TEST_F(DirectoryQueryTest, ADirectoryThatCantBeReadGivesNoNameAndTheLdapErrorWithWindowsCode) {
  Add(Lab, "LAB1");
  for (int i = 0; i < 600; ++i) {
    Add("OU=Room1,OU=Lab,DC=corp,DC=example", "ROOM" + std::to_string(i));
  }
  struct Case {
    const char* what;
    std::function<void()> script;
    std::string base;
    std::uint32_t ldapError;
    win::ErrorCode error;
    std::string text;
  };
  // LDAP_NOT_SUPPORTED, what a Windows without the client answers.
  static constexpr std::uint32_t ClientMissing = 0x5C;
  world().systemMessages[{win::LangEnglishUs, win::ErrorProcNotFound}] =
      "The specified procedure could not be found.\r\n";
  const Case cases[] = {
      {"unreachable", [this] { world().directory.unreachableServers = {"dc1"}; }, Lab,
       win::LdapServerDown, 58, "Server Down"},
      {"wrong password", [this] { UseAccount("CORP\\admin", "wrong"); }, Lab,
       win::LdapInvalidCredentials, 1323, "Invalid Credentials"},
      {"current logon refused", [this] { world().directory.currentLogonRefused = true; }, Lab,
       win::LdapInvalidCredentials, 1323, "Invalid Credentials"},
      {"no such container", [] {}, "OU=Gone,DC=corp,DC=example", win::LdapNoSuchObject,
       win::ErrorFileNotFound, "No Such Object"},
      {"no session", [this] { world().directory.initError = win::LdapServerDown; }, Lab,
       win::LdapServerDown, 58, "Server Down"},
      {"no client", [this] { world().directory.initError = ClientMissing; }, Lab, ClientMissing,
       win::ErrorProcNotFound, "The specified procedure could not be found."},
      // Part of a container is not the container: its first page is left out too.
      {"down after a page", [this] { world().directory.downAfterPages = 1; }, Lab,
       win::LdapServerDown, 58, "Server Down"},
  };
  for (const Case& c : cases) {
    world().directory.unreachableServers.clear();
    world().directory.currentLogonRefused = false;
    world().directory.initError.reset();
    world().directory.downAfterPages.reset();
    world().directory.pagesAnswered = 0;
    settings.UseCredentials = 0;
    c.script();
    const DirectoryComputers found = ReadDirectoryComputers({"dc1", c.base}, settings);
    EXPECT_TRUE(found.names.empty()) << c.what;
    EXPECT_EQ(found.ldapError, c.ldapError) << c.what;
    EXPECT_EQ(found.error, c.error) << c.what;
    EXPECT_EQ(found.errorText, c.text) << c.what;
    ExpectAllReleased();
  }
}

} // namespace
