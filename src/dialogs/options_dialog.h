#pragma once
// The Preferences dialog: every preference of the settings record on one page.

#include "settings/settings.h"
#include "ui/form.h"

#include <cstdint>
#include <optional>
#include <string>

class TFOption : public ui::Form {
public:
  TFOption();
  ~TFOption() override { Destroy(); }

  ui::PageControl PageControl1;
  ui::TabSheet TabSheet1;
  ui::CheckBox CBForce;
  ui::CheckBox CBStartup;
  ui::CheckBox CBTray;
  ui::CheckBox CBShutWar;
  // Each label comes before its edit, which Windows then names by it.
  ui::Label Label2;
  ui::Edit EdNSECVAR;
  ui::UpDown UpDownWar;
  ui::CheckBox CBRShutWar;
  ui::Label Label3;
  ui::Edit EdNRSECVAR;
  ui::UpDown UpDownRWar;
  ui::CheckBox CBExitConfirm;
  ui::Label Label1;
  ui::ComboBox CBShutAction;
  ui::Panel Panel1;
  ui::Button BOk;
  ui::Button BCancel;

  // Fills the dialog from the record; on OK writes it back (applying the start-up registration
  // at once) and returns true. Cancel leaves the record as it was.
  bool EditSettings(Settings& settings, int helpContext);

  void CBShutWarClick();
  void CBRShutWarClick();
  // OK closes the dialog only when each ticked warning's seconds fit the record; otherwise a
  // message names the field, which then has the focus.
  void BOkClick();
};

// The seconds an edit holds: leading blanks, a sign and the digits up to the first other
// character; no digits is 0. None when the number is beyond the signed 16 bits the record keeps
// it in.
std::optional<std::int16_t> SecondsFromText(const std::string& text);

// The list index of a daily action, and back: a code without an item shows the first item, an
// index without a code stands for shut down.
int TimerActionIndex(std::int16_t action);
std::int16_t TimerActionFromIndex(int index);
