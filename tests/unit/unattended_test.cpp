// Runs that nobody watches: boxes that close by themselves, the starting console's Ctrl+C and
// output, the exit code of an unexpected error, and what the countdown's end closes.

#include "app/command_line.h"
#include "common/texts.h"
#include "dialogs/remote_dialog.h"
#include "ui/application.h"
#include "ui_world.h"

#include <stdexcept>

namespace {

using ui::headless::ClickMenuItem;
using ui::headless::FireTimers;

constexpr std::uint32_t TwoMinutes = 120'000;

class UnattendedTest : public WindowsTest {
protected:
  void Store(std::uint8_t showWarning, std::uint8_t confirmExit) {
    Settings stored;
    SetDefaultSettings(stored);
    stored.ShowWarning = showWarning;
    stored.WarnSeconds = 2;
    stored.ConfirmExit = confirmExit;
    StoreSettings(stored);
  }
  static TTFPro3* Countdown() { return static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3")); }
  // Plays `act` once the countdown is up.
  static void OnceCountdownIsUp(std::function<void()> act) {
    ui::headless::WhileProcessingMessages([act, acted = false]() mutable {
      if (!acted && Countdown() != nullptr) {
        acted = true;
        act();
      }
    });
  }
};

TEST_F(UnattendedTest, AKeywordRunsBoxesCloseByThemselvesAfterTwoMinutes) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    bool secondInstance;
    int answer;
    const char* text;
    std::uint32_t timeout;
    int exitCode;
  };
  const Case cases[] = {
      {"a remote keyword's error",
       {"ds.exe", "remotereboot"},
       false,
       win::IdTimedOut,
       "error 123",
       TwoMinutes,
       123},
      {"the exit question, unanswered",
       {"ds.exe", "standby"},
       false,
       win::IdTimedOut,
       ExitQuestionText,
       TwoMinutes,
       0},
      {"already running, a keyword",
       {"ds.exe", "shutdown"},
       true,
       win::IdTimedOut,
       AlreadyRunningText,
       TwoMinutes,
       0},
      {"already running, no keyword", {"ds.exe"}, true, win::IdOk, AlreadyRunningText, 0, 0},
      {"the exit question without a keyword", {"ds.exe"}, false, win::IdNo, ExitQuestionText, 0, 0},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(0, 1);
    if (c.secondInstance) {
      world().mutexes.insert(InstanceMutexName);
    }
    world().messageBoxAnswers = {c.answer};
    // A window left open after a run without keyword is closed by the person.
    ui::headless::WhileProcessingMessages({});
    const bool keyword = NamesKeyword(c.arguments);
    int exitCode = -1;
    if (keyword || c.secondInstance) {
      exitCode = RunProgram(c.arguments);
    } else {
      auto window = StartMainWindow(c.arguments);
      ClickMenuItem(window->MainMenu1, "Exit1");
      exitCode = 0;
    }
    EXPECT_EQ(exitCode, c.exitCode) << c.what;
    ASSERT_EQ(world().messageBoxes.size(), 1u) << c.what;
    EXPECT_NE(world().messageBoxes[0].text.find(c.text), std::string::npos) << c.what;
    EXPECT_EQ(world().messageBoxes[0].timeout, c.timeout) << c.what;
    if (keyword && !c.secondInstance) {
      EXPECT_TRUE(ui::headless::ApplicationEnded()) << c.what << ": the program ends";
    }
  }
}

TEST_F(UnattendedTest, ALocalKeywordExitsWithACancelOrWindowsRefusal) {
  struct Case {
    const char* what;
    std::uint8_t showWarning;
    long exitWindowsResult;
    int exitCode;
  };
  const Case cases[] = {{"done", 0, 1, 0},
                        {"countdown cancelled", 1, 1, static_cast<int>(win::ErrorCancelled)},
                        {"refused by Windows", 0, 0, static_cast<int>(win::ErrorAccessDenied)}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(c.showWarning, 0);
    world().results["ExitWindowsEx"] = {c.exitWindowsResult};
    OnceCountdownIsUp([] { ui::headless::Click(Countdown()->BCancel); });
    EXPECT_EQ(RunProgram({"ds.exe", "reboot"}), c.exitCode) << c.what;
  }
}

