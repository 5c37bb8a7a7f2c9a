#pragma once
// Keeps the program registered under the Run key as the RunAtStartup setting says, and removes
// the start-up sound assignment that some Windows versions play on every selection.

#include "actions/os_version.h"

// The Run key for this Windows class: per user after XP, machine-wide up to XP.
const char* RunKeyPath(OsVersionClass osClass);

// Writes the program's path as the value when enabled, deletes the value otherwise.
bool ApplyRunAtStartup(bool enabled, const char* valueName);

void ClearSelectSound();
