#include "settings/remote_password.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/credentials.h"

void LoadRemotePassword(Settings& settings) {
  SecretText secret;
  if (platform::ReadGenericCredential(RemoteCredentialTarget, secret) == win::ErrorSuccess) {
    CopyBounded(settings.Password, secret.c_str(), SettingsTextCapacity);
  }
}

win::ErrorCode StoreRemotePassword(const Settings& settings) {
  if (settings.Password[0] == '\0') {
    const win::ErrorCode removed = platform::DeleteGenericCredential(RemoteCredentialTarget);
    return removed == win::ErrorNotFound ? win::ErrorSuccess : removed;
  }
  return platform::WriteGenericCredential(RemoteCredentialTarget, settings.UserName,
                                          settings.Password);
}
