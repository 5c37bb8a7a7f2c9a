#pragma once
// Threads of the process, for work that must not hold up the window: each runs one body and
// ends; the window's thread asks whether it has ended instead of waiting on it.

#include "platform/winconst.h"

#include <functional>

namespace platform {

// CreateThread running `body`; NoHandle when Windows can't start one (the body then never runs).
win::Handle StartThread(std::function<void()> body);
// WaitForSingleObject with no wait: true once the thread's body has returned.
bool ThreadEnded(win::Handle thread);
// Waits for the thread to end, then CloseHandle.
void JoinThread(win::Handle thread);

} // namespace platform
