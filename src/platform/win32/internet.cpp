#include "platform/internet.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

#include <wininet.h>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {
constexpr char WinInet[] = "wininet.dll";
}

std::uint32_t InternetAttemptConnect(std::uint32_t reserved) {
  static const auto call =
      LateBound<decltype(::InternetAttemptConnect)>(WinInet, "InternetAttemptConnect");
  return call != nullptr ? call(reserved) : ERROR_PROC_NOT_FOUND;
}

win::Handle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                          const char* proxyBypass, std::uint32_t flags) {
  static const auto call = LateBound<decltype(::InternetOpenA)>(WinInet, "InternetOpenA");
  return call != nullptr ? FromWindows(call(agent, accessType, proxy, proxyBypass, flags))
                         : win::NoHandle;
}

win::Handle InternetOpenUrlA(win::Handle internet, const char* url, const char* headers,
                             std::uint32_t headersLength, std::uint32_t flags,
                             std::uintptr_t context) {
  static const auto call = LateBound<decltype(::InternetOpenUrlA)>(WinInet, "InternetOpenUrlA");
  return call != nullptr ? FromWindows(call(ToWindows<HINTERNET>(internet), url, headers,
                                            headersLength, flags, context))
                         : win::NoHandle;
}

bool HttpQueryInfoA(win::Handle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t& length) {
  static const auto call = LateBound<decltype(::HttpQueryInfoA)>(WinInet, "HttpQueryInfoA");
  DWORD size = length;
  const bool ok =
      call != nullptr && call(ToWindows<HINTERNET>(request), infoLevel, buffer, &size, nullptr);
  // On success the size is the data's; on ERROR_INSUFFICIENT_BUFFER it is the size needed.
  length = size;
  return ok;
}

bool InternetReadFile(win::Handle file, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
  static const auto call = LateBound<decltype(::InternetReadFile)>(WinInet, "InternetReadFile");
  DWORD done = 0;
  const bool ok = call != nullptr && call(ToWindows<HINTERNET>(file), buffer, toRead, &done);
  read = done;
  return ok;
}

bool InternetCloseHandle(win::Handle handle) {
  static const auto call =
      LateBound<decltype(::InternetCloseHandle)>(WinInet, "InternetCloseHandle");
  return call != nullptr && call(ToWindows<HINTERNET>(handle));
}

} // namespace platform
