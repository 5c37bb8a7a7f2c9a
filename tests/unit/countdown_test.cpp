#include "actions/countdown.h"

#include "common/texts.h"
#include "ui_world.h"

namespace {

struct Step {
  std::string text;
  int position;
  int maximum;
  bool operator==(const Step&) const = default;
};

class CountdownTest : public WindowsTest {
protected:
  TTFPro3* Dialog() { return static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3")); }

  // Records each new state of the dialog while the countdown waits, and lets `act` play the
  // user at the given millisecond of the countdown.
  void Watch(std::function<void(TTFPro3&, std::uint32_t elapsed)> act = {}) {
    start_ = world().tickCount;
    ui::headless::WhileProcessingMessages([this, act] {
      TTFPro3* dialog = Dialog();
      ASSERT_NE(dialog, nullptr);
      const Step step{dialog->Label2.Text(), dialog->PBar.Position(), dialog->PBar.Maximum()};
      if (steps.empty() || !(steps.back() == step)) {
        steps.push_back(step);
        captions.push_back(dialog->Text());
      }
      if (act) {
        act(*dialog, world().tickCount - start_);
      }
    });
  }

  std::vector<Step> steps;
  std::vector<std::string> captions;

private:
  std::uint32_t start_ = 0;
};

std::string SecondsLeft(int seconds) {
  char text[128];
  std::snprintf(text, sizeof text, CountdownFormat, seconds);
  return text;
}

TEST_F(CountdownTest, CountsTenSecondsDownWithoutEverShowingZeroOrFull) {
  Watch();
  EXPECT_FALSE(RunWarningCountdown(10, CountdownShutdownText));
  std::vector<Step> expected;
  for (int i = 0; i < 10; ++i) {
    expected.push_back({SecondsLeft(10 - i), i, 10});
  }
  EXPECT_EQ(steps, expected);
  for (const std::string& caption : captions) {
    EXPECT_EQ(caption, MessageCaption);
  }
  EXPECT_EQ(Dialog(), nullptr) << "the dialog is removed at the end";
  EXPECT_FALSE(CountdownActive);
}

TEST_F(CountdownTest, EachSecondLastsAtLeastAThousandMilliseconds) {
  const std::uint32_t start = world().tickCount;
  RunWarningCountdown(3, CountdownShutdownText);
  EXPECT_GE(world().tickCount - start, 3000u);
  EXPECT_LT(world().tickCount - start, 3010u);
}

TEST_F(CountdownTest, CancelEscEnterAndTheCloseBoxAllStopTheAction) {
  struct Case {
    const char* what;
    std::uint32_t at; // milliseconds into the countdown
    void (*act)(TTFPro3&);
  };
  const Case cases[] = {
      {"Cancel in the third second", 2500, [](TTFPro3& d) { ui::headless::Click(d.BCancel); }},
      {"Cancel in the last second", 9990, [](TTFPro3& d) { ui::headless::Click(d.BCancel); }},
      {"Esc", 500, [](TTFPro3& d) { ui::headless::PressKey(d, ui::ShortcutEsc); }},
      // Cancel has the focus from the start.
      {"Enter", 500, [](TTFPro3& d) { ui::headless::PressKey(d, ui::ShortcutEnter); }},
      {"close box", 500,
       [](TTFPro3& d) {
         ui::headless::SendMessage(d, {ui::WmSysCommand, ui::ScClose, 0});
       }},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    bool acted = false;
    bool stillShownAfterClose = false;
    Watch([&](TTFPro3& dialog, std::uint32_t elapsed) {
      if (!acted && elapsed >= c.at) {
        acted = true;
        c.act(dialog);
        stillShownAfterClose = dialog.Showing();
      }
    });
    const std::uint32_t start = world().tickCount;
    AppSettings.WarnSeconds = 10;
    EXPECT_FALSE(ConfirmByWarningCountdown(AppSettings, ActionShutdown, {})) << c.what;
    // The dialog notices within one pause and stays up until then.
    EXPECT_LE(world().tickCount - start, c.at + 2) << c.what;
    EXPECT_TRUE(stillShownAfterClose) << c.what;
    EXPECT_EQ(Dialog(), nullptr) << c.what;
    EXPECT_FALSE(CountdownActive) << c.what;
  }
}

TEST_F(CountdownTest, NoOrNegativeSecondsShowTheDialogAndGoAheadAtOnce) {
  for (int seconds : {0, -1, -32768}) {
    fake::ResetWorld();
    Watch();
    const std::uint32_t start = world().tickCount;
    EXPECT_FALSE(RunWarningCountdown(seconds, CountdownShutdownText)) << seconds;
    EXPECT_EQ(world().tickCount, start) << seconds;
    EXPECT_TRUE(steps.empty()) << seconds;
  }
}

TEST_F(CountdownTest, NoWarningMeansNoDialog) {
  AppSettings.ShowWarning = 0;
  EXPECT_TRUE(ConfirmByWarningCountdown(AppSettings, ActionShutdown, {}));
  EXPECT_TRUE(ui::headless::OpenForms().empty());
}

TEST_F(CountdownTest, ASecondCountdownIsRefusedAndLeavesTheFirstRunning) {
  int nestedResults = 0;
  int dialogsSeen = 0;
  bool nestedRan = false;
  Watch([&](TTFPro3&, std::uint32_t elapsed) {
    if (!nestedRan && elapsed >= 1500) {
      nestedRan = true;
      nestedResults = RunAction(ActionShutdown, AppSettings);
      for (ui::Form* form : ui::headless::OpenForms()) {
        dialogsSeen += form->Name() == "TTFPro3";
      }
    }
  });
  AppSettings.WarnSeconds = 3;
  EXPECT_TRUE(ConfirmByWarningCountdown(AppSettings, ActionShutdown, {}));
  EXPECT_TRUE(nestedRan);
  EXPECT_EQ(nestedResults, 0);
  EXPECT_EQ(dialogsSeen, 1);
  EXPECT_TRUE(fake::CallsNamed({"ExitWindowsEx"}).empty());
  EXPECT_EQ(steps.size(), 3u) << "the first countdown ran to its end";
}

TEST_F(CountdownTest, TheWaitSurvivesTheTickCounterWrapping) {
  world().tickCount = 0xFFFFFF00u;
  Watch();
  EXPECT_FALSE(RunWarningCountdown(2, CountdownShutdownText));
  EXPECT_EQ(steps.size(), 2u);
}

} // namespace
