// The Options commands: the Preferences dialog and automatic logon.

#include "actions/local_power.h"
#include "actions/os_version.h"
#include "app/main_window.h"
#include "app/program.h"
#include "common/texts.h"
#include "dialogs/options_dialog.h"
#include "logon/auto_logon.h"
#include "logon/auto_logon_dialog.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "platform/shell.h"
#include "settings/settings_file.h"
#include "ui/application.h"

#include <cstdio>

namespace {
constexpr int PreferencesHelpContext = 1301;
constexpr std::uint32_t ModulePathCapacity = 262;
// How often the wait for the elevated copy looks whether it has ended.
constexpr std::uint32_t CopyPollMilliseconds = 50;
} // namespace

void TFMain::Preferences1Click() {
  TFOption dialog;
  if (dialog.EditSettings(AppSettings, PreferencesHelpContext)) {
    SaveAppSettings();
  }
}

void TFMain::SaveAppSettings() {
  if (SaveSettings(AppSettings, SettingsHeader, SettingsFilePath.c_str()) || ui::SessionEnding() ||
      SaveFailureReported) {
    return;
  }
  SaveFailureReported = true;
  const std::string reason = SystemErrorText(platform::GetLastError());
  const int length =
      std::snprintf(nullptr, 0, SaveFailedFormat, SettingsFilePath.c_str(), reason.c_str());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), SaveFailedFormat, SettingsFilePath.c_str(),
                reason.c_str());
  text.pop_back();
  ui::ShowMessageBox(this, text, MessageCaption, win::MbOk | win::MbIconError);
}

void TFMain::SBAutoLogonClick() {
  if (!AutoLogonSettable(DetectOsVersion())) {
    ui::ShowMessageBox(this, AutoLogonUnavailableText, MessageCaption,
                       win::MbOk | win::MbIconInformation);
    return;
  }
  if (AutoLogonNeedsElevation()) {
    RunElevatedAutoLogon();
    return;
  }
  {
    TFALogon dialog;
    dialog.Execute(AutoLogonDialogTitle, AutoLogonHelpContext);
  }
  UpdateAutoLogonButton();
}

void TFMain::RunElevatedAutoLogon() {
  if (AutoLogonCopyRunning) {
    return;
  }
  char program[ModulePathCapacity] = {};
  const std::uint32_t length = platform::GetModuleFileNameA(program, ModulePathCapacity - 1);
  program[length < ModulePathCapacity ? length : ModulePathCapacity - 1] = '\0';
  // The copy gets nothing but its keyword: the account and the password are typed into it.
  const win::Handle copy =
      platform::ShellExecuteExA(RunAsVerb, program, AutoLogonKeyword, win::SwShowNormal);
  if (copy == win::NoHandle) {
    // The user said no to the elevation prompt: nothing changed, and there is nothing to tell.
    if (platform::GetLastError() != win::ErrorCancelled) {
      ShowLastErrorBox(MessageCaption);
    }
    return;
  }
  AutoLogonCopyRunning = true;
  std::uint32_t exitCode = 0;
  while (!platform::ProcessEnded(copy, exitCode) && !ui::SessionEnding()) {
    platform::Sleep(CopyPollMilliseconds);
    ui::ProcessMessages();
  }
  platform::CloseHandle(copy);
  AutoLogonCopyRunning = false;
  // The copy reported its own failures; the button shows what the registry now holds.
  UpdateAutoLogonButton();
}

void TFMain::UpdateAutoLogonButton() {
  // Only the state: this window has no use for the password.
  ReadAutoLogonEnabled(ButtonAutoLogon);
  SBAutoLogon.SetText(ButtonAutoLogon.Enabled != 0 ? AutoLogonOnCaption : AutoLogonOffCaption);
}
