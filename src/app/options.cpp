// The Options commands: the Preferences dialog and automatic logon.

#include "actions/local_power.h"
#include "actions/os_version.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/program.h"
#include "common/texts.h"
#include "dialogs/options_dialog.h"
#include "logon/auto_logon.h"
#include "logon/auto_logon_dialog.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "platform/shell.h"
#include "settings/registry_access.h"
#include "settings/settings_file.h"
#include "ui/application.h"

#include <cstdio>

namespace {
constexpr int PreferencesHelpContext = 1301;
// How often the wait for the elevated copy looks whether it has ended.
constexpr std::uint32_t CopyPollMilliseconds = 50;

// The format's two texts: a path and the system's text of a reason.
std::string PathAndReason(const char* format, const std::string& path, win::ErrorCode reason) {
  const std::string because = SystemErrorText(reason);
  const int length = std::snprintf(nullptr, 0, format, path.c_str(), because.c_str());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, path.c_str(), because.c_str());
  text.pop_back();
  return text;
}

} // namespace

void TFMain::Preferences1Click() {
  TFOption dialog;
  if (dialog.EditSettings(AppSettings, PreferencesHelpContext)) {
    SaveAppSettings(true);
  }
}

void TFMain::SaveAppSettings(bool confirmedByUser) {
  if (SettingsFileKept && !confirmedByUser) {
    return;
  }
  const char* path = SettingsFilePath.c_str();
  if ((!SettingsFileKept || KeepSettingsBackup(path)) &&
      SaveSettings(AppSettings, SettingsHeader, path)) {
    SettingsFileKept = false;
    return;
  }
  if (ui::SessionEnding() || SaveFailureReported) {
    return;
  }
  SaveFailureReported = true;
  ReportSaveFailure(platform::GetLastError());
}

void TFMain::ReportSaveFailure(win::ErrorCode reason) {
  if (!NamesKeyword(arguments_)) {
    ui::ShowMessageBox(this, PathAndReason(SaveFailedFormat, SettingsFilePath, reason),
                       MessageCaption, win::MbOk | win::MbIconError);
  } else if (AttachScriptConsole()) {
    WriteConsoleLine(PathAndReason(SaveFailedFormat, SettingsFilePath, reason));
  } else {
    char subKey[RegPathCapacity];
    const win::RegKey root = ParseRegPath(NoticeKey, subKey, sizeof subKey);
    WriteRegValue(root, subKey, KeywordRunSaveFailedValue, &reason, sizeof reason, win::RegDword);
  }
}

void TFMain::TellKeywordRunSaveFailure() {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(NoticeKey, subKey, sizeof subKey);
  win::ErrorCode reason = 0;
  win::RegType type = 0;
  std::uint32_t size = sizeof reason;
  if (!ReadRegValue(root, subKey, KeywordRunSaveFailedValue, reinterpret_cast<char*>(&reason),
                    sizeof reason, &type, &size)) {
    return;
  }
  // Told once: gone before the box, so that a run that ends meanwhile doesn't tell it again.
  DeleteRegValue(root, subKey, KeywordRunSaveFailedValue);
  DeleteRegKey(root, subKey);
  if (type == win::RegDword && size == sizeof reason) {
    ui::ShowMessageBox(this, PathAndReason(KeywordRunSaveFailedFormat, SettingsFilePath, reason),
                       MessageCaption, win::MbOk | win::MbIconError);
  }
}

void TFMain::TellSettingsKept(win::ErrorCode reason) {
  const std::string text = PathAndReason(SettingsUnreadableFormat, SettingsFilePath, reason);
  if (!NamesKeyword(arguments_)) {
    ui::ShowMessageBox(this, text, MessageCaption, win::MbOk | win::MbIconWarning);
  } else if (AttachScriptConsole()) {
    WriteConsoleLine(text);
  }
  // Without a console a keyword run waits on no box: the next start from the desktop, which finds
  // the file as it was, tells it.
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
  std::string program;
  if (!platform::GetProgramPath(program)) {
    ShowLastErrorBox(MessageCaption);
    return;
  }
  // The copy gets nothing but its keyword: the account and the password are typed into it.
  const win::Handle copy =
      platform::ShellExecuteExA(RunAsVerb, program.c_str(), AutoLogonKeyword, win::SwShowNormal);
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