TEST_F(UnattendedTest, AModalWindowOfAKeywordRunEndsByItselfAfterTwoMinutes) {
  Store(1, 0);
  OnceCountdownIsUp(
      [] { ClickMenuItem(static_cast<TFMain*>(ui::MainForm())->MainMenu1, "Preferences1"); });
  RunProgram({"ds.exe", "standby"});
  EXPECT_EQ(fake::CallsNamed({"RunModal"}),
            std::vector<std::string>{"RunModal(TFOption, " + std::to_string(TwoMinutes) + ")"});
}

TEST_F(UnattendedTest, TheConsoleShowsTheResultInItsOwnCodePageAndAFileGetsTheBytes) {
  for (const bool redirected : {false, true}) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(0, 0);
    world().parentConsole = true;
    world().outputRedirected = redirected;
    EXPECT_EQ(RunProgram({"ds.exe", "abort", "PC1"}), 0);
    const std::string line = "The pending shutdown of PC1 was aborted.\r\n";
    EXPECT_EQ(world().consoleOutput, line) << redirected;
    EXPECT_EQ(fake::CallsNamed({"WriteConsoleText"}).size(), redirected ? 0u : 1u) << redirected;
  }
}

TEST_F(UnattendedTest, CtrlCInTheConsoleCancelsSavesAndEndsWithErrorCancelled) {
  struct Case {
    std::vector<std::string> arguments;
    const char* consoleOutput;
  };
  const Case cases[] = {
      {{"ds.exe", "remotereboot", "PC1"}, "Windows reported error 1223"},
      {{"ds.exe", "standby"}, ""},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(1, 1);
    world().parentConsole = true;
    std::string route;
    OnceCountdownIsUp([this, &route] {
      route = fake::CallsNamed({"RouteConsoleCancel"}).at(0);
      // What Windows' console thread posts.
      ui::headless::SendMessage(*ui::MainForm(), {world().consoleCancelMessage, 0, 0});
    });
    const std::string what = c.arguments[1];
    EXPECT_EQ(RunProgram(c.arguments), 1223) << what;
    EXPECT_EQ(route, "RouteConsoleCancel(" + std::to_string(world().consoleCancelWindow) + ", " +
                         std::to_string(ui::WmApp + 101) + ", 4000)")
        << what;
    EXPECT_TRUE(fake::CallsNamed({"SetSystemPowerState", "InitiateSystemShutdownA"}).empty())
        << what;
    EXPECT_TRUE(world().messageBoxes.empty()) << what << ": no exit question";
    EXPECT_NE(world().consoleOutput.find(c.consoleOutput), std::string::npos) << what;
    // The console's thread may let Windows end the process only once the settings are saved.
    const auto steps = fake::CallsNamed({"MoveFileReplacing", "ConsoleCancelHandled"});
    ASSERT_EQ(steps.size(), 2u) << what;
    EXPECT_EQ(steps[1], "ConsoleCancelHandled()") << what;
  }
}

TEST_F(UnattendedTest, AnUnexpectedErrorIsShownAndEndsTheRunWithAnErrorCode) {
  struct Case {
    const char* what;
    void (*raise)();
    const char* shown;
  };
  const Case cases[] = {
      {"a standard exception", [] { throw std::runtime_error("out of sorts"); }, "out of sorts"},
      {"anything else", [] { throw 42; }, "An unexpected error occurred."},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(1, 0);
    OnceCountdownIsUp(c.raise);
    EXPECT_EQ(RunProgram({"ds.exe", "standby"}), 574) << c.what;
    EXPECT_EQ(fake::CallsNamed({"ShowException"}),
              std::vector<std::string>{std::string("ShowException(") + c.shown + ", " +
                                       std::to_string(TwoMinutes) + ")"})
        << c.what;
    EXPECT_EQ(fake::CallsNamed({"ReleaseMutex"}).size(), 1u) << c.what;
    EXPECT_EQ(fake::CallsNamed({"MoveFileReplacing"}).size(), 1u) << c.what << ": saved";
    EXPECT_FALSE(CountdownActive) << c.what;
  }
}

