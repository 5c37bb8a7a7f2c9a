// A DLL the driver loads into the running program (driver inject) to look for copies of the
// passwords the logon test typed: it walks every committed, readable page of its own process
// and counts where each password lies, in the ANSI code page and in UTF-16, then writes a report
// next to itself (memory_scan.txt), one line a form:
//   autologon-ansi  COUNT  ADDRESS...
//   autologon-utf16 COUNT  ADDRESS...
//   remote-ansi     COUNT  ADDRESS...
//   remote-utf16    COUNT  ADDRESS...
//
// The passwords are kept here XOR-ed, and compared byte by byte through the same XOR, so that the
// DLL itself never holds a plain copy that the scan would find. Pages are copied into a buffer
// of the DLL's own before they are compared (a page may go away meanwhile), and that buffer is
// passed over.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr unsigned char Key = 0x5A;
// "zq7logonpw" and "xk4remotepw", each byte XOR-ed with the key; run_logon.sh types them.
constexpr unsigned char AutoLogonPassword[] = {0x20, 0x2B, 0x6D, 0x36, 0x35,
                                               0x3D, 0x35, 0x34, 0x2A, 0x2D};
constexpr unsigned char RemotePassword[] = {0x22, 0x31, 0x6E, 0x28, 0x3F, 0x37,
                                            0x35, 0x2E, 0x3F, 0x2A, 0x2D};
constexpr SIZE_T ChunkSize = 1 << 20;

HMODULE Self = nullptr;

struct Needle {
  const char* name;
  const unsigned char* bytes;
  size_t length;
  bool wide;
  std::vector<ULONG_PTR> found;
};

bool MatchesAt(const unsigned char* memory, size_t available, const Needle& needle) {
  const size_t step = needle.wide ? 2 : 1;
  if (available < needle.length * step) {
    return false;
  }
  for (size_t i = 0; i < needle.length; ++i) {
    if ((memory[i * step] ^ Key) != needle.bytes[i] || (needle.wide && memory[i * step + 1] != 0)) {
      return false;
    }
  }
  return true;
}

bool Readable(const MEMORY_BASIC_INFORMATION& region) {
  constexpr DWORD ReadableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                       PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                       PAGE_EXECUTE_WRITECOPY;
  return region.State == MEM_COMMIT && (region.Protect & ReadableProtection) != 0 &&
         (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

void Scan(std::vector<Needle>& needles) {
  auto* chunk = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, ChunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (chunk == nullptr) {
    return;
  }
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  auto address = reinterpret_cast<ULONG_PTR>(system.lpMinimumApplicationAddress);
  const auto end = reinterpret_cast<ULONG_PTR>(system.lpMaximumApplicationAddress);
  const auto ownStart = reinterpret_cast<ULONG_PTR>(chunk);
  MEMORY_BASIC_INFORMATION region{};
  while (address < end &&
         VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region) == sizeof region) {
    const auto base = reinterpret_cast<ULONG_PTR>(region.BaseAddress);
    const ULONG_PTR next = base + region.RegionSize;
    if (Readable(region) && base != ownStart) {
      for (ULONG_PTR start = base; start < next; start += ChunkSize) {
        const SIZE_T wanted = next - start < ChunkSize ? next - start : ChunkSize;
        SIZE_T read = 0;
        if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(start), chunk, wanted,
                               &read)) {
          continue;
        }
        for (SIZE_T offset = 0; offset < read; ++offset) {
          for (Needle& needle : needles) {
            if (MatchesAt(chunk + offset, read - offset, needle)) {
              needle.found.push_back(start + offset);
            }
          }
        }
      }
    }
    if (next <= address) {
      break;
    }
    address = next;
  }
  VirtualFree(chunk, 0, MEM_RELEASE);
}

DWORD WINAPI Report(void*) {
  std::vector<Needle> needles = {
      {"autologon-ansi", AutoLogonPassword, sizeof AutoLogonPassword, false, {}},
      {"autologon-utf16", AutoLogonPassword, sizeof AutoLogonPassword, true, {}},
      {"remote-ansi", RemotePassword, sizeof RemotePassword, false, {}},
      {"remote-utf16", RemotePassword, sizeof RemotePassword, true, {}},
  };
  Scan(needles);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Self, path, MAX_PATH);
  std::string report = path;
  report = report.substr(0, report.find_last_of('.')) + ".txt";
  const std::string temporary = report + ".new";
  if (FILE* file = std::fopen(temporary.c_str(), "wb")) {
    for (const Needle& needle : needles) {
      std::fprintf(file, "%s\t%u", needle.name, static_cast<unsigned>(needle.found.size()));
      for (const ULONG_PTR found : needle.found) {
        std::fprintf(file, "\t%llx", static_cast<unsigned long long>(found));
      }
      std::fprintf(file, "\n");
    }
    std::fclose(file);
    // The driver waits for the report's name: it appears whole.
    MoveFileA(temporary.c_str(), report.c_str());
  }
  return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Self = instance;
    // Not under the loader's lock.
    if (HANDLE thread = CreateThread(nullptr, 0, Report, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  return TRUE;
}
