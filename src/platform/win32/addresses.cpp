// This computer's IPv4 addresses, from the IP helper.

#include "platform/network.h"

#include "platform/win32/late_bound.h"

#include <winsock2.h>

#include <iphlpapi.h>

#include <cstdio>
#include <vector>

namespace platform {

namespace {

constexpr char IpHelper[] = "iphlpapi.dll";
// Big enough for the adapters of most computers; Windows says when it is not.
constexpr ULONG FirstBufferSize = 16 * 1024;
constexpr int MaxAttempts = 3;
constexpr ULONG AddressFlags =
    GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

std::string DottedQuad(const sockaddr_in& address) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&address.sin_addr);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

} // namespace

std::uint32_t GetAdaptersAddresses(std::vector<std::string>& addresses) {
  static const auto call =
      win32::LateBound<decltype(::GetAdaptersAddresses)>(IpHelper, "GetAdaptersAddresses");
  if (call == nullptr) {
    return ERROR_PROC_NOT_FOUND;
  }
  ULONG size = FirstBufferSize;
  std::vector<unsigned char> buffer;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < MaxAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size);
    result = call(AF_INET, AddressFlags, nullptr,
                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result != ERROR_SUCCESS) {
    return result;
  }
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
       adapter = adapter->Next) {
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      const SOCKADDR* address = unicast->Address.lpSockaddr;
      if (address != nullptr && address->sa_family == AF_INET) {
        addresses.push_back(DottedQuad(*reinterpret_cast<const sockaddr_in*>(address)));
      }
    }
  }
  return ERROR_SUCCESS;
}

} // namespace platform
