// Shell and HTML Help of the fake Windows.

#include "platform/shell.h"
#include "platform/help.h"

#include "platform/fake/internal.h"

namespace platform {

using fake::NextResult;
using fake::Record;

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  if (message == win::NimSetVersion) {
    Record("Shell_NotifyIconA", message, data.window, data.id, data.version);
  } else {
    Record("Shell_NotifyIconA", message, data.size, data.window, data.id, data.flags,
           data.callbackMessage, data.icon != win::NoHandle ? "icon" : "no icon", data.tip);
  }
  return NextResult("Shell_NotifyIconA", 1) != 0;
}

bool Shell_NotifyIconGetRect(win::Handle window, std::uint32_t id, ScreenRect& rect) {
  Record("Shell_NotifyIconGetRect", window, id);
  if (!fake::TheWorld().trayIconRect) {
    return false;
  }
  rect = *fake::TheWorld().trayIconRect;
  return true;
}

win::ScreenEdge TaskbarEdge() {
  return fake::TheWorld().taskbarEdge;
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
