#pragma once
// Switches Windows' automatic logon on or off and names the account.

#include "logon/auto_logon.h"
#include "ui/form.h"

class TFALogon : public ui::Form {
public:
  TFALogon();
  ~TFALogon() override { Destroy(); }

  ui::CheckBox CBAutoLogon;
  ui::GroupBox GroupBox1;
  ui::Label Label2;
  ui::Edit EdUser;
  ui::Label Label3;
  ui::Edit EdPass;
  ui::Label Label4;
  ui::Edit EdDomain;
  ui::Button BOk;
  ui::Button BCancel;

  // True when the values were written; a write that fails entirely is reported and the dialog
  // shown again.
  bool Execute(const char* title, int helpContext);
  void FillFromState(AutoLogonState& state);
  void ReadToState(AutoLogonState& state);
  void CBAutoLogonClick();

private:
  // Shows the dialog until its values are written or it is cancelled.
  bool EditAndWrite();
  // Asks before the password goes into the registry as plain text; true to go on.
  bool AllowPlainPassword();
};

inline constexpr int AutoLogonHelpContext = 10;

// The dialog without the main window, as the elevated copy of the program shows it; returns
// the copy's exit code for the instance that waits on it: 0 when the values were written,
// ERROR_CANCELLED when the dialog was cancelled or can't be offered on this Windows.
int RunAutoLogonDialogAlone();
