#include "actions/domain_action.h"

#include "actions/remote_shutdown.h"
#include "actions/request_batch.h"
#include "actions/results_log.h"
#include "common/texts.h"
#include "ui_world.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <set>
#include <thread>

namespace {

using platform::NetEntry;

constexpr char ListPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";

class DomainActionTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    world().computerName = "WORKSTATION";
    world().systemMessages[{win::LangEnglishUs, win::ErrorInvalidName}] = "Invalid name.\r\n";
    world().systemMessages[{win::LangEnglishUs, win::ErrorSuccess}] =
        "The operation completed successfully.\r\n";
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                       .remoteShutdownByName = RemoteShutdownByName,
                       .domainShutdown = DomainShutdown,
                       .refuseRemoteAction = RefuseWhileDomainActionRuns});
    AppSettings.ShowWarning = 0;
    AppSettings.ShowRemoteWarning = 0;
    // The result window is read, then closed.
    ui::headless::OnNextModal([this](ui::Form& form) { return Capture(form); });
  }
  ui::ModalResult Capture(ui::Form& form) {
    auto& result = static_cast<TFDomainResult&>(form);
    results.push_back(result.LBSummary.Text() + "\n" + result.MemoFailures.Text());
    return ui::ModalResult::Ok;
  }
  static NetEntry Server(const std::string& name) {
    return NetEntry{win::ResourceDisplayTypeServer, name};
  }
  void WriteList(const std::string& text) {
    world().files[ListPath].assign(text.begin(), text.end());
  }
  // The machine names asked, in order.
  std::vector<std::string> Asked() {
    std::vector<std::string> names;
    for (const std::string& call : fake::CallsNamed({"InitiateSystemShutdownA"})) {
      names.push_back(call.substr(call.find('(') + 1, call.find(',') - call.find('(') - 1));
    }
    return names;
  }
  // The log's lines but those that open and close a run.
  std::vector<std::string> LogLines() {
    const auto& bytes = world().files[LogPath];
    std::vector<std::string> lines;
    std::string text(bytes.begin(), bytes.end());
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find("\r\n", start);
      const std::string line = text.substr(start, end - start);
      if (line.find("\tbegin\t") == std::string::npos &&
          line.find("\tend\t") == std::string::npos) {
        lines.push_back(line);
      }
      start = end + 2;
    }
    return lines;
  }
  std::vector<std::string> results;
};

TEST_F(DomainActionTest, EachComputerOnceThisOneLastAndOneResultInsteadOfABoxPerComputer) {
  world().enumBatches = {{Server("\\\\ALPHA"), Server("\\\\WORKSTATION"), Server("\\\\alpha")},
                         {{win::ResourceDisplayTypeGeneric, "\\\\SHARE"}, Server("\\\\BETA")}};
  WriteList("gamma\r\n10.1.2.7\r\n");
  world().refusingComputers = {{"\\\\ALPHA", win::ErrorAccessDenied}, {"gamma", 53}};
  ActionInProgress = true;
  EXPECT_EQ(DomainShutdown(AppSettings), 0);
  // This computer is asked by its address, the last of its names.
  EXPECT_EQ(Asked(), (std::vector<std::string>{"\\\\ALPHA", "\\\\BETA", "gamma", "10.1.2.7"}));
  EXPECT_TRUE(world().messageBoxes.empty());
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0], "2 of 4 computers took the request, 2 failed.\n"
                        "\\\\ALPHA: Access is denied.\r\n"
                        "gamma: The network path was not found.\r\n");
  // The summary's error stays that of the last failure; a script gets the first.
  EXPECT_EQ(platform::GetLastError(), 53u);
  EXPECT_EQ(LastDomainOutcome().firstError, win::ErrorAccessDenied);
  EXPECT_TRUE(ActionInProgress);
  EXPECT_TRUE(ui::headless::OpenForms().empty()) << "the progress window closed by itself";
  EXPECT_TRUE(fake::CallsNamed({"ldap_initA"}).empty()) << "no directory line, no directory";
}

