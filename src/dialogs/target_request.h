#pragma once
// The answer of the remote and domain dialogs: which computer, reboot or shut down, and the
// credentials for the connection. Built fresh for each command.

#include "common/secret_text.h"
#include "settings/settings.h"
#include "ui/control.h"

#include <cstdint>
#include <initializer_list>
#include <string>

inline constexpr std::size_t TargetTextCapacity = 264;

struct TargetRequest {
  // Whole as typed: a name too long for a computer is refused, not cut.
  std::string ComputerName;
  std::uint8_t Reboot = 0;
  std::uint8_t Force = 0;
  std::uint8_t UseCredentials = 0;
  char UserName[TargetTextCapacity] = {};
  SecretText Password;
};

// A blank request: the dialogs never show the target or credentials of an earlier action.
TargetRequest BlankTargetRequest(const Settings& settings);

// Copies a confirmed request into the settings.
void ApplyTargetRequest(const TargetRequest& request, Settings& settings);

// The controls the remote and domain dialogs share.
struct TargetControls {
  ui::CheckBox& reboot;
  ui::CheckBox& useCredentials;
  ui::GroupBox& credentials;
  ui::Label& userLabel;
  ui::Edit& user;
  ui::Label& passwordLabel;
  ui::Edit& password;
  ui::Button& ok;
  ui::Button& cancel;
};

void CaptionTargetControls(const TargetControls& controls);
// Shows the request's choices and credentials, with the enabling rule applied.
void FillTargetControls(const TargetRequest& request, const TargetControls& controls);
// Takes the choices and credentials back; a confirmed dialog never forces applications closed.
void ReadTargetControls(TargetRequest& request, const TargetControls& controls);

// The credentials group is usable only while its check box is ticked; its edits are greyed
// otherwise but keep what they hold.
void ApplyCredentialsRule(const TargetControls& controls);
// Enables the edits, or disables them, keeping what they hold.
void SetEditsUsable(bool usable, std::initializer_list<ui::Edit*> edits);

// The dialogs' own buttons: OK with its glyph, the default; Cancel with its glyph, Esc.
ui::Button::Options OkButtonOptions();
ui::Button::Options CancelButtonOptions();
