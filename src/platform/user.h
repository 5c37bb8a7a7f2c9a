#pragma once
// The user32 calls made outside the window toolkit.

#include "platform/winconst.h"

namespace platform {

int MessageBoxA(win::Handle owner, const char* text, const char* caption,
                win::MessageBoxStyle style);
int GetSystemMetrics(int index);

} // namespace platform