TEST_F(DomainActionTest, WithoutFailuresNoWindowStaysAndEveryRequestIsLogged) {
  world().enumBatches = {{Server("\\\\ALPHA"), Server("\\\\BETA")}};
  world().refusingComputers = {{"\\\\BETA", 53}};
  fake::SetClock(2026, 12, 8, 3, 0, 12);
  AppSettings.RemoteReboot = 1;
  DomainShutdown(AppSettings);
  EXPECT_EQ(
      LogLines(),
      (std::vector<std::string>{
          "2026-12-08 03:00:12\tdomainreboot\t\\\\ALPHA\t0\tThe operation completed "
          "successfully.",
          "2026-12-08 03:00:12\tdomainreboot\t\\\\BETA\t53\tThe network path was not found."}));
  results.clear();
  world().refusingComputers.clear();
  world().enumBatches = {{Server("\\\\ALPHA")}};
  ui::headless::OnNextModal([this](ui::Form& form) { return Capture(form); });
  EXPECT_EQ(DomainShutdown(AppSettings), 1);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(LogLines().size(), 3u);
}

TEST_F(DomainActionTest, CancelSendsNoFurtherRequestAndSparesThisComputer) {
  world().enumBatches = {
      {Server("\\\\A"), Server("\\\\WORKSTATION"), Server("\\\\B"), Server("\\\\C")}};
  world().onShutdownRequest = [](const std::string& machine) {
    if (machine == "\\\\B") {
      auto* progress = static_cast<TFDomainProgress*>(ui::headless::FindForm("TFDomainProgress"));
      // Enter presses Cancel, which has the focus from the start.
      ui::headless::PressKey(*progress, ui::ShortcutEnter);
    }
  };
  EXPECT_EQ(DomainShutdown(AppSettings), 0);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"\\\\A", "\\\\B"}));
  EXPECT_EQ(platform::GetLastError(), win::ErrorCancelled);
  EXPECT_TRUE(LastDomainOutcome().cancelled);
  EXPECT_EQ(LastDomainOutcome().asked, 2u);
  EXPECT_TRUE(results.empty()) << "a cancelled run without failures needs no result";
}

TEST_F(DomainActionTest, ADamagedListGivesOneReportAndTheGoodComputersAreStillAsked) {
  std::string text = "GOOD1\n";
  for (int i = 0; i < 5000; ++i) {
    text += "bad name " + std::to_string(i) + "\n";
  }
  WriteList(text + "GOOD2\n");
  EXPECT_EQ(DomainShutdown(AppSettings), 0);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"GOOD1", "GOOD2"}));
  EXPECT_TRUE(world().messageBoxes.empty());
  ASSERT_EQ(results.size(), 1u);
  const std::string& result = results[0];
  EXPECT_EQ(result.find("2 of 5002 computers took the request, 5000 failed.\n5000 lines of "), 0u)
      << result;
  EXPECT_NE(result.find("and 4990 more."), std::string::npos);
  EXPECT_EQ(platform::GetLastError(), win::ErrorInvalidName);
  // The log names each damaged line with its number, before the requests.
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 5002u);
  EXPECT_TRUE(log[0].ends_with("\tbad name 0\t123\tInvalid name. (line 2 of "
                               "DorvaneShutdown.computers.txt)"))
      << log[0];
  EXPECT_NE(log[4999].find("\tbad name 4999\t123\t"), std::string::npos) << log[4999];
  EXPECT_NE(log[5000].find("\tGOOD1\t0\t"), std::string::npos) << log[5000];
  EXPECT_NE(log[5001].find("\tGOOD2\t0\t"), std::string::npos) << log[5001];
}

constexpr char LabOu[] = "OU=Lab,DC=corp,DC=example";

