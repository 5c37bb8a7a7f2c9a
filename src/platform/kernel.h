#pragma once
// Kernel services: version, computer name, module path, local time, tick count, sleep, mutex,
// error text, run-time linking and the binary files of the settings store.

#include "platform/winconst.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// OSVERSIONINFOEXA as far as the program reads it. `size` is 156 for the extended form and
// 148 for the basic one; a basic answer leaves the extended fields untouched.
struct OsVersionInfo {
  std::uint32_t size = 0;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  char csdVersion[128] = {};
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
};

// SYSTEMTIME.
struct LocalTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

bool GetVersionExA(OsVersionInfo& info);
// `size` is the buffer's capacity on entry and the name's length on success.
bool GetComputerNameA(char* buffer, std::uint32_t& size);
// GetComputerNameExA for one of the DNS forms of this computer's name; false when Windows can't
// tell it.
bool GetComputerNameExA(std::uint32_t nameType, std::string& name);
// Full path of the running program, whatever its length, in the program's ANSI code page. False
// when Windows can't tell it or the code page can't name every character of it.
bool GetProgramPath(std::string& path);
LocalTime GetLocalTime();
std::uint32_t GetTickCount();
void Sleep(std::uint32_t milliseconds);

win::Handle CreateMutexA(bool initialOwner, const char* name);
bool ReleaseMutex(win::Handle mutex);

win::ErrorCode GetLastError();
void SetLastError(win::ErrorCode code);
std::uint32_t SetErrorMode(std::uint32_t mode);

// FormatMessageA with an allocated buffer from the system table, released with LocalFree.
// Returns false when the system has no text for the code in that language.
bool FormatMessageA(win::ErrorCode code, std::uint32_t languageId, std::string& text);

// GetACP: the code page of the program's ANSI texts, win::CpUtf8 where Windows honours the
// manifest's wish for UTF-8.
std::uint32_t GetACP();
// Text of one code page in another, through UTF-16 (MultiByteToWideChar, WideCharToMultiByte).
// A character the target lacks becomes its default character. False when Windows knows either
// code page not.
bool ConvertCodePage(std::string_view text, std::uint32_t from, std::uint32_t to,
                     std::string& converted);

// WideCharToMultiByte into the ANSI code page without best-fit look-alikes; `usedDefault` tells
// whether a character had no place in it and was replaced. False when the call fails.
bool WideCharToAnsi(std::u16string_view text, std::string& ansi, bool& usedDefault);

// Leaves the program's folder and the current directory out of the places Windows looks for a
// DLL named without a path, for every DLL loaded from here on, also those Windows' own DLLs load
// on the program's behalf, as far as the Windows release allows.
void KeepDllSearchInSystemFolder();
// Loads a DLL of Windows from the system folder only, never from the program's folder, where a
// DLL of the same name may have been left for the program to run.
win::Handle LoadLibraryA(const char* name);
win::Handle GetModuleHandleA(const char* name);
win::Handle GetProcAddress(win::Handle module, const char* name);
bool FreeLibrary(win::Handle module);
// Calls an entry point found as "GetNativeSystemInfo" and returns wProcessorArchitecture.
std::uint16_t CallGetNativeSystemInfo(win::Handle entryPoint);

std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand);

// WaitForSingleObject without waiting on a process this one started, then GetExitCodeProcess:
// true once it has ended, with its exit code. The handle is closed with CloseHandle (security.h).
bool ProcessEnded(win::Handle process, std::uint32_t& exitCode);

// Binary files. Paths longer than the ANSI calls take (MAX_PATH) are used whole. Open for writing
// creates the file or truncates it. A file that can't be opened
// leaves the reason as the last error: ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when there is
// no such file. Reads and writes return the byte count, or a negative number on error. Closing a
// written file flushes it to the disk and reports whether everything reached it.
win::Handle OpenFileForReading(const char* path);
win::Handle OpenFileForWriting(const char* path);
// Creates a file that must not exist yet, for writing, with the self-relative security
// descriptor given (an empty one: what its folder gives new files) from its creation on.
// ERROR_FILE_EXISTS when the file is there.
win::Handle CreateNewFile(const char* path, const std::vector<std::uint8_t>& descriptor);
// Opens the file for adding at its end, creating it when it isn't there; `size` is its length.
win::Handle OpenFileForAppending(const char* path, std::uint64_t& size);
std::int32_t ReadFile(win::Handle file, void* buffer, std::uint32_t count);
std::int32_t WriteFile(win::Handle file, const void* buffer, std::uint32_t count);
bool CloseFile(win::Handle file);
// MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
bool MoveFileReplacing(const char* from, const char* to);
// CopyFileA over a copy that is there already.
bool CopyFileReplacing(const char* from, const char* to);
bool DeleteFileA(const char* path);
// win::InvalidFileAttributes when the file can't be found.
std::uint32_t GetFileAttributesA(const char* path);
bool SetFileAttributesA(const char* path, std::uint32_t attributes);
// The parts `information` names of the file's security descriptor, in self-relative form.
bool GetFileSecurityA(const char* path, std::uint32_t information,
                      std::vector<std::uint8_t>& descriptor);

} // namespace platform
