#include "actions/domain_abort.h"

#include "actions/remote_shutdown.h"
#include "ui_world.h"

#include <deque>
#include <map>
#include <string>

namespace {

constexpr char ListPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";

class DomainAbortTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    world().computerName = "WORKSTATION";
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                       .domainShutdown = DomainShutdown,
                       .refuseRemoteAction = RefuseWhileDomainActionRuns});
  }
  // A domain run over \\A, \\WORKSTATION and \\B with a 30 s warning (or none), its result closed.
  void RunDomainAction(std::uint8_t warn, const std::map<std::string, win::ErrorCode>& refusing) {
    AppSettings.ShowWarning = 0;
    AppSettings.ShowRemoteWarning = warn;
    AppSettings.RemoteWarnSeconds = 30;
    AppSettings.UseCredentials = 1;
    world().enumBatches = {{{win::ResourceDisplayTypeServer, "\\\\A"},
                            {win::ResourceDisplayTypeServer, "\\\\WORKSTATION"},
                            {win::ResourceDisplayTypeServer, "\\\\B"}}};
    world().refusingComputers = {refusing.begin(), refusing.end()};
    ui::headless::OnNextModal([](ui::Form&) { return ui::ModalResult::Ok; });
    DomainShutdown(AppSettings);
    world().calls.clear();
  }
  std::string Aborted() {
    std::string names;
    for (const std::string& call : fake::CallsNamed({"AbortSystemShutdownA"})) {
      names += call.substr(call.find('(') + 1, call.size() - call.find('(') - 2) + " ";
    }
    return names;
  }
};

TEST_F(DomainAbortTest, TheMenusOfferTheAbortOnlyWhileTheWarningCountsDown) {
  struct Case {
    std::uint8_t warn;
    const std::map<std::string, win::ErrorCode>& refusing;
    std::uint32_t later; // milliseconds after the run
    bool offered;
  };
  const Case cases[] = {
      {1, {}, 0, true},
      {1, {}, 29000, true},
      {1, {}, 30000, false},
      {0, {}, 0, false}, // without a warning the computers went down at once
      {1, {{"\\\\A", 53}, {"\\\\B", 53}, {"\\\\WORKSTATION", 5}}, 0, false},
  };
  const auto window = StartMainWindow();
  for (const Case& c : cases) {
    RunDomainAction(c.warn, c.refusing);
    world().tickCount += c.later;
    EXPECT_EQ(window->MainMenu1.Find("AbortDomainShutdown1")->Enabled(), c.offered) << c.later;
    EXPECT_EQ(window->PopupMenu1.Find("AbortDomainShutdown2")->Enabled(), c.offered) << c.later;
    ui::headless::ClickMenuItem(window->MainMenu1, "AbortDomainShutdown1");
    EXPECT_EQ(Aborted().empty(), !c.offered) << c.later << ": a grey item does nothing";
    world().messageBoxes.clear();
  }
}

TEST_F(DomainAbortTest, TheAbortReachesTheComputersThatTookTheRequestAndThoseOnly) {
  const auto window = StartMainWindow();
  RunDomainAction(1, {{"\\\\B", 53}});
  world().results["AbortSystemShutdownA"] = {1, 0};
  std::string result;
  ui::headless::OnNextModal([&result](ui::Form& form) {
    result = static_cast<TFDomainResult&>(form).LBSummary.Text();
    return ui::ModalResult::Ok;
  });
  ui::headless::ClickMenuItem(window->PopupMenu1, "AbortDomainShutdown2");
  EXPECT_EQ(Aborted(), "\\\\A \\\\WORKSTATION ");
  EXPECT_EQ(fake::CallsNamed({"WNetAddConnection2A"}).size(), 2u) << "as the abort keyword";
  EXPECT_EQ(result, "1 of 2 computers took the request, 1 failed.");
  const auto& bytes = world().files[LogPath];
  const std::string log(bytes.begin(), bytes.end());
  EXPECT_NE(log.find("\tbegin\t-\t0\tdomainabort: 2 computers\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\tdomainabort\t\\\\WORKSTATION\t1116\t"), std::string::npos) << log;
  EXPECT_FALSE(DomainAbortOffered()) << "withdrawn once";
}

TEST_F(DomainAbortTest, TheKeywordWithdrawsFromEveryComputerNamedAndExitsAsTheAbortKeyword) {
  struct Case {
    bool listLocked;
    std::deque<long> abortResults; // in the order asked; 0 refused with 1116
    int exitCode;                  // the first failure, the list's first
    std::string aborted;
    const char* lastLine;
  };
  const Case cases[] = {
      {false, {}, 0, "\\\\A B ", "withdrawn from 2 of 2 computers, 0 failed.\r\n"},
      {false, {1, 0}, 1116, "\\\\A B ", "withdrawn from 1 of 2 computers, 1 failed.\r\n"},
      {true, {0}, 32, "\\\\A ", "withdrawn from 0 of 1 computers, 1 failed.\r\n"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().parentConsole = true;
    world().enumBatches = {{{win::ResourceDisplayTypeServer, "\\\\A"}}};
    world().files[ListPath] = {'B'};
    if (c.listLocked) {
      world().unopenableFiles[ListPath] = win::ErrorSharingViolation;
    }
    world().results["AbortSystemShutdownA"] = c.abortResults;
    EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", "DomainAbort"}), c.exitCode);
    EXPECT_EQ(Aborted(), c.aborted);
    EXPECT_TRUE(fake::CallsNamed({"InitiateSystemShutdownA"}).empty());
    EXPECT_TRUE(world().consoleOutput.ends_with(c.lastLine)) << world().consoleOutput;
  }
}

} // namespace