TEST_F(DomainActionTest, DirectoryComputersJoinTheBrowseListAndTheListEachOnceThisOneLast) {
  world().enumBatches = {{Server("\\\\ALPHA")}};
  world().directory.containers = {LabOu};
  // This computer by its DNS name, one named by the list and one by the browse list too.
  world().directory.objects = {{LabOu, "WORKSTATION", "workstation-7.corp.example"},
                               {LabOu, "LAB-1"},
                               {LabOu, "ALPHA"},
                               {LabOu, "LAB-2", "lab-2.corp.example"}};
  WriteList("lab-1\r\nLDAP://dc1/OU=Lab,DC=corp,DC=example\r\nGAMMA\r\n"
            "ldap://DC1/ou=lab,dc=corp,dc=example\r\n");
  EXPECT_EQ(DomainShutdown(AppSettings), 1);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"\\\\ALPHA", "lab-1", "lab-2.corp.example", "GAMMA",
                                               "workstation-7.corp.example"}));
  EXPECT_EQ(fake::CallsNamed({"ldap_search_ext_sA"}).size(), 1u)
      << "a container written twice is read once";
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(LogLines().size(), 5u);
}

TEST_F(DomainActionTest, AContainerThatCantBeReadIsOneReportAndOneFailureAndTheRestIsAsked) {
  struct Case {
    std::string failingLine;
    std::string otherLine; // still asked
    std::function<void()> script;
    std::string errorText;
    win::ErrorCode error;
  };
  const Case cases[] = {
      {"LDAP://dc1/OU=Gone,DC=corp,DC=example", "LDAP://dc1/OU=Lab,DC=corp,DC=example", [] {},
       "No Such Object", win::ErrorFileNotFound},
      {"LDAP://dc2/OU=Lab,DC=corp,DC=example", "LDAP://dc1/OU=Lab,DC=corp,DC=example",
       [this] { world().directory.unreachableServers = {"dc2"}; }, "Server Down", 58},
      {"LDAP://dc1/OU=Lab,DC=corp,DC=example", "LAB-1",
       [this] {
         AppSettings.UseCredentials = 1;
         std::strcpy(AppSettings.UserName, "CORP\\admin");
         std::strcpy(AppSettings.Password, "wrong");
       },
       "Invalid Credentials", 1323},
  };
  for (const Case& c : cases) {
    SetUp();
    results.clear();
    world().directory.containers = {LabOu};
    world().directory.objects = {{LabOu, "LAB-1"}};
    c.script();
    WriteList("PC1\n" + c.failingLine + "\n" + c.otherLine + "\n");
    EXPECT_EQ(DomainShutdown(AppSettings), 0) << c.failingLine;
    EXPECT_EQ(Asked(), (std::vector<std::string>{"PC1", "LAB-1"})) << c.failingLine;
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], "2 of 3 computers took the request, 1 failed.\n" + c.failingLine +
                              " (line 2 of DorvaneShutdown.computers.txt) could not be read from "
                              "the directory: " +
                              c.errorText + "\r\n");
    EXPECT_EQ(LastDomainOutcome().firstError, c.error);
    EXPECT_EQ(platform::GetLastError(), c.error);
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[0].find("\t" + c.failingLine + "\t" + std::to_string(c.error) + "\t"),
              std::string::npos)
        << log[0];
  }
}

TEST_F(DomainActionTest, AnUnreadableListIsAFailureWithItsCodeToldInTheResultAndTheLog) {
  world().systemMessages[{win::LangEnglishUs, win::ErrorSharingViolation}] = "In use.\r\n";
  world().enumBatches = {{Server("\\\\ALPHA")}};
  WriteList("BETA\n");
  world().unopenableFiles[ListPath] = win::ErrorSharingViolation;
  EXPECT_EQ(DomainShutdown(AppSettings), 0);
  EXPECT_EQ(LastDomainOutcome().firstError, win::ErrorSharingViolation) << "the list comes first";
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].ends_with("\tDorvaneShutdown.computers.txt\t32\tIn use.")) << log[0];
  EXPECT_EQ(Asked(), std::vector<std::string>{"\\\\ALPHA"});
  EXPECT_TRUE(world().messageBoxes.empty());
  ASSERT_EQ(results.size(), 1u);
  EXPECT_NE(results[0].find("DorvaneShutdown.computers.txt could not be read: In use."),
            std::string::npos)
      << results[0];
}

