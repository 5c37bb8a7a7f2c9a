#include "platform/internet.h"

#include "platform/win32/handles.h"

#include <wininet.h>

namespace platform {

using win32::FromWindows;
using win32::ToWindows;

std::uint32_t InternetAttemptConnect(std::uint32_t reserved) {
  return ::InternetAttemptConnect(reserved);
}

win::Handle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                          const char* proxyBypass, std::uint32_t flags) {
  return FromWindows(::InternetOpenA(agent, accessType, proxy, proxyBypass, flags));
}

win::Handle InternetOpenUrlA(win::Handle internet, const char* url, const char* headers,
                             std::uint32_t headersLength, std::uint32_t flags,
                             std::uintptr_t context) {
  return FromWindows(::InternetOpenUrlA(ToWindows<HINTERNET>(internet), url, headers, headersLength,
                                        flags, context));
}

bool HttpQueryInfoA(win::Handle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t& length) {
  DWORD size = length;
  const bool ok =
      ::HttpQueryInfoA(ToWindows<HINTERNET>(request), infoLevel, buffer, &size, nullptr);
  // On success the size is the data's; on ERROR_INSUFFICIENT_BUFFER it is the size needed.
  length = size;
  return ok;
}

bool InternetReadFile(win::Handle file, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
  DWORD done = 0;
  const bool ok = ::InternetReadFile(ToWindows<HINTERNET>(file), buffer, toRead, &done);
  read = done;
  return ok;
}

bool InternetCloseHandle(win::Handle handle) {
  return ::InternetCloseHandle(ToWindows<HINTERNET>(handle));
}

} // namespace platform
