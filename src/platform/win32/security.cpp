#include "platform/security.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/text.h"

#include <ntsecapi.h>

namespace platform {

using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {

constexpr char Advapi32[] = "advapi32.dll";

// The LSA's functions exist from NT 4.0 on and are looked up, so that the program still starts
// on the 9x family.
struct LsaFunctions {
  decltype(::LsaOpenPolicy)* open = LateBound<decltype(::LsaOpenPolicy)>(Advapi32, "LsaOpenPolicy");
  decltype(::LsaClose)* close = LateBound<decltype(::LsaClose)>(Advapi32, "LsaClose");
  decltype(::LsaStorePrivateData)* store =
      LateBound<decltype(::LsaStorePrivateData)>(Advapi32, "LsaStorePrivateData");
  decltype(::LsaRetrievePrivateData)* retrieve =
      LateBound<decltype(::LsaRetrievePrivateData)>(Advapi32, "LsaRetrievePrivateData");
  decltype(::LsaFreeMemory)* free = LateBound<decltype(::LsaFreeMemory)>(Advapi32, "LsaFreeMemory");
  decltype(::LsaNtStatusToWinError)* toError =
      LateBound<decltype(::LsaNtStatusToWinError)>(Advapi32, "LsaNtStatusToWinError");

  bool Present() const {
    return open != nullptr && close != nullptr && store != nullptr && retrieve != nullptr &&
           free != nullptr && toError != nullptr;
  }
};

const LsaFunctions& Lsa() {
  static const LsaFunctions functions;
  return functions;
}

LSA_UNICODE_STRING UnicodeString(std::wstring& text) {
  const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  return LSA_UNICODE_STRING{bytes, bytes, text.data()};
}

// The local policy opened with the access asked, or the error.
win::ErrorCode OpenPolicy(ACCESS_MASK access, LSA_HANDLE& policy) {
  LSA_OBJECT_ATTRIBUTES attributes{};
  return Lsa().toError(Lsa().open(nullptr, &attributes, access, &policy));
}

} // namespace

bool OpenProcessToken(std::uint32_t desiredAccess, win::Handle& token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &opened)) {
    return false;
  }
  token = FromWindows(opened);
  return true;
}

bool LookupPrivilegeValueA(const char* name, Luid& luid) {
  LUID found{};
  if (!::LookupPrivilegeValueA(nullptr, name, &found)) {
    return false;
  }
  luid = Luid{found.LowPart, found.HighPart};
  return true;
}

bool AdjustTokenPrivileges(win::Handle token, const Luid& luid, std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.lowPart;
  privileges.Privileges[0].Luid.HighPart = luid.highPart;
  privileges.Privileges[0].Attributes = attributes;
  return ::AdjustTokenPrivileges(ToWindows<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
}

bool CloseHandle(win::Handle handle) {
  return ::CloseHandle(ToWindows<HANDLE>(handle));
}

bool ProcessElevated() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool known =
      ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  ::CloseHandle(token);
  return known && elevation.TokenIsElevated != 0;
}

win::ErrorCode StorePrivateData(const char* name, const char* secret) {
  if (!Lsa().Present()) {
    return ERROR_PROC_NOT_FOUND;
  }
  std::wstring wideName;
  std::wstring wideSecret;
  if (!win32::AnsiToWide(name, wideName) ||
      (secret != nullptr && !win32::AnsiToWide(secret, wideSecret))) {
    return ERROR_NO_UNICODE_TRANSLATION;
  }
  LSA_HANDLE policy = nullptr;
  win::ErrorCode result = OpenPolicy(POLICY_CREATE_SECRET, policy);
  if (result == ERROR_SUCCESS) {
    LSA_UNICODE_STRING key = UnicodeString(wideName);
    LSA_UNICODE_STRING data = UnicodeString(wideSecret);
    result = Lsa().toError(Lsa().store(policy, &key, secret != nullptr ? &data : nullptr));
    Lsa().close(policy);
  }
  win32::Wipe(wideSecret);
  return result;
}

win::ErrorCode RetrievePrivateData(const char* name, SecretText& secret) {
  if (!Lsa().Present()) {
    return ERROR_PROC_NOT_FOUND;
  }
  std::wstring wideName;
  if (!win32::AnsiToWide(name, wideName)) {
    return ERROR_NO_UNICODE_TRANSLATION;
  }
  LSA_HANDLE policy = nullptr;
  win::ErrorCode result = OpenPolicy(POLICY_GET_PRIVATE_INFORMATION, policy);
  if (result != ERROR_SUCCESS) {
    return result;
  }
  LSA_UNICODE_STRING key = UnicodeString(wideName);
  LSA_UNICODE_STRING* data = nullptr;
  result = Lsa().toError(Lsa().retrieve(policy, &key, &data));
  if (result == ERROR_SUCCESS && data != nullptr) {
    if (!win32::WideToAnsi(data->Buffer, data->Length / sizeof(wchar_t), secret)) {
      result = ERROR_NO_UNICODE_TRANSLATION;
    }
    ::SecureZeroMemory(data->Buffer, data->Length);
    Lsa().free(data);
  }
  Lsa().close(policy);
  return result;
}

int InitiateSystemShutdownA(const char* machine, const char* message, std::uint32_t timeout,
                            bool forceAppsClosed, bool rebootAfterShutdown) {
  // The texts are only read; the declaration predates const.
  return ::InitiateSystemShutdownA(const_cast<char*>(machine), const_cast<char*>(message), timeout,
                                   forceAppsClosed, rebootAfterShutdown);
}

int AbortSystemShutdownA(const char* machine) {
  return ::AbortSystemShutdownA(const_cast<char*>(machine));
}

} // namespace platform
