#pragma once
// The registry calls. Each returns a Windows error code (0 = success).

#include "platform/winconst.h"

#include <cstdint>

namespace platform {

long RegOpenKeyExA(win::RegKey key, const char* subKey, win::RegAccess access, win::RegKey& result);
long RegCreateKeyExA(win::RegKey key, const char* subKey, std::uint32_t options,
                     win::RegAccess access, win::RegKey& result);
// `size` is the data buffer's capacity on entry and the stored size on return; type may be null.
long RegQueryValueExA(win::RegKey key, const char* valueName, win::RegType* type,
                      std::uint8_t* data, std::uint32_t* size);
long RegSetValueExA(win::RegKey key, const char* valueName, win::RegType type,
                    const std::uint8_t* data, std::uint32_t size);
long RegDeleteValueA(win::RegKey key, const char* valueName);
long RegDeleteKeyA(win::RegKey key, const char* subKey);
// `nameSize` is the name buffer's capacity on entry and the name's length on success.
long RegEnumKeyExA(win::RegKey key, std::uint32_t index, char* name, std::uint32_t& nameSize);
long RegCloseKey(win::RegKey key);

} // namespace platform
