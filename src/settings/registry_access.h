#pragma once
// Registry keys named by text paths ("HKCU\Software\..."): each operation opens the key with
// the access it needs, does one thing, closes the key and reports success.

#include "platform/winconst.h"

#include <cstddef>
#include <cstdint>

// Capacity of the path and sub-key buffers the program uses.
inline constexpr std::size_t RegPathCapacity = 261;

// Splits a path into its root and sub-key. A path without a known root name before its first
// backslash is a sub-key of HKEY_LOCAL_MACHINE.
win::RegKey ParseRegPath(const char* path, char* subKey, std::size_t capacity);

// Joins a key path and a sub-key name with one backslash. False, with an empty result, when the
// joined path would not fit: a cut path could name another key.
bool JoinRegPath(const char* path, const char* name, char* result, std::size_t capacity);

bool RegKeyExists(const char* path);
// A null value name reads the key's default value; type and size may be null. Text values come
// back terminated within the capacity; a value that doesn't fit is a failure and leaves dest
// empty.
bool ReadRegValue(win::RegKey root, const char* subKey, const char* valueName, char* dest,
                  std::uint32_t capacity, win::RegType* type, std::uint32_t* size);
// Creates the key when it is missing.
bool WriteRegValue(win::RegKey root, const char* subKey, const char* valueName, const void* data,
                   std::uint32_t size, win::RegType type);
bool DeleteRegValue(win::RegKey root, const char* subKey, const char* valueName);
// Deletes one key that has no sub-keys.
bool DeleteRegKey(win::RegKey root, const char* subKey);
// Deletes a key with all its sub-keys, depth first. A sub-key that can't be deleted is left and
// the rest go on; the result is then false.
bool DeleteRegKeyTree(const char* path);
