#pragma once
// Threads of the process, for work that must not hold up the window: each runs one body and
// ends. Nothing waits on a thread without a limit: a body that hangs in a network call must not
// hang whoever started it, so a thread is let go and ends on its own.

#include "platform/winconst.h"

#include <cstdint>
#include <functional>

namespace platform {

// CreateThread running `body`; NoHandle when Windows can't start one (the body then never runs).
win::Handle StartThread(std::function<void()> body);
// WaitForSingleObject for at most `milliseconds`: true once the thread's body has returned.
bool WaitForThread(win::Handle thread, std::uint32_t milliseconds);
// CloseHandle without waiting: the thread runs on to its end, and what it uses it must own.
void ReleaseThread(win::Handle thread);

// A lock for what threads share: a critical section, which every Windows release has. Taken
// with std::lock_guard.
class Mutex {
public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  void unlock();

private:
  void* native_;
};

} // namespace platform
