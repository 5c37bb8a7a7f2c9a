#include "platform/threads.h"

#include "platform/win32/handles.h"

#include <memory>

namespace platform {

namespace {

DWORD WINAPI RunBody(void* parameter) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

} // namespace

win::Handle StartThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  HANDLE thread = ::CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr);
  if (thread == nullptr) {
    return win::NoHandle;
  }
  // The thread owns the body from here on.
  owned.release();
  return win32::FromWindows(thread);
}

bool WaitForThread(win::Handle thread, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(win32::ToWindows<HANDLE>(thread), milliseconds) == WAIT_OBJECT_0;
}

void ReleaseThread(win::Handle thread) {
  ::CloseHandle(win32::ToWindows<HANDLE>(thread));
}

Mutex::Mutex() : native_(new CRITICAL_SECTION) {
  ::InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}

Mutex::~Mutex() {
  ::DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
  delete static_cast<CRITICAL_SECTION*>(native_);
}

void Mutex::lock() {
  ::EnterCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}

void Mutex::unlock() {
  ::LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}

} // namespace platform
