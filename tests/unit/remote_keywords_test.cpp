#include "actions/remote_shutdown.h"
#include "app/command_line.h"
#include "common/texts.h"
#include "dialogs/remote_dialog.h"
#include "ui_world.h"

#include <cstring>

namespace {

using ui::headless::Click;
using ui::headless::Type;

TEST(CommandLine, RemoteKeywordsTakeTheComputerNamedAfterThem) {
  struct Case {
    std::vector<std::string> arguments;
    RemoteCommand command;
    const char* computer;
  };
  const Case cases[] = {
      {{"ds.exe", "remoteshutdown", "PC1"}, RemoteCommand::Shutdown, "PC1"},
      {{"ds.exe", "RemoteReboot", "\\\\PC1", "PC2"}, RemoteCommand::Reboot, "\\\\PC1"},
      {{"ds.exe", "ABORT", "pc1"}, RemoteCommand::Abort, "pc1"},
      {{"ds.exe", "abort"}, RemoteCommand::Abort, ""},
      {{"ds.exe", "DomainAbort"}, RemoteCommand::DomainAbort, ""},
      {{"ds.exe", "shutdown", "PC1"}, RemoteCommand::None, ""},
      {{"ds.exe", "PC1", "abort"}, RemoteCommand::None, ""},
      {{"ds.exe"}, RemoteCommand::None, ""},
  };
  for (const Case& c : cases) {
    const RemoteKeyword keyword = CommandLineRemote(c.arguments);
    EXPECT_EQ(keyword.command, c.command) << c.arguments.back();
    EXPECT_EQ(keyword.computer, c.computer) << c.arguments.back();
  }
}

class RemoteKeywordTest : public WindowsTest {
protected:
  // Stored options the keywords must use; the exit question must not hold a script up.
  void Store(std::uint8_t showWarning) {
    Settings stored;
    SetDefaultSettings(stored);
    stored.ShowWarning = showWarning;
    stored.WarnSeconds = 2;
    stored.ConfirmExit = 1;
    stored.ShowRemoteWarning = 1;
    stored.RemoteWarnSeconds = 30;
    StoreSettings(stored);
  }
  std::vector<std::string> Requests() {
    return fake::CallsNamed({"InitiateSystemShutdownA", "AbortSystemShutdownA"});
  }
};

TEST_F(RemoteKeywordTest, TheResultReachesTheScriptsConsoleOrABoxAndTheExitCode) {
  const std::string reboot =
      std::string("InitiateSystemShutdownA(PC1, ") + RemoteRebootWarningText + ", 30, 0, 1)";
  const std::string shutdown =
      std::string("InitiateSystemShutdownA(PC1, ") + RemoteShutdownWarningText + ", 30, 0, 0)";
  const std::string noText = " and has no text for it.";
  struct Case {
    std::vector<std::string> arguments;
    bool console;
    long refusedWith; // 0: the request succeeds
    bool cancel;      // the countdown is cancelled
    std::vector<std::string> requests;
    int exitCode;
    std::string output; // on the console, or in the one box without a console
  };
  const Case cases[] = {
      {{"ds.exe", "remotereboot", "PC1"},
       true,
       0,
       false,
       {reboot},
       0,
       "The restart request was sent to PC1.\r\n"},
      {{"ds.exe", "remoteshutdown", "PC1"}, false, 0, false, {shutdown}, 0, ""},
      {{"ds.exe", "remoteshutdown", "PC1"}, true, 5, false, {shutdown}, 5, "Access is denied.\r\n"},
      {{"ds.exe", "remoteshutdown", "PC1"},
       false,
       5,
       false,
       {shutdown},
       5,
       "Access is denied.\r\n"},
      {{"ds.exe", "remotereboot", "PC1"}, true, 0, true, {}, 1223, "error 1223" + noText},
      {{"ds.exe", "abort", "PC1"},
       true,
       0,
       false,
       {"AbortSystemShutdownA(PC1)"},
       0,
       "The pending shutdown of PC1 was aborted.\r\n"},
      {{"ds.exe", "abort", "PC1"},
       false,
       1116,
       false,
       {"AbortSystemShutdownA(PC1)"},
       1116,
       "error 1116" + noText},
      {{"ds.exe", "remotereboot"}, true, 0, false, {}, 123, "error 123" + noText},
      {{"ds.exe", "abort"}, false, 0, false, {}, 123, "error 123" + noText},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(c.cancel ? 1 : 0);
    world().parentConsole = c.console;
    for (const char* request : {"InitiateSystemShutdownA", "AbortSystemShutdownA"}) {
      if (c.refusedWith != 0) {
        world().results[request] = {0};
        world().results[std::string(request) + ".error"] = {c.refusedWith};
      }
    }
    ui::headless::WhileProcessingMessages([] {
      auto* countdown = static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3"));
      if (countdown != nullptr && countdown->Running) {
        ui::headless::Click(countdown->BCancel);
      }
    });
    const std::string what = c.arguments[1] + " " + std::to_string(c.exitCode);
    EXPECT_EQ(RunProgram(c.arguments), c.exitCode) << what;
    EXPECT_EQ(Requests(), c.requests) << what;
    EXPECT_TRUE(ui::headless::OpenForms().empty()) << what;
    const bool boxed = !c.console && !c.output.empty();
    ASSERT_EQ(world().messageBoxes.size(), boxed ? 1u : 0u) << what;
    const std::string shown = boxed ? world().messageBoxes[0].text : world().consoleOutput;
    EXPECT_NE(shown.find(c.output), std::string::npos) << what << ": " << shown;
    EXPECT_EQ(shown.empty(), c.output.empty()) << what;
  }
}

TEST_F(RemoteKeywordTest, ASecondInstanceTellsTheScriptItAskedNobody) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"DorvaneShutdown.exe", "abort", "PC1"},
        std::vector<std::string>{"DorvaneShutdown.exe", "domainreboot"},
        std::vector<std::string>{"DorvaneShutdown.exe", "domainabort"}}) {
    fake::ResetWorld();
    world().mutexes.insert(InstanceMutexName);
    world().parentConsole = true;
    EXPECT_EQ(RunProgram(arguments), 183) << arguments[1];
    EXPECT_EQ(world().consoleOutput, std::string(AlreadyRunningText) + "\r\n");
    EXPECT_TRUE(world().messageBoxes.empty());
    EXPECT_TRUE(Requests().empty());
  }
}