TEST_F(DomainActionTest, AnotherRemoteOrDomainActionIsRefusedWhileOneRuns) {
  world().enumBatches = {{Server("\\\\A"), Server("\\\\B")}};
  std::vector<int> refused;
  world().onShutdownRequest = [&refused](const std::string& machine) {
    if (machine != "\\\\A") {
      return;
    }
    for (const std::uint32_t code : {ActionDomainReboot, ActionRemoteShutdown}) {
      refused.push_back(RunAction(code, AppSettings));
    }
    // A local action is not refused.
    RunAction(ActionLock, AppSettings);
  };
  EXPECT_EQ(RunAction(ActionDomainShutdown, AppSettings), 1);
  EXPECT_EQ(refused, (std::vector<int>{0, 0}));
  EXPECT_EQ(Asked(), (std::vector<std::string>{"\\\\A", "\\\\B"}));
  ASSERT_EQ(world().messageBoxes.size(), 2u);
  EXPECT_EQ(world().messageBoxes[0].text, DomainActionRunningText);
  EXPECT_EQ(AppSettings.RemoteReboot, 0) << "the refused reboot changed nothing";
  EXPECT_FALSE(DomainActionRunning());
}

TEST_F(DomainActionTest, ExitDuringTheRunAsksThenClosesOnceTheRequestsInFlightEnded) {
  world().enumBatches = {{Server("\\\\A"), Server("\\\\B"), Server("\\\\C")}};
  struct Case {
    int answer;
    std::vector<std::string> asked;
    bool closed;
  };
  const Case cases[] = {{win::IdNo, {"\\\\A", "\\\\B", "\\\\C"}, false},
                        {win::IdYes, {"\\\\A", "\\\\B"}, true}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().enumBatches = {{Server("\\\\A"), Server("\\\\B"), Server("\\\\C")}};
    auto window = StartMainWindow();
    world().messageBoxAnswers = {c.answer};
    world().onShutdownRequest = [&window](const std::string& machine) {
      if (machine == "\\\\B") {
        ui::headless::ClickMenuItem(window->MainMenu1, "Exit1");
      }
    };
    RunAction(ActionDomainShutdown, AppSettings);
    EXPECT_EQ(Asked(), c.asked) << c.answer;
    ASSERT_EQ(world().messageBoxes.size(), 1u);
    EXPECT_EQ(world().messageBoxes[0].text, StopDomainActionQuestion);
    EXPECT_FALSE(ui::headless::ApplicationEnded()) << "never while requests are in flight";
    // Saved at once: a closed console leaves the process a few seconds only.
    EXPECT_EQ(world().files.count(SettingsPath), c.closed ? 1u : 0u) << c.answer;
    ui::headless::FireTimers(*window);
    EXPECT_EQ(ui::headless::ApplicationEnded(), c.closed) << c.answer;
  }
}

TEST_F(DomainActionTest, TheDailyActionDuringARunIsLoggedAsRefusedAndWaitsOnNoClick) {
  Settings stored;
  SetDefaultSettings(stored);
  stored.ShowWarning = 0;
  stored.TimerActive = 1;
  stored.TimerHour = 3;
  stored.TimerMinute = 0;
  stored.TimerAction = ActionDomainReboot;
  StoreSettings(stored);
  fake::SetClock(2026, 12, 8, 3, 0, 5);
  world().enumBatches = {{Server("\\\\A"), Server("\\\\B")}};
  auto window = StartMainWindow();
  world().onShutdownRequest = [&window](const std::string& machine) {
    if (machine == "\\\\A") {
      ui::headless::FireTimers(*window);
    }
  };
  RunAction(ActionDomainShutdown, AppSettings);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"\\\\A", "\\\\B"}));
  EXPECT_TRUE(world().messageBoxes.empty());
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[0].starts_with("2026-12-08 03:00:05\tdomainreboot\t-\t170\t")) << log[0];
}

