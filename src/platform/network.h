#pragma once
// Network provider: connections to a computer's administrative share and the list of computers
// in the current network context.

#include "platform/winconst.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// NETRESOURCEA; absent texts are null.
struct NetResource {
  std::uint32_t scope = 0;
  std::uint32_t type = 0;
  std::uint32_t displayType = 0;
  std::uint32_t usage = 0;
  const char* localName = nullptr;
  const char* remoteName = nullptr;
  const char* comment = nullptr;
  const char* provider = nullptr;
};

// The two fields of an enumerated NETRESOURCEA the program reads.
struct NetEntry {
  std::uint32_t displayType = 0;
  std::optional<std::string> remoteName;
};

std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                  const char* userName, std::uint32_t flags);
std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags, bool force);
std::uint32_t WNetOpenEnumA(std::uint32_t scope, std::uint32_t type, std::uint32_t usage,
                            const NetResource* start, win::Handle& enumeration);
// WNetEnumResourceA into a buffer of `bufferSize` bytes; `count` asks for that many entries
// (0xFFFFFFFF: as many as fit) and returns how many came. The entries are appended.
std::uint32_t WNetEnumResourceA(win::Handle enumeration, std::uint32_t& count,
                                std::uint32_t bufferSize, std::vector<NetEntry>& entries);
std::uint32_t WNetCloseEnum(win::Handle enumeration);

// GetAdaptersAddresses for IPv4: this computer's unicast addresses in dotted form ("10.0.0.7"),
// appended. Returns the Windows error code, 0 on success.
std::uint32_t GetAdaptersAddresses(std::vector<std::string>& addresses);

} // namespace platform
