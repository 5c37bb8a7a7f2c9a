#include "dialogs/target_request.h"

#include "common/bounded.h"

TargetRequest BlankTargetRequest(const Settings& settings) {
  TargetRequest request;
  request.Force = settings.ForceApps;
  return request;
}

void ApplyTargetRequest(const TargetRequest& request, Settings& settings) {
  CopyBounded(settings.RemoteComputer, request.ComputerName, SettingsTextCapacity);
  settings.ForceApps = request.Force;
  settings.RemoteReboot = request.Reboot;
  settings.UseCredentials = request.UseCredentials;
  CopyBounded(settings.UserName, request.UserName, SettingsTextCapacity);
  CopyBounded(settings.Password, request.Password, SettingsTextCapacity);
}

void ApplyCredentialsRule(const ui::CheckBox& box, ui::GroupBox& group, ui::Edit& user,
                          ui::Edit& password) {
  const bool enabled = box.Checked();
  const ui::Color color = enabled ? ui::ColorWindow : ui::ColorInactiveBorder;
  group.SetEnabled(enabled);
  user.SetEnabled(enabled);
  password.SetEnabled(enabled);
  user.SetBackgroundColor(color);
  password.SetBackgroundColor(color);
}

ui::Button::Options OkButtonOptions() {
  return {.modalResult = ui::ModalResult::Ok, .isDefault = true, .glyph = ui::ImageId::OkGlyph};
}

ui::Button::Options CancelButtonOptions() {
  return {
      .modalResult = ui::ModalResult::Cancel, .isCancel = true, .glyph = ui::ImageId::CancelGlyph};
}
