#pragma once
// Asks whether to shut down or restart every computer of the domain, and for credentials; tells
// how many computers the list file next to the program adds.

#include "dialogs/target_request.h"
#include "ui/form.h"

class TFRNetwork : public ui::Form {
public:
  TFRNetwork();
  ~TFRNetwork() override { Destroy(); }

  ui::Label LBMsg;
  ui::CheckBox CBReboot;
  ui::CheckBox CBPass;
  ui::GroupBox GBPass;
  ui::Label Label2;
  ui::Edit EdUser;
  ui::Label Label3;
  ui::Edit EdPass;
  ui::Button BOk;
  ui::Button BCancel;

  // True on OK, with the request read back; the computer name is left as it is.
  bool Execute(TargetRequest& request, const char* title, int helpContext);
  void CBPassClick();

private:
  TargetControls Shared() {
    return {CBReboot, CBPass, GBPass, Label2, EdUser, Label3, EdPass, BOk, BCancel};
  }
};
