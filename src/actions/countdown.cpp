#include "actions/countdown.h"

#include "actions/announcement.h"
#include "actions/dispatcher.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "ui/application.h"

#include <cstdio>

bool CountdownActive = false;

namespace {

constexpr std::uint32_t OneSecond = 1000;
constexpr std::uint32_t PollMilliseconds = 1;
// A window opened during the countdown runs a message loop of its own, in which only this
// timer keeps the countdown going.
constexpr std::uint32_t TickerInterval = 50;

TTFPro3* OpenCountdown = nullptr;

// The program-wide marks of a countdown, from before its dialog is made until after it is
// gone, taken away however the wait ends, also by an exception on its way to the program's end.
class CountdownMarks {
public:
  CountdownMarks() { CountdownActive = true; }
  ~CountdownMarks() {
    ui::SetFormLiveUnderModal(nullptr);
    OpenCountdown = nullptr;
    CountdownActive = false;
  }
  CountdownMarks(const CountdownMarks&) = delete;
  CountdownMarks& operator=(const CountdownMarks&) = delete;

  void Open(TTFPro3& dialog) const {
    OpenCountdown = &dialog;
    ui::SetFormLiveUnderModal(&dialog);
  }
};

// Milliseconds since the tick count `start`, also across the 49.7-day wrap of the counter and
// when the clock source steps back.
std::uint32_t ElapsedSince(std::uint32_t start) {
  const auto difference = static_cast<std::int32_t>(platform::GetTickCount() - start);
  return difference < 0 ? 0u - static_cast<std::uint32_t>(difference)
                        : static_cast<std::uint32_t>(difference);
}

} // namespace

std::string CountdownActionLine(std::uint32_t code, const std::string& computer) {
  const char* format = nullptr;
  switch (code) {
  case ActionShutdown:
    return CountdownShutdownText;
  case ActionReboot:
    return CountdownRebootText;
  case ActionLogOff:
    return CountdownLogOffText;
  case ActionStandby:
    return CountdownStandbyText;
  case ActionHibernate:
    return CountdownHibernateText;
  case ActionLock:
    return CountdownLockText;
  case ActionRemoteShutdown:
    format = CountdownRemoteShutdownFormat;
    break;
  case ActionRemoteReboot:
    format = CountdownRemoteRebootFormat;
    break;
  case ActionDomainShutdown:
    return CountdownDomainShutdownText;
  case ActionDomainReboot:
    return CountdownDomainRebootText;
  default:
    return {};
  }
  const int length = std::snprintf(nullptr, 0, format, computer.c_str());
  std::string line(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(line.data(), line.size(), format, computer.c_str());
  line.pop_back();
  return line;
}

TTFPro3::TTFPro3(int seconds, const std::string& actionLine)
    : ui::Form({.name = "TTFPro3",
                .caption = CountdownDesignCaption,
                .clientWidth = 261,
                .clientHeight = 123,
                .border = ui::BorderStyle::Dialog,
                .stayOnTop = true}),
      BCancel(this, "BCancel", {96, 92, 75, 25}, {.isCancel = true}),
      Label1(this, "Label1", {16, 8, 233, 13}, ui::Label::Layout::Centred),
      PBar(this, "PBar", {12, 68, 237, 16}, 0, 100),
      Label2(this, "Label2", {16, 28, 233, 13}, ui::Label::Layout::Centred),
      Label3(this, "Label3", {16, 48, 233, 13}, ui::Label::Layout::Centred),
      Ticker(*this, TickerInterval), seconds_(seconds), openBefore_(ui::MarkModalWindows()) {
  BCancel.SetText(CountdownCancelCaption);
  Label1.SetText(actionLine);
  // A screen reader reads the dialog and the action when it opens, then the seconds as they
  // run, at the pace AnnouncesSecondsLeft sets.
  SetAccessibleRole(ui::AccessibleRole::Dialog);
  SetAccessibleName(std::string(MessageCaption) + ": " + actionLine);
  Label2.SetLiveRegion(true);
  PBar.SetAccessibleName(CountdownBarName);
  BCancel.OnClick = [this] { BCancelClick(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  Ticker.OnTimer = [this] { TickerTimer(); };
  Realize();
  // The bar starts at 0; a countdown of no seconds never shows it moving.
  if (seconds_ > 0) {
    PBar.SetMaximum(seconds_);
  }
  start_ = platform::GetTickCount();
  Ticker.SetEnabled(true);
}

void TTFPro3::BCancelClick() {
  Running = false;
}

bool TTFPro3::FormCloseQuery() {
  // Closing the dialog cancels; the countdown's end removes it.
  Running = false;
  return false;
}

void TTFPro3::Advance() {
  // Once Windows has confirmed that the session ends, the action is given up without a word.
  if (ui::SessionEnding()) {
    Running = false;
  }
  if (!Running || Finished) {
    return;
  }
  const auto step = static_cast<int>(ElapsedSince(start_) / OneSecond);
  if (step >= seconds_) {
    Finished = true;
    return;
  }
  if (step != shownStep_) {
    // The first seconds are read with the opening dialog.
    const bool opening = shownStep_ < 0;
    shownStep_ = step;
    PBar.SetPosition(step);
    char text[128];
    std::snprintf(text, sizeof text, CountdownFormat, seconds_ - step);
    Label2.SetText(text);
    if (!opening && AnnouncesSecondsLeft(seconds_ - step)) {
      Label2.Announce();
    }
  }
}

void TTFPro3::TickerTimer() {
  Advance();
  // Under a window opened meanwhile the countdown's own wait can't go on: a cancelled dialog
  // goes out of sight at once, and at the end that window gives way so that the action runs on
  // time. A window that was open before the countdown began is not in its way and keeps what
  // was typed in it.
  if (!Running) {
    Hide();
  } else if (Finished) {
    ui::CancelModalWindowsOpenedSince(openBefore_);
  }
}

bool ConfirmByWarningCountdown(const Settings& settings, std::uint32_t code,
                               const std::string& computer) {
  return settings.ShowWarning == 0 ||
         !RunWarningCountdown(settings.WarnSeconds, CountdownActionLine(code, computer));
}

bool RunWarningCountdown(int seconds, const std::string& actionLine) {
  if (CountdownActive) {
    return true;
  }
  const CountdownMarks marks;
  TTFPro3 dialog(seconds, actionLine);
  marks.Open(dialog);
  dialog.Show();
  dialog.SetText(MessageCaption);
  dialog.Advance();
  while (dialog.Running && !dialog.Finished) {
    platform::Sleep(PollMilliseconds);
    ui::ProcessMessages();
    dialog.Advance();
  }
  return !dialog.Running;
}

void CancelWarningCountdown() {
  if (OpenCountdown != nullptr) {
    OpenCountdown->BCancelClick();
  }
}
