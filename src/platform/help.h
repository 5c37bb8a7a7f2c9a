#pragma once
// HTML Help, reached through hhctrl.ocx at run time.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

// HtmlHelpA. For HH_INITIALIZE and HH_UNINITIALIZE `data` carries the cookie: its address
// when initialising, its value when uninitialising.
std::uintptr_t HtmlHelpA(win::Handle window, const char* file, std::uint32_t command,
                         std::uintptr_t data);

} // namespace platform
