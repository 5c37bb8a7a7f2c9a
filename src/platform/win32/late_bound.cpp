#include "platform/win32/late_bound.h"

#include "common/path.h"

namespace platform::win32 {

namespace {

constexpr char Kernel32[] = "kernel32.dll";

// LoadLibraryExA knows LOAD_LIBRARY_SEARCH_SYSTEM32 on Windows 8 and later, and on Windows 7 and
// Vista with update KB2533623, which brought AddDllDirectory with it; without the update the
// flag is refused.
bool LoaderSearchesSystemFolderOnRequest() {
  static const bool known =
      ::GetProcAddress(::GetModuleHandleA(Kernel32), "AddDllDirectory") != nullptr;
  return known;
}

} // namespace

HMODULE LoadSystemLibrary(const char* name) {
  if (LoaderSearchesSystemFolderOnRequest()) {
    return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  return LoadByPathInSystemFolder(name);
}

HMODULE LoadByPathInSystemFolder(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  // A folder that doesn't fit comes back as the size it needs instead; a failure as 0, which
  // leaves no folder and so no path.
  if (length >= MAX_PATH) {
    return nullptr;
  }
  const std::string path = PathInFolder({folder, length}, name);
  if (path.empty()) {
    return nullptr;
  }
  // By a full path, the DLLs this one needs in turn are looked for in its folder first, and the
  // program's folder isn't searched for them at all.
  return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace platform::win32
