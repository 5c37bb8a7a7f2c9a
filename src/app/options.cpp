// The Options commands: the Preferences dialog and automatic logon.

#include "actions/os_version.h"
#include "app/main_window.h"
#include "app/program.h"
#include "common/texts.h"
#include "dialogs/options_dialog.h"
#include "logon/auto_logon.h"
#include "logon/auto_logon_dialog.h"
#include "settings/settings_file.h"
#include "ui/application.h"

namespace {
constexpr int PreferencesHelpContext = 1301;
constexpr int AutoLogonHelpContext = 10;
} // namespace

void TFMain::Preferences1Click() {
  TFOption dialog;
  if (dialog.EditSettings(AppSettings, PreferencesHelpContext)) {
    SaveSettings(AppSettings, SettingsHeader, SettingsFilePath.c_str());
  }
}

void TFMain::SBAutoLogonClick() {
  if (DetectOsVersion() != OsWin2000) {
    ui::ShowMessageBox(this, AutoLogonUnavailableText, MessageCaption,
                       win::MbOk | win::MbIconInformation);
    return;
  }
  {
    TFALogon dialog;
    dialog.Execute(AutoLogonDialogTitle, AutoLogonHelpContext);
  }
  UpdateAutoLogonButton();
}

void TFMain::UpdateAutoLogonButton() {
  ReadAutoLogon(ButtonAutoLogon);
  SBAutoLogon.SetText(ButtonAutoLogon.Enabled != 0 ? AutoLogonOnCaption : AutoLogonOffCaption);
}
