#pragma once
// The remote connection's password, kept in the user's Windows credential store rather than in
// the settings file: the record's Password is what every caller reads; only its storage is here.

#include "platform/winconst.h"
#include "settings/settings.h"

// Fills the record's password from the store; leaves it as it is when the store has none or
// can't be read.
void LoadRemotePassword(Settings& settings);

// Keeps the record's password in the store, or removes it there when the record's is empty.
// Returns the Windows error code, 0 on success.
win::ErrorCode StoreRemotePassword(const Settings& settings);
