#include "actions/domain_abort.h"

#include "actions/domain_action.h"
#include "actions/remote_shutdown.h"
#include "common/texts.h"
#include "ui_world.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::NetEntry;

constexpr char ListPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";

class DomainAbortTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    world().computerName = "WORKSTATION";
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                       .remoteShutdownByName = RemoteShutdownByName,
                       .domainShutdown = DomainShutdown,
                       .refuseRemoteAction = RefuseWhileDomainActionRuns});
    AppSettings.ShowWarning = 0;
  }
  static NetEntry Server(const std::string& name) {
    return NetEntry{win::ResourceDisplayTypeServer, name};
  }
  // A domain run over the browse list, `refused` refusing it; its result window is closed.
  void RunDomainAction(const std::vector<std::string>& browsed, const std::string& refused = "") {
    std::vector<NetEntry> servers;
    for (const std::string& name : browsed) {
      servers.push_back(Server(name));
    }
    world().enumBatches = {servers};
    world().refusingComputers.clear();
    if (!refused.empty()) {
      world().refusingComputers[refused] = 53;
      ui::headless::OnNextModal([](ui::Form&) { return ui::ModalResult::Ok; });
    }
    DomainShutdown(AppSettings);
    world().calls.clear();
  }
  std::vector<std::string> Aborted() {
    std::vector<std::string> names;
    for (const std::string& call : fake::CallsNamed({"AbortSystemShutdownA"})) {
      names.push_back(call.substr(call.find('(') + 1, call.size() - call.find('(') - 2));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The log's action column, line by line.
  std::vector<std::string> LoggedActions() {
    const auto& bytes = world().files[LogPath];
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> actions;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t first = text.find('\t', start) + 1;
      actions.push_back(text.substr(first, text.find('\t', first) - first));
      start = text.find("\r\n", start) + 2;
    }
    return actions;
  }
};

TEST_F(DomainAbortTest, TheMenusOfferTheAbortOnlyWhileTheWarningCountsDown) {
  struct Case {
    const char* what;
    std::uint8_t warn;
    std::string refused;
    std::uint32_t later; // milliseconds after the run
    bool offered;
  };
  const Case cases[] = {
      {"right after the run", 1, "", 0, true},
      {"in the warning's last second", 1, "", 29000, true},
      {"once the warning has run out", 1, "", 30000, false},
      {"without a warning the computers went down at once", 0, "", 0, false},
      {"no computer took the request", 1, "\\\\A", 0, false},
  };
  const auto window = StartMainWindow();
  for (const Case& c : cases) {
    AppSettings.ShowRemoteWarning = c.warn;
    AppSettings.RemoteWarnSeconds = 30;
    RunDomainAction({"\\\\A"}, c.refused);
    world().tickCount += c.later;
    EXPECT_EQ(window->MainMenu1.Find("AbortDomainShutdown1")->Enabled(), c.offered) << c.what;
    EXPECT_EQ(window->PopupMenu1.Find("AbortDomainShutdown2")->Enabled(), c.offered) << c.what;
    ui::headless::ClickMenuItem(window->MainMenu1, "AbortDomainShutdown1");
    EXPECT_EQ(Aborted().empty(), !c.offered) << c.what << ": a grey item does nothing";
    world().messageBoxes.clear();
  }
}

TEST_F(DomainAbortTest, TheAbortReachesEveryComputerThatTookTheRequestAndThoseOnly) {
  struct Case {
    std::vector<long> abortResults; // in the order asked; 0 refused with 1116
    const char* told;               // in the box, or the result window's summary
  };
  const Case cases[] = {
      {{1, 1, 1}, "The pending shutdown was withdrawn from 3 of 3 computers, 0 failed."},
      {{1, 0, 1}, "2 of 3 computers took the request, 1 failed."},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().computerName = "WORKSTATION";
    ui::headless::Reset();
    const auto window = StartMainWindow();
    AppSettings.ShowRemoteWarning = 1;
    AppSettings.RemoteWarnSeconds = 30;
    AppSettings.UseCredentials = 1;
    RunDomainAction({"\\\\A", "\\\\WORKSTATION", "\\\\B", "\\\\C"}, "\\\\B");
    world().results["AbortSystemShutdownA"] = {c.abortResults.begin(), c.abortResults.end()};
    std::string result;
    ui::headless::OnNextModal([&result](ui::Form& form) {
      result = static_cast<TFDomainResult&>(form).LBSummary.Text();
      return ui::ModalResult::Ok;
    });
    ui::headless::ClickMenuItem(window->PopupMenu1, "AbortDomainShutdown2");
    EXPECT_EQ(Aborted(), (std::vector<std::string>{"\\\\A", "\\\\C", "\\\\WORKSTATION"}));
    EXPECT_EQ(fake::CallsNamed({"WNetAddConnection2A"}).size(), 3u) << "as the abort keyword";
    const std::string told = world().messageBoxes.empty() ? result : world().messageBoxes[0].text;
    EXPECT_EQ(told, c.told);
    const std::vector<std::string> actions = LoggedActions();
    EXPECT_EQ(
        std::vector<std::string>(actions.end() - 5, actions.end()),
        (std::vector<std::string>{"begin", "domainabort", "domainabort", "domainabort", "end"}));
    EXPECT_FALSE(DomainAbortOffered()) << "withdrawn once";
  }
}

TEST_F(DomainAbortTest, TheKeywordWithdrawsFromEveryComputerNamedAndExitsAsTheAbortKeyword) {
  struct Case {
    std::string list;
    bool listLocked;
    std::vector<long> abortResults; // in the order asked; 0 refused with 1116
    int exitCode;                   // the first failure, the list's first
    std::vector<std::string> aborted;
    const char* lastLine;
  };
  const char* allTook = "withdrawn from 2 of 2 computers, 0 failed.\r\n";
  const Case cases[] = {
      {"B\n", false, {}, 0, {"B", "\\\\A"}, allTook},
      {"B\n", false, {1, 0}, 1116, {"B", "\\\\A"}, "from 1 of 2 computers, 1 failed.\r\n"},
      {"B\n", true, {0}, 32, {"\\\\A"}, "from 0 of 1 computers, 1 failed.\r\n"},
      {"B\nno name\n", false, {}, 123, {"B", "\\\\A"}, allTook},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().parentConsole = true;
    world().enumBatches = {{Server("\\\\A")}};
    world().files[ListPath].assign(c.list.begin(), c.list.end());
    if (c.listLocked) {
      world().unopenableFiles[ListPath] = win::ErrorSharingViolation;
    }
    world().results["AbortSystemShutdownA"] = {c.abortResults.begin(), c.abortResults.end()};
    EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", "DomainAbort"}), c.exitCode) << c.list;
    EXPECT_EQ(Aborted(), c.aborted) << c.list;
    EXPECT_TRUE(fake::CallsNamed({"InitiateSystemShutdownA"}).empty()) << c.list;
    EXPECT_TRUE(world().messageBoxes.empty()) << c.list;
    EXPECT_TRUE(world().consoleOutput.ends_with(c.lastLine)) << world().consoleOutput;
    const std::vector<std::string> actions = LoggedActions();
    EXPECT_EQ(actions.front() + " " + actions.back(), "begin end") << c.list;
  }
}

} // namespace
