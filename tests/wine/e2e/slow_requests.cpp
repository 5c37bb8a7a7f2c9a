// A DLL the driver loads into the running program (driver inject) to make its remote shutdown
// requests as slow as a network's: it replaces the program's import of
// advapi32!InitiateSystemShutdownA by a hook that waits a second, then passes the request on to
// Wine, which only traces it. A request to a computer whose name starts with "FAIL" is refused
// with ERROR_BAD_NETPATH instead, as for a computer that is switched off. The DLL stays loaded.
//
// Once the import is replaced it writes a report next to itself (slow_requests.txt):
//   hooked  COMPUTER      COMPUTER: the name GetComputerNameA gives inside this Wine session
// or "missing" when the program imports no InitiateSystemShutdownA.
//
// Each request adds a line to slow_requests.calls beside it, tab-separated, when it ends:
//   NAME  START_MS  END_MS  RESULT         milliseconds of one clock, RESULT 1 or 0

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD RequestMilliseconds = 1000;
constexpr char FailingPrefix[] = "FAIL";

using InitiateFunction = BOOL WINAPI(LPSTR, LPSTR, DWORD, BOOL, BOOL);

HMODULE Self = nullptr;
InitiateFunction* Original = nullptr;
CRITICAL_SECTION CallsLock;
std::string CallsPath;

std::string BesideSelf(const char* extension) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Self, path, MAX_PATH);
  std::string name = path;
  return name.substr(0, name.find_last_of('.')) + extension;
}

const char* WithoutBackslashes(const char* name) {
  while (name != nullptr && *name == '\\') {
    ++name;
  }
  return name != nullptr ? name : "";
}

BOOL WINAPI SlowInitiate(LPSTR machine, LPSTR message, DWORD timeout, BOOL force, BOOL reboot) {
  const ULONGLONG start = GetTickCount64();
  Sleep(RequestMilliseconds);
  const char* name = WithoutBackslashes(machine);
  BOOL result = FALSE;
  DWORD error = ERROR_SUCCESS;
  if (std::strncmp(name, FailingPrefix, sizeof FailingPrefix - 1) == 0) {
    error = ERROR_BAD_NETPATH;
  } else {
    result = Original(machine, message, timeout, force, reboot);
    error = GetLastError();
  }
  const ULONGLONG end = GetTickCount64();
  EnterCriticalSection(&CallsLock);
  if (FILE* calls = std::fopen(CallsPath.c_str(), "ab")) {
    std::fprintf(calls, "%s\t%llu\t%llu\t%d\n", name, start, end, result ? 1 : 0);
    std::fclose(calls);
  }
  LeaveCriticalSection(&CallsLock);
  SetLastError(error);
  return result;
}

// Points the main module's import of the function at the hook; false when it has none. The
// loader has put the function's address in the import table, so the entry is found by it.
bool Hook() {
  const HMODULE advapi = GetModuleHandleA("advapi32.dll");
  const auto wanted = reinterpret_cast<ULONG_PTR>(
      advapi != nullptr ? GetProcAddress(advapi, "InitiateSystemShutdownA") : nullptr);
  if (wanted == 0) {
    return false;
  }
  auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) {
    return false;
  }
  for (auto* module =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
         entry->u1.Function != 0; ++entry) {
      if (entry->u1.Function != wanted) {
        continue;
      }
      DWORD protection = 0;
      if (!VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE,
                          &protection)) {
        return false;
      }
      Original = reinterpret_cast<InitiateFunction*>(entry->u1.Function);
      entry->u1.Function = reinterpret_cast<ULONG_PTR>(&SlowInitiate);
      VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, protection, &protection);
      return true;
    }
  }
  return false;
}

DWORD WINAPI Install(void*) {
  CallsPath = BesideSelf(".calls");
  DeleteFileA(CallsPath.c_str());
  const bool hooked = Hook();
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  const std::string path = BesideSelf(".txt");
  const std::string partial = path + ".part";
  if (FILE* report = std::fopen(partial.c_str(), "wb")) {
    if (hooked) {
      std::fprintf(report, "hooked\t%s\n", computer);
    } else {
      std::fprintf(report, "missing\n");
    }
    std::fclose(report);
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Self = instance;
    InitializeCriticalSection(&CallsLock);
    // The report is written from a thread of its own, once the loader has let go.
    if (const HANDLE thread = CreateThread(nullptr, 0, Install, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  return TRUE;
}
