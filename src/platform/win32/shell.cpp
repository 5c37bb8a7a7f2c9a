#include "platform/shell.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

#include <shellapi.h>

#include <cstring>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {
constexpr char Shell32[] = "shell32.dll";
}

static_assert(sizeof(NotifyIconData::tip) == sizeof(NOTIFYICONDATAA{}.szTip));

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  static const auto call = LateBound<decltype(::Shell_NotifyIconA)>(Shell32, "Shell_NotifyIconA");
  if (call == nullptr) {
    return false;
  }
  NOTIFYICONDATAA icon{};
  // The shell reads no further than the size the record declares.
  icon.cbSize = data.size;
  icon.hWnd = ToWindows<HWND>(data.window);
  icon.uID = data.id;
  icon.uFlags = data.flags;
  icon.uCallbackMessage = data.callbackMessage;
  icon.hIcon = ToWindows<HICON>(data.icon);
  std::memcpy(icon.szTip, data.tip, sizeof icon.szTip);
  return call(message, &icon);
}

std::uintptr_t ShellExecuteA(win::Handle window, const char* operation, const char* file,
                             const char* parameters, const char* directory,
                             std::uint32_t showCommand) {
  static const auto call = LateBound<decltype(::ShellExecuteA)>(Shell32, "ShellExecuteA");
  return call != nullptr ? FromWindows(call(ToWindows<HWND>(window), operation, file, parameters,
                                            directory, static_cast<INT>(showCommand)))
                         : 0;
}

win::Handle ShellExecuteExA(const char* verb, const char* file, const char* parameters,
                            std::uint32_t showCommand) {
  static const auto call = LateBound<decltype(::ShellExecuteExA)>(Shell32, "ShellExecuteExA");
  if (call == nullptr) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return win::NoHandle;
  }
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // The process handle comes back for waiting on it; no message box of the shell's own.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = verb;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = static_cast<int>(showCommand);
  if (!call(&info)) {
    return win::NoHandle;
  }
  return FromWindows(info.hProcess);
}

} // namespace platform
