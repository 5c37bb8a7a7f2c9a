#pragma once
// WinINet: one HTTP GET.

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

std::uint32_t InternetAttemptConnect(std::uint32_t reserved);
win::Handle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                          const char* proxyBypass, std::uint32_t flags);
win::Handle InternetOpenUrlA(win::Handle internet, const char* url, const char* headers,
                             std::uint32_t headersLength, std::uint32_t flags,
                             std::uintptr_t context);
// No index argument: the program asks for one header value.
bool HttpQueryInfoA(win::Handle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t& length);
bool InternetReadFile(win::Handle file, void* buffer, std::uint32_t toRead, std::uint32_t& read);
bool InternetCloseHandle(win::Handle handle);

} // namespace platform
