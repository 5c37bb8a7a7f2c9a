#include "platform/user.h"

#include "platform/win32/handles.h"

namespace platform {

using win32::ToWindows;

int MessageBoxA(win::Handle owner, const char* text, const char* caption,
                win::MessageBoxStyle style) {
  return ::MessageBoxA(ToWindows<HWND>(owner), text, caption, style);
}

int GetSystemMetrics(int index) {
  return ::GetSystemMetrics(index);
}

} // namespace platform
