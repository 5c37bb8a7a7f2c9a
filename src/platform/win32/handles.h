#pragma once
// Conversions between the integer handles of the platform interface and the typed handles of
// the Windows headers. Only the Win32 backend includes this.

#include "platform/winconst.h"

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

template <typename WindowsHandle> WindowsHandle ToWindows(win::Handle handle) {
  return reinterpret_cast<WindowsHandle>(handle);
}

template <typename WindowsHandle> win::Handle FromWindows(WindowsHandle handle) {
  return reinterpret_cast<win::Handle>(handle);
}

// The predefined roots are 32-bit values with the top bit set; <windows.h> widens them with
// sign extension, so a 64-bit program must do the same to name the same keys. Opened keys are
// real handles and pass through unchanged.
inline HKEY ToHkey(win::RegKey key) {
  if (key >= 0x80000000u && key <= 0xFFFFFFFFu) {
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

// A failed CreateFile reports INVALID_HANDLE_VALUE, the rest of the interface uses zero.
inline win::Handle FromFileHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? win::NoHandle : FromWindows(handle);
}

} // namespace platform::win32
