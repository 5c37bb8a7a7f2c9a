// The commands that name other computers: one by name, or the whole domain.

#include "actions/dispatcher.h"
#include "actions/os_version.h"
#include "app/main_window.h"
#include "app/program.h"
#include "common/texts.h"
#include "dialogs/domain_dialog.h"
#include "dialogs/remote_dialog.h"
#include "ui/application.h"

namespace {

constexpr int TargetHelpContext = 10;

// Remote shutdown needs the NT family; the 9x classes and an unknown release are refused.
bool RemoteActionsSupported(ui::Form& owner) {
  if (DetectOsVersion() >= OsWinNT4) {
    return true;
  }
  ui::ShowMessageBox(&owner, NtRequiredText, MessageCaption, win::MbOk | win::MbIconInformation);
  return false;
}

} // namespace

void TFMain::RemoteReboot1Click() {
  if (!RemoteActionsSupported(*this)) {
    return;
  }
  TargetRequest request = BlankTargetRequest(AppSettings);
  TFRComp dialog;
  if (!dialog.Execute(request, RemoteDialogTitle, TargetHelpContext)) {
    return;
  }
  RunAction(request.Reboot != 0 ? ActionRemoteReboot : ActionRemoteShutdown, AppSettings,
            [&request](Settings& settings) { ApplyTargetRequest(request, settings); });
}

void TFMain::DomainShutdown1Click() {
  if (!RemoteActionsSupported(*this)) {
    return;
  }
  TargetRequest request = BlankTargetRequest(AppSettings);
  TFRNetwork dialog;
  if (!dialog.Execute(request, DomainDialogTitle, TargetHelpContext)) {
    return;
  }
  RunAction(request.Reboot != 0 ? ActionDomainReboot : ActionDomainShutdown, AppSettings,
            [&request](Settings& settings) { ApplyTargetRequest(request, settings); });
}
