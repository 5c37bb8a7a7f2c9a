#include "platform/registry.h"

#include "platform/win32/handles.h"

namespace platform {

using win32::FromWindows;
using win32::ToHkey;

long RegOpenKeyExA(win::RegKey key, const char* subKey, win::RegAccess access,
                   win::RegKey& result) {
  HKEY opened = nullptr;
  const LSTATUS status = ::RegOpenKeyExA(ToHkey(key), subKey, 0, access, &opened);
  if (status == ERROR_SUCCESS) {
    result = FromWindows(opened);
  }
  return status;
}

long RegCreateKeyExA(win::RegKey key, const char* subKey, std::uint32_t options,
                     win::RegAccess access, win::RegKey& result) {
  HKEY created = nullptr;
  const LSTATUS status = ::RegCreateKeyExA(ToHkey(key), subKey, 0, nullptr, options, access,
                                           nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) {
    result = FromWindows(created);
  }
  return status;
}

long RegQueryValueExA(win::RegKey key, const char* valueName, win::RegType* type,
                      std::uint8_t* data, std::uint32_t* size) {
  DWORD storedType = 0;
  DWORD storedSize = size != nullptr ? *size : 0;
  const LSTATUS status =
      ::RegQueryValueExA(ToHkey(key), valueName, nullptr, type != nullptr ? &storedType : nullptr,
                         data, size != nullptr ? &storedSize : nullptr);
  if (type != nullptr) {
    *type = storedType;
  }
  if (size != nullptr) {
    *size = storedSize;
  }
  return status;
}

long RegSetValueExA(win::RegKey key, const char* valueName, win::RegType type,
                    const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExA(ToHkey(key), valueName, 0, type, data, size);
}

long RegDeleteValueA(win::RegKey key, const char* valueName) {
  return ::RegDeleteValueA(ToHkey(key), valueName);
}

long RegDeleteKeyA(win::RegKey key, const char* subKey) {
  return ::RegDeleteKeyA(ToHkey(key), subKey);
}

long RegEnumKeyExA(win::RegKey key, std::uint32_t index, char* name, std::uint32_t& nameSize) {
  DWORD length = nameSize;
  const LSTATUS status =
      ::RegEnumKeyExA(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    nameSize = length;
  }
  return status;
}

long RegCloseKey(win::RegKey key) {
  return ::RegCloseKey(ToHkey(key));
}

} // namespace platform
