#include "app/main_window.h"

#include "common/texts.h"
#include "settings/settings_file.h"
#include "ui_world.h"

#include <cstring>
#include <memory>

namespace {

class DailyActionTest : public WindowsTest {
protected:
  std::unique_ptr<TFMain> Start(const Settings& stored) {
    StoreSettings(stored);
    return StartMainWindow();
  }

  static Settings ArmedFor(int hour, int minute, std::int16_t action = ActionShutdown) {
    Settings s;
    SetDefaultSettings(s);
    s.ShowWarning = 0;
    s.TimerActive = 1;
    s.TimerHour = static_cast<std::int16_t>(hour);
    s.TimerMinute = static_cast<std::int16_t>(minute);
    s.TimerAction = action;
    return s;
  }

  // One second of the clock, then the timer's tick.
  void Tick(TFMain& window) {
    world().clockMilliseconds += 1000;
    world().tickCount += 1000;
    ui::headless::FireTimers(window);
  }
  void TickUntil(TFMain& window, int hour, int minute, int second) {
    for (;;) {
      const platform::LocalTime now = platform::GetLocalTime();
      if (now.hour == hour && now.minute == minute && now.second == second) {
        return;
      }
      Tick(window);
    }
  }
  std::size_t Actions() {
    return fake::CallsNamed({"ExitWindowsEx", "SetSystemPowerState"}).size();
  }
};

TEST_F(DailyActionTest, StartsAtTheFirstTickInsideTheArmedMinute) {
  fake::SetClock(2026, 12, 7, 14, 30, 45);
  auto window = Start(ArmedFor(14, 30));
  EXPECT_EQ(Actions(), 0u);
  Tick(*window);
  EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}), std::vector<std::string>{"ExitWindowsEx(8, 0)"});
  TickUntil(*window, 14, 31, 30);
  EXPECT_EQ(Actions(), 1u);
}

TEST_F(DailyActionTest, ACancelledCountdownWaitsForTheNextDay) {
  fake::SetClock(2026, 12, 7, 14, 29, 58);
  Settings stored = ArmedFor(14, 30);
  stored.ShowWarning = 1;
  stored.WarnSeconds = 30;
  auto window = Start(stored);
  int countdowns = 0;
  ui::headless::WhileProcessingMessages([&] {
    auto* dialog = static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3"));
    const platform::LocalTime now = platform::GetLocalTime();
    if (dialog != nullptr && dialog->Running && now.second == 20) {
      ++countdowns;
      ui::headless::Click(dialog->BCancel);
    }
  });
  TickUntil(*window, 14, 30, 59);
  EXPECT_EQ(countdowns, 1);
  EXPECT_EQ(Actions(), 0u);
  EXPECT_TRUE(window->TimerLatch);
  Tick(*window);
  EXPECT_FALSE(window->TimerLatch) << "cleared at 14:31";

  fake::SetClock(2026, 12, 8, 14, 29, 59);
  Tick(*window);
  EXPECT_EQ(countdowns, 2) << "the next day at 14:30 the action starts again";
}

TEST_F(DailyActionTest, ReArmingInsideTheFiredMinuteDoesNotFireAgain) {
  fake::SetClock(2026, 12, 7, 6, 59, 59);
  auto window = Start(ArmedFor(7, 0));
  Tick(*window);
  EXPECT_EQ(Actions(), 1u);
  ui::headless::Check(window->CBActive, false);
  Tick(*window);
  ui::headless::Check(window->CBActive, true);
  TickUntil(*window, 7, 0, 59);
  EXPECT_EQ(Actions(), 1u);
}

TEST_F(DailyActionTest, AResumeInsideTheMinuteDoesNotSuspendAgain) {
  fake::SetClock(2026, 12, 7, 22, 59, 59);
  auto window = Start(ArmedFor(23, 0, ActionStandby));
  Tick(*window);
  EXPECT_EQ(fake::CallsNamed({"SetSystemPowerState"}),
            std::vector<std::string>{"SetSystemPowerState(1, 0)"});
  // The machine slept and woke up 40 seconds later, still inside the armed minute.
  fake::SetClock(2026, 12, 7, 23, 0, 40);
  Tick(*window);
  EXPECT_EQ(Actions(), 1u);
  // Woken after the minute: tomorrow's run is still on.
  fake::SetClock(2026, 12, 7, 23, 7, 0);
  Tick(*window);
  fake::SetClock(2026, 12, 8, 22, 59, 59);
  Tick(*window);
  EXPECT_EQ(Actions(), 2u);
}

TEST_F(DailyActionTest, ClockJumpsOverTheMinuteMissItAndIntoItFireOnce) {
  fake::SetClock(2026, 12, 7, 14, 29, 50);
  auto window = Start(ArmedFor(14, 30));
  fake::SetClock(2026, 12, 7, 14, 31, 5);
  Tick(*window);
  EXPECT_EQ(Actions(), 0u);
  fake::SetClock(2026, 12, 7, 14, 30, 10);
  Tick(*window);
  TickUntil(*window, 14, 30, 59);
  EXPECT_EQ(Actions(), 1u);
}