TEST_F(RemoteKeywordTest, AnAbortGoesThroughTheAdminShareOnlyWithCredentials) {
  for (const std::uint8_t credentials : {0, 1}) {
    fake::ResetWorld();
    Settings settings;
    SetDefaultSettings(settings);
    settings.UseCredentials = credentials;
    std::strcpy(settings.UserName, "admin");
    std::strcpy(settings.Password, "pw");
    EXPECT_EQ(AbortRemoteShutdown("PC1", settings), 1);
    std::vector<std::string> expected = {"AbortSystemShutdownA(PC1)"};
    if (credentials != 0) {
      expected = {
          "WNetAddConnection2A(2, 0, 0, 1, null, \\\\PC1\\admin$, null, null, pw, admin, 0)",
          "AbortSystemShutdownA(PC1)", "WNetCancelConnection2A(\\\\PC1\\admin$, 0, 0)"};
    }
    EXPECT_EQ(
        fake::CallsNamed({"WNetAddConnection2A", "AbortSystemShutdownA", "WNetCancelConnection2A"}),
        expected);
  }
}

TEST_F(RemoteKeywordTest, AbortFromEitherMenuAsksInTheRemoteDialogWithoutTheRebootBox) {
  Store(0);
  auto window = StartMainWindow();
  AppSettings.ForceApps = 1;
  for (auto [menu, item] : {std::pair{&window->MainMenu1, "AbortRemoteShutdown1"},
                            std::pair{&window->PopupMenu1, "AbortRemoteShutdown2"}}) {
    world().calls.clear();
    world().messageBoxes.clear();
    world().results["AbortSystemShutdownA"] = {0};
    std::string title;
    bool rebootShown = true;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& dialog = static_cast<TFRComp&>(form);
      title = dialog.Text();
      rebootShown = dialog.CBReboot.Visible();
      Type(dialog.EdComp, "SERVER7");
      Click(dialog.BOk);
      return ui::ModalResult::None;
    });
    ui::headless::ClickMenuItem(*menu, item);
    EXPECT_EQ(title, AbortRemoteDialogTitle) << item;
    EXPECT_FALSE(rebootShown) << item;
    EXPECT_EQ(Requests(), std::vector<std::string>{"AbortSystemShutdownA(SERVER7)"}) << item;
    ASSERT_EQ(world().messageBoxes.size(), 1u) << "the refusal is reported";
    EXPECT_NE(world().messageBoxes[0].text.find("error 1116"), std::string::npos) << item;
    EXPECT_EQ(AppSettings.ForceApps, 1) << "an abort changes no stored option";
  }
}

} // namespace
