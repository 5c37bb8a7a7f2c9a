// A DLL the driver loads into the running program (driver inject) to switch high contrast on for
// it. Wine keeps the colour scheme of the registry but always answers SPI_GETHIGHCONTRAST with
// "off" and refuses SPI_SETHIGHCONTRAST, so the program's own call to SystemParametersInfoA is
// answered here instead, as Windows answers it while high contrast is on; every other request
// goes on to Wine. Then each window of the program is told of the change, as Windows tells it
// (WM_SETTINGCHANGE with SPI_SETHIGHCONTRAST), which is what makes the program draw anew.
//
// It stays loaded, as the program calls into it from then on, and writes a report next to itself
// (high_contrast.txt):
//   system  on|off        what Wine itself answered
//   program on|off        what the program is answered now
//   told    COUNT         the windows told of the change
//   done

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HMODULE Self = nullptr;
using SystemParametersFunction = BOOL WINAPI(UINT, UINT, PVOID, UINT);
SystemParametersFunction* WineSystemParameters = nullptr;

BOOL WINAPI HighContrastParameters(UINT action, UINT size, PVOID data, UINT flags) {
  const BOOL result = WineSystemParameters(action, size, data, flags);
  if (action == SPI_GETHIGHCONTRAST && result && data != nullptr) {
    static_cast<HIGHCONTRASTA*>(data)->dwFlags |= HCF_HIGHCONTRASTON;
  }
  return result;
}

// Points the module's import of the function at the replacement; returns what it pointed at.
void* RedirectImport(HMODULE module, const char* library, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0) {
      continue;
    }
    const DWORD namesAt =
        entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const auto* named =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) {
        continue;
      }
      DWORD protection = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

const char* HighContrastIn(SystemParametersFunction* ask) {
  HIGHCONTRASTA scheme{};
  scheme.cbSize = sizeof scheme;
  const bool on = ask(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
                  (scheme.dwFlags & HCF_HIGHCONTRASTON) != 0;
  return on ? "on" : "off";
}

BOOL CALLBACK TellOfChange(HWND window, LPARAM told) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_NORMAL, 5000,
                        &answer);
    ++*reinterpret_cast<int*>(told);
  }
  return TRUE;
}

std::string BesideSelf(const char* extension) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Self, path, MAX_PATH);
  const std::string name = path;
  return name.substr(0, name.find_last_of('.')) + extension;
}

DWORD WINAPI SwitchOn(void*) {
  const char* system = HighContrastIn(SystemParametersInfoA);
  WineSystemParameters = reinterpret_cast<SystemParametersFunction*>(
      RedirectImport(GetModuleHandleA(nullptr), "user32.dll", "SystemParametersInfoA",
                     reinterpret_cast<void*>(HighContrastParameters)));
  int told = 0;
  if (WineSystemParameters != nullptr) {
    EnumWindows(TellOfChange, reinterpret_cast<LPARAM>(&told));
  }
  const std::string path = BesideSelf(".txt");
  const std::string partial = path + ".part";
  if (FILE* file = std::fopen(partial.c_str(), "wb")) {
    std::fprintf(file, "system %s\nprogram %s\ntold %d\ndone\n", system,
                 WineSystemParameters != nullptr ? HighContrastIn(HighContrastParameters) : "off",
                 told);
    std::fclose(file);
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Self = instance;
    // The windows are told from a thread of its own, once the loader has let go.
    if (const HANDLE thread = CreateThread(nullptr, 0, SwitchOn, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  return TRUE;
}
