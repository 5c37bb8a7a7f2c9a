#pragma once
// The answer of the remote and domain dialogs: which computer, reboot or shut down, and the
// credentials for the connection. Built fresh for each command.

#include "settings/settings.h"
#include "ui/control.h"

#include <cstdint>

inline constexpr std::size_t TargetTextCapacity = 264;

struct TargetRequest {
  char ComputerName[TargetTextCapacity] = {};
  std::uint8_t Reboot = 0;
  std::uint8_t Force = 0;
  std::uint8_t UseCredentials = 0;
  char UserName[TargetTextCapacity] = {};
  char Password[TargetTextCapacity] = {};
};

// A blank request: the dialogs never show the target or credentials of an earlier action.
TargetRequest BlankTargetRequest(const Settings& settings);

// Copies a confirmed request into the settings.
void ApplyTargetRequest(const TargetRequest& request, Settings& settings);

// The credentials group is usable only while its check box is ticked; its edits are greyed
// otherwise but keep what they hold.
void ApplyCredentialsRule(const ui::CheckBox& box, ui::GroupBox& group, ui::Edit& user,
                          ui::Edit& password);

// The dialogs' own buttons: OK with its glyph, the default; Cancel with its glyph, Esc.
ui::Button::Options OkButtonOptions();
ui::Button::Options CancelButtonOptions();
