#include "platform/network.h"

#include "platform/win32/handles.h"

#include <winnetwk.h>

namespace platform {

using win32::FromWindows;
using win32::ToWindows;

namespace {

// The texts are only read by the provider; NETRESOURCEA merely predates const.
NETRESOURCEA ToWindowsResource(const NetResource& resource) {
  NETRESOURCEA converted{};
  converted.dwScope = resource.scope;
  converted.dwType = resource.type;
  converted.dwDisplayType = resource.displayType;
  converted.dwUsage = resource.usage;
  converted.lpLocalName = const_cast<char*>(resource.localName);
  converted.lpRemoteName = const_cast<char*>(resource.remoteName);
  converted.lpComment = const_cast<char*>(resource.comment);
  converted.lpProvider = const_cast<char*>(resource.provider);
  return converted;
}

} // namespace

std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                  const char* userName, std::uint32_t flags) {
  NETRESOURCEA converted = ToWindowsResource(resource);
  return ::WNetAddConnection2A(&converted, password, userName, flags);
}

std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags, bool force) {
  return ::WNetCancelConnection2A(name, flags, force);
}

std::uint32_t WNetOpenEnumA(std::uint32_t scope, std::uint32_t type, std::uint32_t usage,
                            const NetResource* start, win::Handle& enumeration) {
  NETRESOURCEA converted{};
  if (start != nullptr) {
    converted = ToWindowsResource(*start);
  }
  HANDLE opened = nullptr;
  const DWORD status =
      ::WNetOpenEnumA(scope, type, usage, start != nullptr ? &converted : nullptr, &opened);
  if (status == NO_ERROR) {
    enumeration = FromWindows(opened);
  }
  return status;
}

std::uint32_t WNetEnumResourceA(win::Handle enumeration, std::uint32_t& count,
                                std::uint32_t bufferSize, std::vector<NetEntry>& entries) {
  // The provider places the records at the start of the buffer and their texts after them, so
  // the buffer is made of records to get their alignment.
  std::vector<NETRESOURCEA> buffer((bufferSize + sizeof(NETRESOURCEA) - 1) / sizeof(NETRESOURCEA));
  DWORD wanted = count;
  DWORD size = bufferSize;
  const DWORD status =
      ::WNetEnumResourceA(ToWindows<HANDLE>(enumeration), &wanted, buffer.data(), &size);
  if (status != NO_ERROR) {
    count = 0;
    return status;
  }
  count = wanted;
  for (DWORD i = 0; i < wanted && i < buffer.size(); ++i) {
    NetEntry entry;
    entry.displayType = buffer[i].dwDisplayType;
    if (buffer[i].lpRemoteName != nullptr) {
      entry.remoteName = buffer[i].lpRemoteName;
    }
    entries.push_back(std::move(entry));
  }
  return status;
}

std::uint32_t WNetCloseEnum(win::Handle enumeration) {
  return ::WNetCloseEnum(ToWindows<HANDLE>(enumeration));
}

} // namespace platform
