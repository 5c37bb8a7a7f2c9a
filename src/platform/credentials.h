#pragma once
// The user's Windows credential store: one generic credential of the program's own, which
// Windows keeps per user and protects with the user's logon.

#include "common/secret_text.h"
#include "platform/winconst.h"

#include <string_view>

namespace platform {

// CredWriteA of a generic credential persisted on this machine; the secret is kept as UTF-16
// text, converted from the ANSI code page. Each call returns the Windows error code, 0 on
// success; ERROR_NOT_FOUND when there is no credential of that target.
win::ErrorCode WriteGenericCredential(const char* target, const char* userName,
                                      std::string_view secret);
// CredReadA of the generic credential, its secret back in the ANSI code page.
win::ErrorCode ReadGenericCredential(const char* target, SecretText& secret);
// CredDeleteA.
win::ErrorCode DeleteGenericCredential(const char* target);

} // namespace platform
