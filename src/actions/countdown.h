#pragma once
// The warning countdown that precedes an action when the user asked for it: a small
// stay-on-top dialog counts the seconds down while the program's windows stay live.

#include "settings/settings.h"
#include "ui/form.h"

// True while a countdown dialog exists; a second countdown is refused meanwhile.
extern bool CountdownActive;

class TTFPro3 : public ui::Form {
public:
  TTFPro3();
  ~TTFPro3() override { Destroy(); }

  ui::Button BCancel;
  ui::Label Label1;
  ui::ProgressBar PBar;
  ui::Label Label2;
  ui::Label Label3;

  bool Running = true; // false once the user cancels

  void BCancelClick();
  bool FormCloseQuery();
};

// True when the action may go ahead: no warning wanted, or the countdown ran out.
bool ConfirmByWarningCountdown(const Settings& settings);

// Counts the seconds down. True when the user cancelled or another countdown is open.
bool RunWarningCountdown(int seconds);
