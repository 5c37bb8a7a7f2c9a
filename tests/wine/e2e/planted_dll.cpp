// A DLL that someone left next to the program under the name of one of Windows' own, such as
// wininet.dll in a Downloads folder. Loaded into a process, it writes a mark beside itself, named
// after itself with ".loaded" added, that holds the path of the process that loaded it. It
// exports nothing: a program that took it for the real DLL would find none of the functions it
// looks up, and the feature that needs them would fail.

#include <windows.h>

namespace {

constexpr wchar_t MarkSuffix[] = L".loaded";
constexpr DWORD SuffixLength = sizeof MarkSuffix / sizeof MarkSuffix[0] - 1;

void LeaveMark(HINSTANCE self) {
  wchar_t mark[MAX_PATH + SuffixLength + 1] = {};
  const DWORD length = ::GetModuleFileNameW(self, mark, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  ::CopyMemory(mark + length, MarkSuffix, sizeof MarkSuffix);
  const HANDLE file =
      ::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  char process[MAX_PATH] = {};
  const DWORD processLength = ::GetModuleFileNameA(nullptr, process, MAX_PATH);
  DWORD written = 0;
  ::WriteFile(file, process, processLength < MAX_PATH ? processLength : 0, &written, nullptr);
  ::CloseHandle(file);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    LeaveMark(instance);
  }
  // Staying loaded is what a real attack does: the process goes on with this DLL in place of
  // the system's.
  return TRUE;
}
