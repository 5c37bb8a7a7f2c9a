#pragma once
// Shell: the notification-area icon and opening a document or address.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

// NOTIFYICONDATAA in its Windows 2000 layout, as far as the program fills it.
struct NotifyIconData {
  std::uint32_t size = win::NotifyIconDataV2Size;
  win::Handle window = win::NoHandle;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  win::Handle icon = win::NoHandle;
  char tip[128] = {};
  std::uint32_t version = 0; // for NIM_SETVERSION
};

// A rectangle in screen coordinates.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data);
// Where the icon is on the screen (Windows 7 and later); false where Windows can't tell.
bool Shell_NotifyIconGetRect(win::Handle window, std::uint32_t id, ScreenRect& rect);
// The screen edge the taskbar lies along: bottom where Windows can't tell.
win::ScreenEdge TaskbarEdge();
std::uintptr_t ShellExecuteA(win::Handle window, const char* operation, const char* file,
                             const char* parameters, const char* directory,
                             std::uint32_t showCommand);
// ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS: the started process, to wait on and close, or
// NoHandle with the reason as the last error (ERROR_CANCELLED: the user said no to the
// elevation prompt of the "runas" verb).
win::Handle ShellExecuteExA(const char* verb, const char* file, const char* parameters,
                            std::uint32_t showCommand);

} // namespace platform
