#pragma once
// The warning countdown that precedes an action when the user asked for it: a small
// stay-on-top dialog counts the seconds down while the program's windows stay live.

#include "settings/settings.h"
#include "ui/application.h"
#include "ui/form.h"

#include <cstdint>
#include <string>

// True while a countdown dialog exists; a second countdown is refused meanwhile.
extern bool CountdownActive;

class TTFPro3 : public ui::Form {
public:
  // The first line names the action about to run.
  TTFPro3(int seconds, const std::string& actionLine);
  ~TTFPro3() override { Destroy(); }

  ui::Button BCancel;
  ui::Label Label1;
  ui::ProgressBar PBar;
  ui::Label Label2;
  ui::Label Label3;
  ui::Timer Ticker;

  bool Running = true;   // false once the user cancels
  bool Finished = false; // true once every second has passed

  void BCancelClick();
  bool FormCloseQuery();
  void TickerTimer();
  // Brings the dialog up to the clock: the seconds left, or the end.
  void Advance();

private:
  int seconds_;
  // The modal windows already open when the countdown began.
  ui::ModalMark openBefore_;
  std::uint32_t start_ = 0;
  int shownStep_ = -1;
};

// The countdown's first line for an action code; the remote actions name the computer.
std::string CountdownActionLine(std::uint32_t code, const std::string& computer);

// True when the action may go ahead: no warning wanted, or the countdown ran out.
bool ConfirmByWarningCountdown(const Settings& settings, std::uint32_t code,
                               const std::string& computer);

// Counts the seconds down under a first line naming the action. True when the user cancelled
// or another countdown is open.
bool RunWarningCountdown(int seconds, const std::string& actionLine);

// Ends the open countdown as its Cancel does; nothing when none is open.
void CancelWarningCountdown();
