// Network provider and WinINet of the fake Windows.

#include "platform/network.h"
#include "platform/internet.h"

#include "platform/fake/internal.h"

#include <algorithm>
#include <cstring>

namespace platform {

using fake::NextResult;
using fake::Record;
using fake::TheWorld;

namespace {
constexpr win::Handle Enumeration = 0x5000;
constexpr win::Handle Internet = 0x6000;
constexpr win::Handle FirstRequest = 0x6001;
} // namespace

std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                  const char* userName, std::uint32_t flags) {
  Record("WNetAddConnection2A", resource.scope, resource.type, resource.displayType, resource.usage,
         resource.localName, resource.remoteName, resource.comment, resource.provider, password,
         userName, flags);
  // Like some providers, the result alone tells the error: the last error is left as it was.
  return static_cast<std::uint32_t>(NextResult("WNetAddConnection2A", 0));
}

std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags, bool force) {
  Record("WNetCancelConnection2A", name, flags, force);
  const auto result = static_cast<std::uint32_t>(NextResult("WNetCancelConnection2A", 0));
  TheWorld().lastError = result;
  return result;
}

std::uint32_t WNetOpenEnumA(std::uint32_t scope, std::uint32_t type, std::uint32_t usage,
                            const NetResource* start, win::Handle& enumeration) {
  Record("WNetOpenEnumA", scope, type, usage, start == nullptr ? "null" : "resource");
  if (TheWorld().openEnumResult != win::ErrorSuccess) {
    TheWorld().lastError = TheWorld().openEnumResult;
    return TheWorld().openEnumResult;
  }
  enumeration = Enumeration;
  return win::ErrorSuccess;
}

std::uint32_t WNetEnumResourceA(win::Handle enumeration, std::uint32_t& count,
                                std::uint32_t bufferSize, std::vector<NetEntry>& entries) {
  Record("WNetEnumResourceA", count, bufferSize);
  auto& batches = TheWorld().enumBatches;
  if (enumeration != Enumeration || batches.empty()) {
    return win::ErrorNoMoreItems;
  }
  count = static_cast<std::uint32_t>(batches.front().size());
  entries.insert(entries.end(), batches.front().begin(), batches.front().end());
  batches.pop_front();
  return win::ErrorSuccess;
}

std::uint32_t WNetCloseEnum(win::Handle enumeration) {
  Record("WNetCloseEnum");
  return enumeration == Enumeration ? win::ErrorSuccess : win::ErrorInvalidHandle;
}

std::uint32_t InternetAttemptConnect(std::uint32_t reserved) {
  Record("InternetAttemptConnect", reserved);
  return win::ErrorSuccess;
}

win::Handle InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                          const char* proxyBypass, std::uint32_t flags) {
  Record("InternetOpenA", agent, accessType, proxy, proxyBypass, flags);
  return NextResult("InternetOpenA", 1) != 0 ? Internet : win::NoHandle;
}

win::Handle InternetOpenUrlA(win::Handle internet, const char* url, const char* headers,
                             std::uint32_t headersLength, std::uint32_t flags,
                             std::uintptr_t context) {
  Record("InternetOpenUrlA", url, headers, headersLength, flags, context);
  if (internet != Internet || url == nullptr || TheWorld().web.count(url) == 0) {
    return win::NoHandle;
  }
  auto& requests = TheWorld().requests;
  const win::Handle request = FirstRequest + requests.size();
  requests[request] = {url, 0};
  return request;
}

bool HttpQueryInfoA(win::Handle request, std::uint32_t infoLevel, void* buffer,
                    std::uint32_t& length) {
  Record("HttpQueryInfoA", infoLevel, length);
  const auto found = TheWorld().requests.find(request);
  if (found == TheWorld().requests.end() || length < sizeof(std::uint32_t)) {
    return false;
  }
  const auto& status = TheWorld().web[found->second.first].status;
  if (!status) {
    return false;
  }
  std::memcpy(buffer, &*status, sizeof(std::uint32_t));
  length = sizeof(std::uint32_t);
  return true;
}

bool InternetReadFile(win::Handle file, void* buffer, std::uint32_t toRead, std::uint32_t& read) {
  Record("InternetReadFile", toRead);
  const auto found = TheWorld().requests.find(file);
  if (found == TheWorld().requests.end()) {
    return false;
  }
  const fake::HttpReply& reply = TheWorld().web[found->second.first];
  if (reply.readFails) {
    return false;
  }
  const std::size_t left = reply.body.size() - std::min(found->second.second, reply.body.size());
  const std::size_t take = std::min<std::size_t>({left, toRead, TheWorld().chunk});
  std::memcpy(buffer, reply.body.data() + found->second.second, take);
  found->second.second += take;
  read = static_cast<std::uint32_t>(take);
  return true;
}

bool InternetCloseHandle(win::Handle handle) {
  Record("InternetCloseHandle", handle == Internet ? "internet" : "request");
  return handle == Internet || TheWorld().requests.erase(handle) == 1;
}

std::uint32_t GetAdaptersAddresses(std::vector<std::string>& addresses) {
  Record("GetAdaptersAddresses");
  addresses.insert(addresses.end(), TheWorld().ipAddresses.begin(), TheWorld().ipAddresses.end());
  return win::ErrorSuccess;
}

} // namespace platform
