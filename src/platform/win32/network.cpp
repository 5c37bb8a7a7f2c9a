#include "platform/network.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

#include <winnetwk.h>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {

constexpr char Mpr[] = "mpr.dll";

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
  static const auto call = LateBound<decltype(::WNetAddConnection2A)>(Mpr, "WNetAddConnection2A");
  NETRESOURCEA converted = ToWindowsResource(resource);
  return call != nullptr ? call(&converted, password, userName, flags) : ERROR_PROC_NOT_FOUND;
}

std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags, bool force) {
  static const auto call =
      LateBound<decltype(::WNetCancelConnection2A)>(Mpr, "WNetCancelConnection2A");
  return call != nullptr ? call(name, flags, force) : ERROR_PROC_NOT_FOUND;
}

std::uint32_t WNetOpenEnumA(std::uint32_t scope, std::uint32_t type, std::uint32_t usage,
                            const NetResource* start, win::Handle& enumeration) {
  static const auto call = LateBound<decltype(::WNetOpenEnumA)>(Mpr, "WNetOpenEnumA");
  if (call == nullptr) {
    return ERROR_PROC_NOT_FOUND;
  }
  NETRESOURCEA converted{};
  if (start != nullptr) {
    converted = ToWindowsResource(*start);
  }
  HANDLE opened = nullptr;
  const DWORD status = call(scope, type, usage, start != nullptr ? &converted : nullptr, &opened);
  if (status == NO_ERROR) {
    enumeration = FromWindows(opened);
  }
  return status;
}

std::uint32_t WNetEnumResourceA(win::Handle enumeration, std::uint32_t& count,
                                std::uint32_t bufferSize, std::vector<NetEntry>& entries) {
  static const auto call = LateBound<decltype(::WNetEnumResourceA)>(Mpr, "WNetEnumResourceA");
  if (call == nullptr) {
    count = 0;
    return ERROR_PROC_NOT_FOUND;
  }
  // The provider places the records at the start of the buffer and their texts after them, so
  // the buffer is made of records to get their alignment.
  std::vector<NETRESOURCEA> buffer((bufferSize + sizeof(NETRESOURCEA) - 1) / sizeof(NETRESOURCEA));
  DWORD wanted = count;
  DWORD size = bufferSize;
  const DWORD status = call(ToWindows<HANDLE>(enumeration), &wanted, buffer.data(), &size);
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
  static const auto call = LateBound<decltype(::WNetCloseEnum)>(Mpr, "WNetCloseEnum");
  return call != nullptr ? call(ToWindows<HANDLE>(enumeration)) : ERROR_PROC_NOT_FOUND;
}

} // namespace platform
