#include "logon/auto_logon_dialog.h"

#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "dialogs/target_request.h"
#include "platform/winconst.h"
#include "ui/application.h"

TFALogon::TFALogon()
    : ui::Form({.name = "TFALogon",
                .caption = AutoLogonDesignCaption,
                .clientWidth = 334,
                .clientHeight = 274,
                .border = ui::BorderStyle::Dialog}),
      CBAutoLogon(this, "CBAutoLogon", {32, 24, 89, 17}),
      GroupBox1(this, "GroupBox1", {16, 24, 297, 193}),
      Label2(&GroupBox1, "Label2", {16, 24, 51, 13}),
      EdUser(&GroupBox1, "EdUser", {16, 40, 273, 21}),
      Label3(&GroupBox1, "Label3", {16, 72, 49, 13}),
      EdPass(&GroupBox1, "EdPass", {16, 88, 273, 21}, ui::PasswordMask),
      Label4(&GroupBox1, "Label4", {16, 128, 36, 13}),
      EdDomain(&GroupBox1, "EdDomain", {16, 144, 273, 21}),
      BOk(this, "BOk", {114, 236, 89, 25}, OkButtonOptions()),
      BCancel(this, "BCancel", {226, 236, 89, 25}, CancelButtonOptions()) {
  CBAutoLogon.SetText(AutoLogonCheckCaption);
  Label2.SetText(LogonUserNameLabel);
  Label3.SetText(PasswordLabel);
  Label4.SetText(LogonDomainLabel);
  BOk.SetText(OkCaption);
  BCancel.SetText(CancelCaption);
  CBAutoLogon.OnClick = [this] { CBAutoLogonClick(); };
  Realize();
}

bool TFALogon::Execute(const char* title, int helpContext) {
  SetHelpContext(helpContext);
  SetText(title);
  const bool written = EditAndWrite();
  // The record outlives the dialog; the password must not.
  DialogAutoLogon.Password.Clear();
  return written;
}

bool TFALogon::EditAndWrite() {
  ReadAutoLogon(DialogAutoLogon);
  FillFromState(DialogAutoLogon);
  for (;;) {
    if (ShowModal() != ui::ModalResult::Ok) {
      return false;
    }
    ReadToState(DialogAutoLogon);
    const AutoLogonWrite write =
        WriteAutoLogon(DialogAutoLogon, [this] { return AllowPlainPassword(); });
    if (write.declined) {
      // Back to the dialog as typed, to switch automatic logon off or cancel.
      continue;
    }
    if (write.written >= 1) {
      return true;
    }
    ui::ShowMessageBox(this, AutoLogonWriteFailedText, MessageCaption,
                       win::MbOk | win::MbIconError);
    ReadAutoLogon(DialogAutoLogon);
    FillFromState(DialogAutoLogon);
  }
}

bool TFALogon::AllowPlainPassword() {
  return ui::ShowMessageBox(this, PlainPasswordQuestion, MessageCaption,
                            win::MbOkCancel | win::MbIconWarning) == win::IdOk;
}

void TFALogon::FillFromState(AutoLogonState& state) {
  // Setting the box counts as a click when it changes its state, as if the user made it.
  if (CBAutoLogon.Checked() != (state.Enabled != 0)) {
    CBAutoLogon.SetChecked(state.Enabled != 0);
    CBAutoLogonClick();
  }
  EdUser.SetText(state.UserName);
  EdPass.SetText(std::string(state.Password.View()));
  EdDomain.SetText(state.Domain);
  SetEditsUsable(CBAutoLogon.Checked(), {&EdUser, &EdPass, &EdDomain});
}

void TFALogon::ReadToState(AutoLogonState& state) {
  state.Enabled = CBAutoLogon.Checked() ? 1 : 0;
  CopyBounded(state.UserName, EdUser.Text().c_str(), AutoLogonCopySize);
  state.Password.Assign(std::string_view(EdPass.Text()).substr(0, AutoLogonCopySize - 1));
  CopyBounded(state.Domain, EdDomain.Text().c_str(), AutoLogonCopySize);
}

void TFALogon::CBAutoLogonClick() {
  DialogAutoLogon.Enabled = CBAutoLogon.Checked() ? 1 : 0;
  if (DialogAutoLogon.Enabled == 0) {
    DialogAutoLogon.Password.Clear();
  }
  FillFromState(DialogAutoLogon);
}

int RunAutoLogonDialogAlone() {
  if (!AutoLogonSettable(DetectOsVersion())) {
    ui::ShowMessageBox(nullptr, AutoLogonUnavailableText, MessageCaption,
                       win::MbOk | win::MbIconInformation);
    return static_cast<int>(win::ErrorCancelled);
  }
  TFALogon dialog;
  // The instance that waits learns that nothing was written, and why.
  if (!dialog.Realized()) {
    ui::ReportCreationFailure(dialog.CreationError());
    return static_cast<int>(dialog.CreationError());
  }
  return static_cast<int>(dialog.Execute(AutoLogonDialogTitle, AutoLogonHelpContext)
                              ? win::ErrorSuccess
                              : win::ErrorCancelled);
}
