#include "platform/user.h"

#include "platform/win32/handles.h"

#include <map>

namespace platform {

using win32::ToWindows;

namespace {

std::uint32_t BoxTimeout = 0;
// Where the window of the box being opened goes, until its creation is seen.
HWND* OpeningBox = nullptr;
// The open boxes that close by themselves, by the id of their timer.
std::map<UINT_PTR, HWND*> TimedBoxes;

// The first top-level window the thread creates while a box opens is the box itself; its
// buttons and texts come after it.
LRESULT CALLBACK NoteBoxWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && OpeningBox != nullptr) {
    const auto& creation = *reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    if ((creation.lpcs->style & WS_CHILD) == 0) {
      *OpeningBox = reinterpret_cast<HWND>(wParam);
      OpeningBox = nullptr;
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A thread timer's routine runs from whichever message loop is going, also a box's own.
void CALLBACK EndTimedBox(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  const auto box = TimedBoxes.find(timer);
  if (box != TimedBoxes.end() && *box->second != nullptr) {
    ::EndDialog(*box->second, win::IdTimedOut);
  }
}

int TimedMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  HWND box = nullptr;
  OpeningBox = &box;
  const HHOOK hook = ::SetWindowsHookExA(WH_CBT, NoteBoxWindow, nullptr, ::GetCurrentThreadId());
  const UINT_PTR timer = ::SetTimer(nullptr, 0, BoxTimeout, EndTimedBox);
  if (timer != 0) {
    TimedBoxes[timer] = &box;
  }
  const int answer = ::MessageBoxA(owner, text, caption, style);
  if (timer != 0) {
    ::KillTimer(nullptr, timer);
    TimedBoxes.erase(timer);
  }
  if (hook != nullptr) {
    ::UnhookWindowsHookEx(hook);
  }
  OpeningBox = nullptr;
  return answer;
}

} // namespace

int MessageBoxA(win::Handle owner, const char* text, const char* caption,
                win::MessageBoxStyle style) {
  if (BoxTimeout == 0) {
    return ::MessageBoxA(ToWindows<HWND>(owner), text, caption, style);
  }
  return TimedMessageBox(ToWindows<HWND>(owner), text, caption, style);
}

void SetMessageBoxTimeout(std::uint32_t milliseconds) {
  BoxTimeout = milliseconds;
}

int GetSystemMetrics(int index) {
  return ::GetSystemMetrics(index);
}

} // namespace platform