TEST_F(UnattendedTest, TheCountdownsEndClosesOnlyTheWindowsOpenedAfterItBegan) {
  for (const bool openedBefore : {true, false}) {
    fake::ResetWorld();
    ui::headless::Reset();
    Store(1, 0);
    auto window = StartMainWindow();
    const std::uint32_t start = world().tickCount;
    // The countdown's timer keeps it going under any window opened over it.
    ui::headless::WhileProcessingMessages([] {
      if (Countdown() != nullptr) {
        FireTimers(*Countdown());
      }
    });
    ui::ModalResult remoteEndedWith = ui::ModalResult::None;
    std::string typed;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& remote = static_cast<TFRComp&>(form);
      ui::headless::Type(remote.EdComp, "PC7");
      if (openedBefore) {
        // The tray menu's Standby while the dialog waits for its OK.
        ClickMenuItem(window->PopupMenu1, "Standby2");
      } else {
        while (form.GetModalResult() == ui::ModalResult::None && world().tickCount - start < 5000) {
          world().tickCount += 10;
          FireTimers(*Countdown());
        }
      }
      remoteEndedWith = form.GetModalResult();
      typed = remote.EdComp.Text();
      return ui::ModalResult::Cancel;
    });
    if (openedBefore) {
      ClickMenuItem(window->MainMenu1, "RemoteReboot1");
    } else {
      OnceCountdownIsUp([&] { ClickMenuItem(window->MainMenu1, "RemoteReboot1"); });
      ClickMenuItem(window->MainMenu1, "Standby1");
    }
    const char* what = openedBefore ? "opened before" : "opened during";
    EXPECT_EQ(fake::CallsNamed({"SetSystemPowerState"}).size(), 1u) << what;
    EXPECT_LT(world().tickCount - start, 2100u) << what << ": the action ran on time";
    EXPECT_EQ(remoteEndedWith, openedBefore ? ui::ModalResult::None : ui::ModalResult::Cancel)
        << what;
    EXPECT_EQ(typed, "PC7") << what;
  }
}

TEST_F(UnattendedTest, TheCountdownsEndClosesAnOpenMenu) {
  Store(1, 0);
  auto window = StartMainWindow();
  const std::uint32_t start = world().tickCount;
  bool closedByProgram = false;
  ui::headless::OnNextPopup([&](ui::Menu&) {
    while (ui::headless::MenuOpen() && world().tickCount - start < 5000) {
      world().tickCount += 10;
      FireTimers(*Countdown());
    }
    closedByProgram = !ui::headless::MenuOpen();
    // A choice made as the menu went away is not taken.
    return std::string("Exit2");
  });
  OnceCountdownIsUp([&] {
    ui::headless::SendMessage(*window, {WM_TRAYNOTIFY, 0, ui::WmContextMenu | TrayIconId << 16});
  });
  ClickMenuItem(window->MainMenu1, "Standby1");
  EXPECT_TRUE(closedByProgram);
  EXPECT_EQ(fake::CallsNamed({"EndMenu"}).size(), 1u);
  EXPECT_EQ(fake::CallsNamed({"SetSystemPowerState"}).size(), 1u);
  EXPECT_LT(world().tickCount - start, 2100u) << "the action ran on time";
  EXPECT_FALSE(ui::headless::ApplicationEnded());
}

} // namespace
