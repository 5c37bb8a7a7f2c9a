#include "actions/countdown.h"

#include "common/texts.h"
#include "platform/kernel.h"
#include "ui/application.h"

#include <cstdio>

bool CountdownActive = false;

namespace {

constexpr std::uint32_t OneSecond = 1000;
constexpr std::uint32_t PollMilliseconds = 1;

// Milliseconds since the tick count `start`, also across the 49.7-day wrap of the counter and
// when the clock source steps back.
std::uint32_t ElapsedSince(std::uint32_t start) {
  const auto difference = static_cast<std::int32_t>(platform::GetTickCount() - start);
  return difference < 0 ? 0u - static_cast<std::uint32_t>(difference)
                        : static_cast<std::uint32_t>(difference);
}

} // namespace

TTFPro3::TTFPro3()
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
      Label3(this, "Label3", {16, 48, 233, 13}, ui::Label::Layout::Centred) {
  BCancel.SetText(CountdownCancelCaption);
  BCancel.OnClick = [this] { BCancelClick(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  Realize();
}

void TTFPro3::BCancelClick() {
  Running = false;
}

bool TTFPro3::FormCloseQuery() {
  // Closing the dialog cancels; the countdown's end removes it.
  Running = false;
  return false;
}

bool ConfirmByWarningCountdown(const Settings& settings) {
  return settings.ShowWarning == 0 || !RunWarningCountdown(settings.WarnSeconds);
}

bool RunWarningCountdown(int seconds) {
  if (CountdownActive) {
    return true;
  }
  CountdownActive = true;
  bool cancelled = false;
  {
    TTFPro3 dialog;
    dialog.Show();
    dialog.SetText(MessageCaption);
    // The bar starts at 0; a countdown of no seconds never shows it moving.
    if (seconds > 0) {
      dialog.PBar.SetMaximum(seconds);
    }
    for (int i = 0; dialog.Running && i < seconds; ++i) {
      dialog.PBar.SetPosition(i);
      char text[128];
      std::snprintf(text, sizeof text, CountdownFormat, seconds - i);
      dialog.Label2.SetText(text);
      const std::uint32_t start = platform::GetTickCount();
      while (dialog.Running && ElapsedSince(start) < OneSecond) {
        platform::Sleep(PollMilliseconds);
        ui::ProcessMessages();
      }
    }
    cancelled = !dialog.Running;
  }
  CountdownActive = false;
  return cancelled;
}
