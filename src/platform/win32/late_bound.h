#pragma once
// Functions of the DLLs that only some commands need (the web check, the network, the tray)
// are looked up at their first call, so that starting the program doesn't load those DLLs.
// Only the Win32 backends include this.

#include <windows.h>

namespace platform::win32 {

// Loads a DLL of Windows from the system folder and nowhere else. Searched for by name, a DLL
// would come from the program's own folder first, where anyone who can leave a file next to the
// program (a Downloads folder) could have put one of the same name to run inside it.
HMODULE LoadSystemLibrary(const char* name);

// The same by the DLL's full path in the system folder, for the Windows releases whose loader
// can't be told to search there only.
HMODULE LoadByPathInSystemFolder(const char* name);

// The entry point, or null when the DLL or the function is missing. A DLL the process has loaded
// already is taken as it is. The DLL stays loaded for the rest of the run, so the pointer stays
// valid.
template <typename Function> Function* LateBound(const char* library, const char* name) {
  HMODULE module = ::GetModuleHandleA(library);
  if (module == nullptr) {
    module = LoadSystemLibrary(library);
  }
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace platform::win32