TEST_F(DailyActionTest, StoredValuesThatCanNeverMatchOrNameNoActionDoNothing) {
  struct Case {
    int hour;
    int minute;
    std::int16_t action;
  };
  const Case cases[] = {{24, 0, ActionShutdown},
                        {-1, 0, ActionShutdown},
                        {14, 60, ActionShutdown},
                        {14, 30, -1},
                        {14, 30, 0},
                        {14, 30, 11}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    fake::SetClock(2026, 12, 7, 14, 29, 58);
    auto window = Start(ArmedFor(c.hour, c.minute, c.action));
    TickUntil(*window, 14, 31, 0);
    EXPECT_EQ(Actions(), 0u) << c.hour << ":" << c.minute << " action " << c.action;
  }
}

TEST_F(DailyActionTest, ThePickerKeepsHoursAndMinutesOnly) {
  auto window = Start(ArmedFor(0, 0));
  ui::headless::Check(window->CBActive, false);
  window->DateTimePicker1.TimeFromUser({9, 15, 37, 250});
  EXPECT_EQ(AppSettings.TimerHour, 9);
  EXPECT_EQ(AppSettings.TimerMinute, 15);
  const ui::TimeOfDay shown = window->DateTimePicker1.Time();
  EXPECT_EQ(shown.hour, 9);
  EXPECT_EQ(shown.minute, 15);
  EXPECT_EQ(shown.second, 0);
  EXPECT_EQ(shown.millisecond, 0);
}

TEST_F(DailyActionTest, ThePickerIsLockedWhileArmed) {
  auto window = Start(ArmedFor(14, 30));
  EXPECT_TRUE(window->CBActive.Checked());
  EXPECT_FALSE(window->DateTimePicker1.Enabled());
  EXPECT_FALSE(window->GBTimer.Enabled());
  EXPECT_EQ(window->DateTimePicker1.Time().hour, 14);
  EXPECT_EQ(window->DateTimePicker1.Time().minute, 30);
  ui::headless::Check(window->CBActive, false);
  EXPECT_EQ(AppSettings.TimerActive, 0);
  EXPECT_TRUE(window->DateTimePicker1.Enabled());
  EXPECT_TRUE(window->GBTimer.Enabled());
}

int DomainRuns = 0;
Settings DomainSaw;

TEST_F(DailyActionTest, TheDomainActionRunsWithTheStoredCredentialsAndNoDialog) {
  DomainRuns = 0;
  SetActionRoutines(
      {.confirmByWarningCountdown = ConfirmByWarningCountdown, .domainShutdown = [](Settings& s) {
         ++DomainRuns;
         DomainSaw = s;
         return 1;
       }});
  fake::SetClock(2026, 12, 7, 3, 59, 59);
  Settings stored = ArmedFor(4, 0, ActionDomainShutdown);
  stored.UseCredentials = 1;
  std::strcpy(stored.UserName, "LAN\\operator");
  std::strcpy(stored.Password, "pw");
  auto window = Start(stored);
  Tick(*window);
  EXPECT_EQ(DomainRuns, 1);
  EXPECT_STREQ(DomainSaw.UserName, "LAN\\operator");
  EXPECT_STREQ(DomainSaw.Password, "pw");
  EXPECT_EQ(DomainSaw.UseCredentials, 1);
  EXPECT_EQ(ui::headless::OpenForms().size(), 1u) << "only the main window";
}

TEST_F(DailyActionTest, TheTimerIsOffWhileItsActionRuns) {
  fake::SetClock(2026, 12, 7, 14, 29, 59);
  Settings stored = ArmedFor(14, 30);
  stored.ShowWarning = 1;
  stored.WarnSeconds = 3;
  auto window = Start(stored);
  int ticksDuringCountdown = 0;
  bool timerWasOn = false;
  ui::headless::WhileProcessingMessages([&] {
    if (ui::headless::FindForm("TTFPro3") != nullptr && ticksDuringCountdown < 5) {
      ++ticksDuringCountdown;
      timerWasOn = timerWasOn || window->Timer1.Enabled();
      ui::headless::FireTimers(*window);
    }
  });
  Tick(*window);
  EXPECT_EQ(ticksDuringCountdown, 5);
  EXPECT_FALSE(timerWasOn);
  EXPECT_EQ(Actions(), 1u);
  EXPECT_TRUE(window->Timer1.Enabled()) << "on again afterwards";
}

TEST_F(DailyActionTest, AnArmedActionStaysArmedAcrossRuns) {
  auto window = Start(ArmedFor(0, 0));
  ui::headless::Check(window->CBActive, false);
  window->DateTimePicker1.TimeFromUser({18, 45, 0, 0});
  ui::headless::Check(window->CBActive, true);
  window.reset();

  Settings loaded;
  SetDefaultSettings(loaded);
  ASSERT_EQ(LoadSettings(loaded, SettingsHeader, SettingsPath), SettingsLoad::Read);
  EXPECT_EQ(loaded.TimerActive, 1);
  EXPECT_EQ(loaded.TimerHour, 18);
  EXPECT_EQ(loaded.TimerMinute, 45);
}

} // namespace
