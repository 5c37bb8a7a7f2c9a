// The user's credential store of the fake Windows.

#include "platform/credentials.h"

#include "platform/fake/internal.h"

namespace platform {

using fake::Record;
using fake::TheWorld;

win::ErrorCode WriteGenericCredential(const char* target, const char* userName,
                                      std::string_view secret) {
  Record("WriteGenericCredential", target, userName);
  fake::World& w = TheWorld();
  if (w.credentialRefusal) {
    return *w.credentialRefusal;
  }
  w.credentials[target] = {std::string(secret), userName == nullptr ? "" : userName};
  return win::ErrorSuccess;
}

win::ErrorCode ReadGenericCredential(const char* target, SecretText& secret) {
  Record("ReadGenericCredential", target);
  const fake::World& w = TheWorld();
  if (w.credentialRefusal) {
    return *w.credentialRefusal;
  }
  const auto found = w.credentials.find(target);
  if (found == w.credentials.end()) {
    return win::ErrorNotFound;
  }
  secret.Assign(found->second.first);
  return win::ErrorSuccess;
}

win::ErrorCode DeleteGenericCredential(const char* target) {
  Record("DeleteGenericCredential", target);
  fake::World& w = TheWorld();
  if (w.credentialRefusal) {
    return *w.credentialRefusal;
  }
  return w.credentials.erase(target) == 1 ? win::ErrorSuccess : win::ErrorNotFound;
}

} // namespace platform
