#include "dialogs/target_request.h"

#include "common/bounded.h"
#include "common/texts.h"

TargetRequest BlankTargetRequest(const Settings& settings) {
  TargetRequest request;
  request.Force = settings.ForceApps;
  return request;
}

void ApplyTargetRequest(const TargetRequest& request, Settings& settings) {
  CopyBounded(settings.RemoteComputer, request.ComputerName.c_str(), SettingsTextCapacity);
  settings.ForceApps = request.Force;
  settings.RemoteReboot = request.Reboot;
  settings.UseCredentials = request.UseCredentials;
  CopyBounded(settings.UserName, request.UserName, SettingsTextCapacity);
  CopyBounded(settings.Password, request.Password.c_str(), SettingsTextCapacity);
}

void CaptionTargetControls(const TargetControls& controls) {
  controls.reboot.SetText(RebootOnlyCaption);
  controls.useCredentials.SetText(CredentialsCaption);
  controls.userLabel.SetText(UserNameLabel);
  controls.passwordLabel.SetText(PasswordLabel);
  controls.ok.SetText(OkCaption);
  controls.cancel.SetText(CancelCaption);
}

void FillTargetControls(const TargetRequest& request, const TargetControls& controls) {
  controls.reboot.SetChecked(request.Reboot != 0);
  controls.useCredentials.SetChecked(request.UseCredentials != 0);
  controls.user.SetText(request.UserName);
  controls.password.SetText(std::string(request.Password.View()));
  ApplyCredentialsRule(controls);
}

void ReadTargetControls(TargetRequest& request, const TargetControls& controls) {
  request.Reboot = controls.reboot.Checked() ? 1 : 0;
  request.Force = 0;
  request.UseCredentials = controls.useCredentials.Checked() ? 1 : 0;
  CopyBounded(request.UserName, controls.user.Text().c_str(), SettingsTextCapacity);
  request.Password.Assign(
      std::string_view(controls.password.Text()).substr(0, SettingsTextCapacity - 1));
}

void ApplyCredentialsRule(const TargetControls& controls) {
  const bool enabled = controls.useCredentials.Checked();
  controls.credentials.SetEnabled(enabled);
  SetEditsUsable(enabled, {&controls.user, &controls.password});
}

void SetEditsUsable(bool usable, std::initializer_list<ui::Edit*> edits) {
  // Windows paints a disabled edit in the scheme's own colours, which also hold in high
  // contrast.
  for (ui::Edit* edit : edits) {
    edit->SetEnabled(usable);
  }
}

ui::Button::Options OkButtonOptions() {
  return {.modalResult = ui::ModalResult::Ok, .isDefault = true, .glyph = ui::ImageId::OkGlyph};
}

ui::Button::Options CancelButtonOptions() {
  return {
      .modalResult = ui::ModalResult::Cancel, .isCancel = true, .glyph = ui::ImageId::CancelGlyph};
}
