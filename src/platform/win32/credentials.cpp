#include "platform/credentials.h"

#include "platform/win32/late_bound.h"
#include "platform/win32/text.h"

#include <wincred.h>

namespace platform {

using win32::LateBound;

namespace {

constexpr char Advapi32[] = "advapi32.dll";

// The credential store came with Windows XP; the program still starts on older Windows.
template <typename Function> Function* CredentialCall(const char* name) {
  return LateBound<Function>(Advapi32, name);
}

} // namespace

win::ErrorCode WriteGenericCredential(const char* target, const char* userName,
                                      std::string_view secret) {
  static const auto write = CredentialCall<decltype(::CredWriteA)>("CredWriteA");
  if (write == nullptr) {
    return ERROR_PROC_NOT_FOUND;
  }
  std::wstring wide;
  if (!win32::AnsiToWide(secret, wide)) {
    return ERROR_NO_UNICODE_TRANSLATION;
  }
  CREDENTIALA credential{};
  credential.Type = CRED_TYPE_GENERIC;
  // Only read, although the field isn't declared const.
  credential.TargetName = const_cast<char*>(target);
  credential.UserName =
      userName != nullptr && userName[0] != '\0' ? const_cast<char*>(userName) : nullptr;
  credential.CredentialBlobSize = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
  credential.CredentialBlob = reinterpret_cast<BYTE*>(wide.data());
  // Kept on this computer for this user, never carried to other computers with a roaming
  // profile: the password is one of this network's.
  credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
  const win::ErrorCode result = write(&credential, 0) ? ERROR_SUCCESS : ::GetLastError();
  win32::Wipe(wide);
  return result;
}

win::ErrorCode ReadGenericCredential(const char* target, SecretText& secret) {
  static const auto read = CredentialCall<decltype(::CredReadA)>("CredReadA");
  static const auto release = CredentialCall<decltype(::CredFree)>("CredFree");
  if (read == nullptr || release == nullptr) {
    return ERROR_PROC_NOT_FOUND;
  }
  CREDENTIALA* credential = nullptr;
  if (!read(target, CRED_TYPE_GENERIC, 0, &credential)) {
    return ::GetLastError();
  }
  const auto* blob = reinterpret_cast<const wchar_t*>(credential->CredentialBlob);
  const win::ErrorCode result =
      win32::WideToAnsi(blob, credential->CredentialBlobSize / sizeof(wchar_t), secret)
          ? ERROR_SUCCESS
          : ERROR_NO_UNICODE_TRANSLATION;
  ::SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
  release(credential);
  return result;
}

win::ErrorCode DeleteGenericCredential(const char* target) {
  static const auto remove = CredentialCall<decltype(::CredDeleteA)>("CredDeleteA");
  if (remove == nullptr) {
    return ERROR_PROC_NOT_FOUND;
  }
  return remove(target, CRED_TYPE_GENERIC, 0) ? ERROR_SUCCESS : ::GetLastError();
}

} // namespace platform
