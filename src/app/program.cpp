#include "app/program.h"

#include "actions/countdown.h"
#include "actions/dispatcher.h"
#include "actions/domain_action.h"
#include "actions/local_power.h"
#include "actions/remote_shutdown.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "common/texts.h"
#include "logon/auto_logon_dialog.h"
#include "platform/console.h"
#include "platform/kernel.h"
#include "platform/user.h"
#include "settings/run_at_startup.h"
#include "ui/application.h"

#include <exception>

Settings AppSettings;
std::string SettingsFilePath;

namespace {

// Windows ends a process whose console was closed about five seconds after asking it; the end
// steps must be done before that.
constexpr std::uint32_t ConsoleCancelWaitMilliseconds = 4000;

// A window that can't be created is told with the system's text for the reason.
void ShowCreationFailure(std::uint32_t error) {
  platform::MessageBoxA(win::NoHandle, SystemErrorText(error).c_str(), MessageCaption,
                        win::MbOk | win::MbIconError);
}

} // namespace

win::Handle AcquireSingleInstance(const char* name) {
  const win::Handle mutex = platform::CreateMutexA(true, name);
  if (platform::GetLastError() == win::ErrorAlreadyExists) {
    return win::NoHandle;
  }
  return mutex;
}

bool AttachScriptConsole() {
  return platform::GetStdHandle(win::StdOutputHandle) != win::NoHandle ||
         platform::AttachConsole(win::AttachParentProcess);
}

void WriteConsoleLine(const std::string& text) {
  const win::Handle output = platform::GetStdHandle(win::StdOutputHandle);
  if (output == win::NoHandle) {
    return;
  }
  std::string line = text.substr(0, text.find_last_not_of("\r\n ") + 1);
  line += "\r\n";
  // A console shows its own code page, which is not the one the program's texts are in; a file
  // or a pipe gets the bytes as they are.
  if (platform::IsConsole(output)) {
    platform::WriteConsoleText(output, line);
  } else {
    platform::WriteFile(output, line.data(), static_cast<std::uint32_t>(line.size()));
  }
}

int RunProgram(const std::vector<std::string>& arguments) {
  // Before anything can load a DLL by its name.
  platform::KeepDllSearchInSystemFolder();
  platform::SetErrorMode(win::SemNoGpFaultErrorBox | win::SemNoAlignmentFaultExcept);
  ui::SetApplicationTitle(MessageCaption);
  ui::SetCreationFailureHandler(ShowCreationFailure);
  // The elevated copy that sets automatic logon runs beside the instance that started it and
  // waits for it; it touches nothing else.
  if (CommandLineAutoLogon(arguments)) {
    return RunAutoLogonDialogAlone();
  }
  ClearSelectSound();
  if (NamesKeyword(arguments)) {
    ui::SetAutoCloseAfter(UnattendedBoxMilliseconds);
  }

  const win::Handle mutex = AcquireSingleInstance(InstanceMutexName);
  if (mutex == win::NoHandle) {
    // A script learns that its computers were not asked, and waits on no box for it.
    const std::uint32_t action = CommandLineAction(arguments);
    const bool scripted = CommandLineRemote(arguments).command != RemoteCommand::None ||
                          action == ActionDomainShutdown || action == ActionDomainReboot;
    if (scripted && AttachScriptConsole()) {
      WriteConsoleLine(AlreadyRunningText);
    } else {
      platform::MessageBoxA(win::NoHandle, AlreadyRunningText, MessageCaption,
                            win::MbOk | win::MbIconInformation);
    }
    return scripted ? static_cast<int>(win::ErrorAlreadyExists) : 0;
  }

  SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                     .remoteShutdownByName = RemoteShutdownByName,
                     .domainShutdown = DomainShutdown,
                     .refuseRemoteAction = RefuseWhileDomainActionRuns});
  int exitCode = 0;
  try {
    TFMain mainWindow(arguments);
    if (!mainWindow.Realized()) {
      ui::ReportCreationFailure(mainWindow.CreationError());
      platform::ReleaseMutex(mutex);
      return static_cast<int>(mainWindow.CreationError());
    }
    ui::SetMainForm(&mainWindow);
    platform::RouteConsoleCancel(mainWindow.native, WM_CONSOLECANCEL,
                                 ConsoleCancelWaitMilliseconds);
    ui::RunApplication(mainWindow);
    exitCode = mainWindow.ExitCode;
  } catch (const std::exception& error) {
    ui::ShowException(error.what());
  } catch (...) {
    ui::ShowException(UnexpectedErrorText);
  }
  // Also one that a window's handler caught and showed: the run did not end as it should.
  if (ui::ExceptionShown()) {
    exitCode = static_cast<int>(win::ErrorUnhandledException);
  }
  platform::ReleaseMutex(mutex);
  platform::ConsoleCancelHandled();
  return exitCode;
}
