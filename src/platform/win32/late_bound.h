#pragma once
// Functions of the DLLs that only some commands need (the web check, the network, the tray)
// are looked up at their first call, so that starting the program doesn't load those DLLs.
// Only the Win32 backend includes this.

#include <windows.h>

namespace platform::win32 {

// The entry point, or null when the DLL or the function is missing. The DLL stays loaded for
// the rest of the run, so the pointer stays valid.
template <typename Function> Function* LateBound(const char* library, const char* name) {
  HMODULE module = ::GetModuleHandleA(library);
  if (module == nullptr) {
    module = ::LoadLibraryA(library);
  }
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace platform::win32
