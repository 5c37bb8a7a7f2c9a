#include "app/program.h"

#include "actions/countdown.h"
#include "actions/dispatcher.h"
#include "actions/remote_shutdown.h"
#include "app/main_window.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/user.h"
#include "settings/run_at_startup.h"
#include "ui/application.h"

#include <exception>

Settings AppSettings;
std::string SettingsFilePath;

win::Handle AcquireSingleInstance(const char* name) {
  const win::Handle mutex = platform::CreateMutexA(true, name);
  if (platform::GetLastError() == win::ErrorAlreadyExists) {
    return win::NoHandle;
  }
  return mutex;
}

int RunProgram(const std::vector<std::string>& arguments) {
  platform::SetErrorMode(win::SemNoGpFaultErrorBox | win::SemNoAlignmentFaultExcept);
  ui::SetApplicationTitle(MessageCaption);
  ClearSelectSound();

  const win::Handle mutex = AcquireSingleInstance(InstanceMutexName);
  if (mutex == win::NoHandle) {
    platform::MessageBoxA(win::NoHandle, AlreadyRunningText, MessageCaption,
                          win::MbOk | win::MbIconInformation);
    return 0;
  }

  SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                     .remoteShutdownByName = RemoteShutdownByName,
                     .domainShutdown = DomainShutdown});
  try {
    TFMain mainWindow(arguments);
    ui::SetMainForm(&mainWindow);
    ui::RunApplication(mainWindow);
  } catch (const std::exception& error) {
    ui::ShowException(error.what());
  }
  platform::ReleaseMutex(mutex);
  return 0;
}
