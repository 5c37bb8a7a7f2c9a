#include "platform/console.h"

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

#include <atomic>

namespace platform {

namespace {

// Set once on the main thread before the handler is installed, read by Windows' thread.
std::atomic<HWND> CancelWindow{nullptr};
std::atomic<UINT> CancelMessage{0};
std::atomic<DWORD> CancelWait{0};
// Manual reset: every request that waits sees the end steps done.
HANDLE EndStepsDone = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  // Refused once the window is gone: its end steps are then under way, and are waited for all
  // the same.
  ::PostMessageA(CancelWindow.load(), CancelMessage.load(), 0, 0);
  ::WaitForSingleObject(EndStepsDone, CancelWait.load());
  return TRUE;
}

} // namespace

bool AttachConsole(std::uint32_t processId) {
  return ::AttachConsole(processId) != 0;
}

win::Handle GetStdHandle(std::uint32_t which) {
  return win32::FromFileHandle(::GetStdHandle(which));
}

bool IsConsole(win::Handle output) {
  DWORD mode = 0;
  return ::GetConsoleMode(win32::ToWindows<HANDLE>(output), &mode) != 0;
}

bool WriteConsoleText(win::Handle console, const std::string& text) {
  std::wstring wide;
  if (!win32::AnsiToWide(text, wide)) {
    return false;
  }
  DWORD written = 0;
  return wide.empty() || ::WriteConsoleW(win32::ToWindows<HANDLE>(console), wide.data(),
                                         static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
}

bool RouteConsoleCancel(win::Handle window, std::uint32_t message, std::uint32_t waitMilliseconds) {
  if (EndStepsDone == nullptr) {
    EndStepsDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  CancelWindow = win32::ToWindows<HWND>(window);
  CancelMessage = message;
  CancelWait = waitMilliseconds;
  return EndStepsDone != nullptr && ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}

void ConsoleCancelHandled() {
  if (EndStepsDone != nullptr) {
    ::SetEvent(EndStepsDone);
  }
}

} // namespace platform
