// The commands that name other computers: one by name, or the whole domain, and the withdrawal
// of a shutdown one of them still counts down to.

#include "actions/dispatcher.h"
#include "actions/domain_abort.h"
#include "actions/domain_action.h"
#include "actions/local_power.h"
#include "actions/os_version.h"
#include "actions/remote_shutdown.h"
#include "actions/results_log.h"
#include "app/main_window.h"
#include "app/program.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "dialogs/domain_dialog.h"
#include "dialogs/remote_dialog.h"
#include "platform/kernel.h"
#include "ui/application.h"

#include <cstdio>
#include <string>

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

// The request a remote keyword names, as the dispatcher runs it with the stored options. The
// countdown goes first, as for every action; cancelling it is reported as cancelled.
win::ErrorCode RunRemoteRequest(const RemoteKeyword& keyword) {
  const bool reboot = keyword.command == RemoteCommand::Reboot;
  if (keyword.command != RemoteCommand::Abort &&
      RefuseOverlongName(keyword.computer, reboot ? LogRemoteReboot : LogRemoteShutdown)) {
    return win::ErrorInvalidName;
  }
  if (keyword.command == RemoteCommand::Abort) {
    // No countdown: the shutdown to withdraw may end while one runs.
    return AbortRemoteShutdown(keyword.computer.c_str(), AppSettings) != 0
               ? win::ErrorSuccess
               : platform::GetLastError();
  }
  bool wentAhead = false;
  const int result = RunAction(
      reboot ? ActionRemoteReboot : ActionRemoteShutdown, AppSettings,
      [&keyword, &wentAhead](Settings& settings) {
        CopyBounded(settings.RemoteComputer, keyword.computer.c_str(), SettingsTextCapacity);
        wentAhead = true;
      },
      keyword.computer);
  if (!wentAhead) {
    return win::ErrorCancelled;
  }
  return result != 0 ? win::ErrorSuccess : platform::GetLastError();
}

std::string DoneText(const RemoteKeyword& keyword) {
  const char* format = keyword.command == RemoteCommand::Abort    ? AbortDoneFormat
                       : keyword.command == RemoteCommand::Reboot ? RebootSentFormat
                                                                  : ShutdownSentFormat;
  const int length = std::snprintf(nullptr, 0, format, keyword.computer.c_str());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, keyword.computer.c_str());
  text.pop_back();
  return text;
}

} // namespace

int TFMain::RunRemoteKeyword(const RemoteKeyword& keyword) {
  const bool console = AttachScriptConsole();
  HoldBackErrorBoxes(console);
  win::ErrorCode result = win::ErrorInvalidName;
  if (keyword.computer.empty()) {
    // Without a name the request would go to this computer.
    platform::SetLastError(result);
    ShowLastErrorBox(MessageCaption);
  } else {
    result = RunRemoteRequest(keyword);
  }
  HoldBackErrorBoxes(false);
  if (console) {
    WriteConsoleLine(result == win::ErrorSuccess ? DoneText(keyword) : SystemErrorText(result));
  }
  return static_cast<int>(result);
}

int TFMain::RunDomainKeyword(std::uint32_t code) {
  const bool console = AttachScriptConsole();
  HoldBackErrorBoxes(console);
  bool wentAhead = false;
  RunAction(code, AppSettings, [&wentAhead](Settings&) { wentAhead = true; });
  HoldBackErrorBoxes(false);
  if (!wentAhead) {
    return static_cast<int>(win::ErrorCancelled);
  }
  const DomainOutcome& outcome = LastDomainOutcome();
  if (console) {
    for (const std::string& line : DomainOutcomeLines(outcome)) {
      WriteConsoleLine(line);
    }
    WriteConsoleLine(DomainCountLine(outcome));
  }
  // A script learns of a cancel as a cancel, else of the first failure in list order.
  return static_cast<int>(DomainExitCode(outcome));
}

int TFMain::RunDomainAbortKeyword() {
  const bool console = AttachScriptConsole();
  const DomainOutcome outcome = AbortEveryDomainComputer(AppSettings);
  if (console) {
    for (const std::string& line : DomainOutcomeLines(outcome)) {
      WriteConsoleLine(line);
    }
    char summary[128];
    std::snprintf(summary, sizeof summary, DomainAbortResultFormat,
                  static_cast<unsigned long>(outcome.asked - RequestFailures(outcome)),
                  static_cast<unsigned long>(outcome.asked),
                  static_cast<unsigned long>(RequestFailures(outcome)));
    WriteConsoleLine(summary);
  } else if (!outcome.failures.empty() || !outcome.listReport.empty()) {
    TFDomainResult result;
    result.Execute(outcome);
  }
  // As for the abort of one computer: a script learns of the first that failed, the list first.
  return static_cast<int>(outcome.failures.empty() ? win::ErrorSuccess : outcome.firstError);
}

void TFMain::AbortDomainShutdown1Click() {
  if (!RemoteActionsSupported(*this)) {
    return;
  }
  AbortLastDomainRun(AppSettings);
}

void TFMain::RemoteReboot1Click() {
  if (RefuseWhileDomainActionRuns() || !RemoteActionsSupported(*this)) {
    return;
  }
  TargetRequest request = BlankTargetRequest(AppSettings);
  TFRComp dialog;
  if (!dialog.Execute(request, RemoteDialogTitle, TargetHelpContext) ||
      RefuseOverlongName(request.ComputerName,
                         request.Reboot != 0 ? LogRemoteReboot : LogRemoteShutdown)) {
    return;
  }
  RunAction(
      request.Reboot != 0 ? ActionRemoteReboot : ActionRemoteShutdown, AppSettings,
      [&request](Settings& settings) { ApplyTargetRequest(request, settings); },
      request.ComputerName);
}

void TFMain::DomainShutdown1Click() {
  if (RefuseWhileDomainActionRuns() || !RemoteActionsSupported(*this)) {
    return;
  }
  TargetRequest request = BlankTargetRequest(AppSettings);
  TFRNetwork dialog;
  if (!dialog.Execute(request, DomainDialogTitle, TargetHelpContext)) {
    return;
  }
  RunAction(request.Reboot != 0 ? ActionDomainReboot : ActionDomainShutdown, AppSettings,
            [&request](Settings& settings) { ApplyTargetRequest(request, settings); });
  CloseIfActionEnded();
}

void TFMain::AbortRemoteShutdown1Click() {
  if (RefuseWhileDomainActionRuns() || !RemoteActionsSupported(*this)) {
    return;
  }
  TargetRequest request = BlankTargetRequest(AppSettings);
  TFRComp dialog;
  // An abort withdraws whatever was asked, shutdown or restart.
  dialog.CBReboot.SetVisible(false);
  if (!dialog.Execute(request, AbortRemoteDialogTitle, TargetHelpContext) ||
      RefuseOverlongName(request.ComputerName, LogAbort)) {
    return;
  }
  // The credentials serve this abort only; the stored options stay those of the last request.
  Settings target = AppSettings;
  ApplyTargetRequest(request, target);
  AbortRemoteShutdown(target.RemoteComputer, target);
}