// One text for one failure, a line for each report, every failure counted, and the exit code
// of the first failure in list order, or of the cancel whatever failed before it.
TEST_F(DomainActionTest, TheDomainKeywordsTellEveryFailureOnceAndExitWithTheFirstOrTheCancel) {
  struct Case {
    const char* what;
    std::vector<NetEntry> browsed;
    std::string list;
    std::string cancelAt; // the request whose start clicks Cancel
    std::string console;
    int exitCode;
  };
  const Case cases[] = {
      {"three browsed, two failing",
       {Server("\\\\A"), Server("\\\\B"), Server("\\\\C")},
       "",
       "",
       "\\\\B: Access is denied.\r\n"
       "\\\\C: The network path was not found.\r\n"
       "1 of 3 computers took the request, 2 failed.\r\n",
       5},
      {"a container not read and bad lines before a failing computer",
       {},
       "PC1\nLDAP://dc2/OU=Lab,DC=corp,DC=example\nbad name\n\\\\C\nbad: 2\n",
       "",
       "LDAP://dc2/OU=Lab,DC=corp,DC=example (line 2 of DorvaneShutdown.computers.txt) could not "
       "be read from the directory: Server Down\r\n"
       "2 lines of DorvaneShutdown.computers.txt can't be computer names; no request was sent for "
       "them:\r\n"
       "line 3: bad name\r\n"
       "line 5: bad: 2\r\n"
       "\\\\C: The network path was not found.\r\n"
       "1 of 5 computers took the request, 4 failed.\r\n",
       58},
      {"cancelled after a failure",
       {Server("\\\\C"), Server("\\\\A"), Server("\\\\D")},
       "",
       "\\\\A",
       "Cancelled: 1 of 3 computers were not asked.\r\n"
       "\\\\C: The network path was not found.\r\n"
       "1 of 2 computers took the request, 1 failed.\r\n",
       1223},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().enumBatches = {c.browsed};
    if (!c.list.empty()) {
      WriteList(c.list);
    }
    world().directory.unreachableServers = {"dc2"};
    world().refusingComputers = {{"\\\\B", win::ErrorAccessDenied}, {"\\\\C", 53}};
    world().onShutdownRequest = [&c](const std::string& machine) {
      if (machine == c.cancelAt) {
        auto* progress = static_cast<TFDomainProgress*>(ui::headless::FindForm("TFDomainProgress"));
        ui::headless::Click(progress->BCancel);
      }
    };
    world().parentConsole = true;
    EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", "domainreboot"}), c.exitCode) << c.what;
    EXPECT_EQ(world().consoleOutput, c.console) << c.what;
    EXPECT_TRUE(world().messageBoxes.empty()) << c.what;
    EXPECT_TRUE(results.empty()) << "the console has the result";
  }
  // The log gives the LDAP client's text too, and tells the cancel.
  const std::vector<std::string> log = LogLines();
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("\t-\t1223\tCancelled: 1 of 3 computers were not asked."),
            std::string::npos)
      << log.back();
}

TEST(RequestBatch, WithoutAThreadToSpareTheRequestsRunOneAfterTheOther) {
  fake::ResetWorld();
  fake::TheWorld().threadsRefused = true;
  std::vector<std::size_t> order;
  int notices = 0;
  RequestBatch batch(
      5,
      [&order](std::size_t position) {
        order.push_back(position);
        return RequestOutcome{true};
      },
      [&notices] { ++notices; });
  batch.Start();
  EXPECT_TRUE(batch.Ended());
  EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(batch.TakeAnswers().size(), 5u);
  EXPECT_EQ(notices, 2) << "one batch of answers, then the end";
}

} // namespace
