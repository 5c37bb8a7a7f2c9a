#include "dialogs/remote_dialog.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/user.h"

TFRComp::TFRComp()
    : ui::Form({.name = "TFRComp",
                .caption = RemoteDialogTitle,
                .clientWidth = 261,
                .clientHeight = 271,
                .border = ui::BorderStyle::Dialog}),
      Label1(this, "Label1", {8, 16, 80, 13}), EdComp(this, "EdComp", {10, 36, 239, 21}),
      CBReboot(this, "CBReboot", {16, 64, 97, 17}), CBPass(this, "CBPass", {16, 96, 169, 17}),
      GBPass(this, "GBPass", {8, 96, 241, 121}), Label2(&GBPass, "Label2", {8, 24, 51, 13}),
      EdUser(&GBPass, "EdUser", {8, 40, 225, 21}), Label3(&GBPass, "Label3", {8, 72, 49, 13}),
      EdPass(&GBPass, "EdPass", {8, 88, 225, 21}, ui::PasswordMask),
      BOk(this, "BOk", {50, 236, 89, 25}, OkButtonOptions()),
      BCancel(this, "BCancel", {162, 236, 89, 25}, CancelButtonOptions()) {
  Label1.SetText(ComputerNameLabel);
  CaptionTargetControls(Shared());
  CBPass.OnClick = [this] { CBPassClick(); };
  Realize();
}

bool TFRComp::Execute(TargetRequest& request, const char* title, int helpContext) {
  for (;;) {
    if (!EditRequest(request, title, helpContext)) {
      return false;
    }
    if (!request.ComputerName.empty()) {
      return true;
    }
    platform::MessageBoxA(win::NoHandle, NoComputerNameText, MessageCaption,
                          win::MbOk | win::MbIconInformation);
    // The box is about the name: the user goes on there.
    EdComp.SetFocus();
  }
}

bool TFRComp::EditRequest(TargetRequest& request, const char* title, int helpContext) {
  EdComp.SetText(request.ComputerName);
  FillTargetControls(request, Shared());
  SetHelpContext(helpContext);
  SetText(title);
  if (ShowModal() != ui::ModalResult::Ok) {
    return false;
  }
  request.ComputerName = EdComp.Text();
  ReadTargetControls(request, Shared());
  return true;
}

void TFRComp::CBPassClick() {
  ApplyCredentialsRule(Shared());
}
