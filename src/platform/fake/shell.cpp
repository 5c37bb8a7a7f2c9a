// Shell and HTML Help of the fake Windows.

#include "platform/shell.h"
#include "platform/help.h"

#include "platform/fake/internal.h"

namespace platform {

using fake::NextResult;
using fake::Record;

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  Record("Shell_NotifyIconA", message, data.size, data.window, data.id, data.flags,
         data.callbackMessage, data.icon != win::NoHandle ? "icon" : "no icon", data.tip);
  return NextResult("Shell_NotifyIconA", 1) != 0;
}

std::uintptr_t ShellExecuteA(win::Handle window, const char* operation, const char* file,
                             const char* parameters, const char* directory,
                             std::uint32_t showCommand) {
  Record("ShellExecuteA", window, operation, file, parameters, directory, showCommand);
  return static_cast<std::uintptr_t>(NextResult("ShellExecuteA", 42));
}

win::Handle ShellExecuteExA(const char* verb, const char* file, const char* parameters,
                            std::uint32_t showCommand) {
  Record("ShellExecuteExA", verb, file, parameters, showCommand);
  constexpr win::Handle StartedProcess = 0x5000;
  if (NextResult("ShellExecuteExA", 1) == 0) {
    fake::TheWorld().lastError =
        static_cast<win::ErrorCode>(NextResult("ShellExecuteExA.error", win::ErrorCancelled));
    return win::NoHandle;
  }
  return StartedProcess;
}

std::uintptr_t HtmlHelpA(win::Handle window, const char* file, std::uint32_t command,
                         std::uintptr_t data) {
  Record("HtmlHelpA", window, file, command, data);
  return static_cast<std::uintptr_t>(NextResult("HtmlHelpA", 0));
}

} // namespace platform
