#include "platform/shell.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {
constexpr char Shell32[] = "shell32.dll";
}

static_assert(sizeof(NotifyIconData::tip) == sizeof(NOTIFYICONDATAA{}.szTip));
// The version lies inside the Windows 2000 layout that the record declares.
static_assert(offsetof(NOTIFYICONDATAA, uVersion) + sizeof(UINT) <= win::NotifyIconDataV2Size);

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
  icon.uVersion = data.version;
  return call(message, &icon);
}

bool Shell_NotifyIconGetRect(win::Handle window, std::uint32_t id, ScreenRect& rect) {
  static const auto call =
      LateBound<decltype(::Shell_NotifyIconGetRect)>(Shell32, "Shell_NotifyIconGetRect");
  if (call == nullptr) {
    return false;
  }
  NOTIFYICONIDENTIFIER icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = ToWindows<HWND>(window);
  icon.uID = id;
  RECT found{};
  if (FAILED(call(&icon, &found))) {
    return false;
  }
  rect = {found.left, found.top, found.right, found.bottom};
  return true;
}

win::ScreenEdge TaskbarEdge() {
  static const auto call = LateBound<decltype(::SHAppBarMessage)>(Shell32, "SHAppBarMessage");
  APPBARDATA bar{};
  bar.cbSize = sizeof bar;
  if (call == nullptr || call(ABM_GETTASKBARPOS, &bar) == 0 || bar.uEdge > ABE_BOTTOM) {
    return win::ScreenEdge::Bottom;
  }
  return static_cast<win::ScreenEdge>(bar.uEdge);
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
