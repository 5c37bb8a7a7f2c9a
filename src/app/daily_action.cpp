// The action the main window runs every day at a chosen hour and minute.

#include "actions/dispatcher.h"
#include "actions/domain_action.h"
#include "actions/results_log.h"
#include "app/main_window.h"
#include "app/program.h"
#include "platform/kernel.h"

void TFMain::SyncTimerControls() {
  // Seconds are never part of the schedule: the picker shows them as 0.
  DateTimePicker1.SetTime({AppSettings.TimerHour, AppSettings.TimerMinute, 0, 0});
  // While the action is armed its time can't be edited.
  const bool armed = AppSettings.TimerActive != 0;
  CBActive.SetChecked(armed);
  DateTimePicker1.SetEnabled(!armed);
  GBTimer.SetEnabled(!armed);
}

void TFMain::CBActiveClick() {
  AppSettings.TimerActive = CBActive.Checked() ? 1 : 0;
  SyncTimerControls();
}

void TFMain::DateTimePicker1Change() {
  const ui::TimeOfDay time = DateTimePicker1.Time();
  AppSettings.TimerHour = static_cast<std::int16_t>(time.hour);
  AppSettings.TimerMinute = static_cast<std::int16_t>(time.minute);
  SyncTimerControls();
}

void TFMain::CloseIfActionEnded() {
  if (CloseWhenActionEnds && !DomainActionRunning()) {
    CloseWhenActionEnds = false;
    Close();
  }
}

void TFMain::Timer1Timer() {
  if (CloseWhenActionEnds) {
    return CloseIfActionEnded();
  }
  if (AppSettings.TimerActive == 0) {
    return;
  }
  const platform::LocalTime now = platform::GetLocalTime();
  if (now.hour != AppSettings.TimerHour || now.minute != AppSettings.TimerMinute) {
    TimerLatch = false;
    return;
  }
  // Once per matching minute: the latch holds until the first tick outside it, also when the
  // action suspended the machine and it resumed within the same minute.
  if (TimerLatch) {
    return;
  }
  TimerLatch = true;
  const auto code = static_cast<std::uint32_t>(static_cast<std::int32_t>(AppSettings.TimerAction));
  if ((code == ActionDomainShutdown || code == ActionDomainReboot) && DomainActionRunning()) {
    // Nobody may be there to read a box, and one would hold up the run that goes on: the
    // administrator finds the refusal in the log.
    LogRequestResult(code == ActionDomainReboot ? LogDomainReboot : LogDomainShutdown,
                     NoComputerLogged, win::ErrorBusy);
    return;
  }
  // Off while the action runs: its countdown lets messages through, and a tick then must not
  // reach the action a second time.
  Timer1.SetEnabled(false);
  // Widened with its sign: a negative stored code becomes an unknown code that does nothing.
  RunAction(code, AppSettings);
  Timer1.SetEnabled(true);
  CloseIfActionEnded();
}
