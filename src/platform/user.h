#pragma once
// The user32 calls made outside the window toolkit.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

// A message box. Once a timeout is set it closes by itself after that time and answers
// win::IdTimedOut, so that a run nobody watches never waits on a click.
int MessageBoxA(win::Handle owner, const char* text, const char* caption,
                win::MessageBoxStyle style);
// For every message box of the process from now on; 0, the default, leaves them up until a
// person answers.
void SetMessageBoxTimeout(std::uint32_t milliseconds);
int GetSystemMetrics(int index);

} // namespace platform
