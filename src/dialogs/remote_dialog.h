#pragma once
// Asks for the computer to shut down or restart, and for credentials.

#include "dialogs/target_request.h"
#include "ui/form.h"

class TFRComp : public ui::Form {
public:
  TFRComp();
  ~TFRComp() override { Destroy(); }

  ui::Label Label1;
  ui::Edit EdComp;
  ui::CheckBox CBReboot;
  ui::CheckBox CBPass;
  ui::GroupBox GBPass;
  ui::Label Label2;
  ui::Edit EdUser;
  ui::Label Label3;
  ui::Edit EdPass;
  ui::Button BOk;
  ui::Button BCancel;

  // Shows the dialog until it is cancelled or confirmed with a computer name.
  bool Execute(TargetRequest& request, const char* title, int helpContext);
  // One showing; true on OK, with the request read back.
  bool EditRequest(TargetRequest& request, const char* title, int helpContext);
  void CBPassClick();

private:
  TargetControls Shared() {
    return {CBReboot, CBPass, GBPass, Label2, EdUser, Label3, EdPass, BOk, BCancel};
  }
};
