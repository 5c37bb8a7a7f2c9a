#include "platform/kernel.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <string>

namespace platform {

using win32::FromFileHandle;
using win32::FromWindows;
using win32::LateBound;
using win32::ToWindows;

namespace {

constexpr char Kernel32[] = "kernel32.dll";

// Handles opened for writing: only those are flushed on close, and a flush is what tells whether
// the data reached the disk.
std::set<win::Handle>& WritingHandles() {
  static std::set<win::Handle> handles;
  return handles;
}

// The byte counts travel back as signed 32-bit numbers, so no single transfer may exceed them.
DWORD TransferSize(std::uint32_t count) {
  return std::min<DWORD>(count, std::numeric_limits<std::int32_t>::max());
}

// The longest path the wide calls take.
constexpr std::size_t LongestPath = 32767;

// A path for the wide file calls. The ANSI calls stop at MAX_PATH characters; a longer full path
// takes the form that lifts that limit. Empty, so that the call fails, when the text is not valid
// in the ANSI code page.
std::wstring WidePath(const char* path) {
  std::wstring wide;
  if (!win32::AnsiToWide(path, wide)) {
    return {};
  }
  if (wide.size() < MAX_PATH) {
    return wide;
  }
  if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') {
    return L"\\\\?\\" + wide;
  }
  if (wide.rfind(L"\\\\", 0) == 0 && wide.rfind(L"\\\\?\\", 0) != 0) {
    return L"\\\\?\\UNC\\" + wide.substr(2);
  }
  return wide;
}

} // namespace

bool GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = info.size;
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) {
    return false;
  }
  info.majorVersion = version.dwMajorVersion;
  info.minorVersion = version.dwMinorVersion;
  info.buildNumber = version.dwBuildNumber;
  info.platformId = version.dwPlatformId;
  std::memcpy(info.csdVersion, version.szCSDVersion, sizeof info.csdVersion);
  if (info.size == sizeof(OSVERSIONINFOEXA)) {
    info.servicePackMajor = version.wServicePackMajor;
    info.servicePackMinor = version.wServicePackMinor;
    info.suiteMask = version.wSuiteMask;
    info.productType = version.wProductType;
  }
  return true;
}

bool GetComputerNameA(char* buffer, std::uint32_t& size) {
  DWORD length = size;
  if (!::GetComputerNameA(buffer, &length)) {
    return false;
  }
  size = length;
  return true;
}

bool GetComputerNameExA(std::uint32_t nameType, std::string& name) {
  char buffer[win::MaxDnsNameLength + 1] = {};
  DWORD length = sizeof buffer;
  if (!::GetComputerNameExA(static_cast<COMPUTER_NAME_FORMAT>(nameType), buffer, &length)) {
    return false;
  }
  name.assign(buffer, std::min<DWORD>(length, win::MaxDnsNameLength));
  return true;
}

bool GetProgramPath(std::string& path) {
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(wide.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, wide.data(), size);
    if (length == 0) {
      return false;
    }
    // A cut path fills the whole buffer: XP leaves it without a terminator, later releases say
    // ERROR_INSUFFICIENT_BUFFER.
    if (length < size) {
      wide.resize(length);
      break;
    }
    if (wide.size() > LongestPath) {
      return false;
    }
    wide.resize(wide.size() * 2);
  }
  // A character the code page lacks would name another file, or none.
  std::wstring back;
  if (!win32::WideToAnsi(wide.data(), wide.size(), path) || !win32::AnsiToWide(path, back) ||
      back != wide) {
    ::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
  }
  return true;
}

LocalTime GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                   now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::uint32_t GetTickCount() {
  return ::GetTickCount();
}

void Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

win::Handle CreateMutexA(bool initialOwner, const char* name) {
  return FromWindows(::CreateMutexA(nullptr, initialOwner, name));
}

bool ReleaseMutex(win::Handle mutex) {
  return ::ReleaseMutex(ToWindows<HANDLE>(mutex));
}

win::ErrorCode GetLastError() {
  return ::GetLastError();
}

void SetLastError(win::ErrorCode code) {
  ::SetLastError(code);
}

std::uint32_t SetErrorMode(std::uint32_t mode) {
  return ::SetErrorMode(mode);
}

bool FormatMessageA(win::ErrorCode code, std::uint32_t languageId, std::string& text) {
  char* message = nullptr;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the address of the text.
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                       languageId, reinterpret_cast<char*>(&message), 0, nullptr);
  if (length == 0 || message == nullptr) {
    return false;
  }
  text.assign(message, length);
  ::LocalFree(message);
  return true;
}

std::uint32_t GetACP() {
  return ::GetACP();
}

bool ConvertCodePage(std::string_view text, std::uint32_t from, std::uint32_t to,
                     std::string& converted) {
  converted.clear();
  if (text.empty()) {
    return true;
  }
  const int length = static_cast<int>(text.size());
  const int wideSize = ::MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
  if (wideSize <= 0) {
    return false;
  }
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  if (::MultiByteToWideChar(from, 0, text.data(), length, wide.data(), wideSize) != wideSize) {
    return false;
  }
  const int size =
      ::WideCharToMultiByte(to, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return false;
  }
  converted.resize(static_cast<std::size_t>(size));
  return ::WideCharToMultiByte(to, 0, wide.data(), wideSize, converted.data(), size, nullptr,
                               nullptr) == size;
}

bool WideCharToAnsi(std::u16string_view text, std::string& ansi, bool& usedDefault) {
  ansi.clear();
  usedDefault = false;
  if (text.empty()) {
    return true;
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // The UTF-8 code page takes neither flags nor a default character: every character has its
  // place there.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return false;
  }
  ansi.resize(static_cast<std::size_t>(size));
  if (::WideCharToMultiByte(CP_ACP, flags, wide, length, ansi.data(), size, nullptr,
                            utf8 ? nullptr : &defaulted) != size) {
    return false;
  }
  usedDefault = defaulted != FALSE;
  return true;
}

void KeepDllSearchInSystemFolder() {
  // Windows XP SP1 and later: with an empty DLL directory, the current directory is no longer
  // searched.
  const auto setDllDirectory =
      LateBound<decltype(::SetDllDirectoryA)>(Kernel32, "SetDllDirectoryA");
  if (setDllDirectory != nullptr) {
    setDllDirectory("");
  }
  // Windows 8, and Windows 7 and Vista with update KB2533623: only the system folder is searched.
  const auto setDefaultDllDirectories =
      LateBound<decltype(::SetDefaultDllDirectories)>(Kernel32, "SetDefaultDllDirectories");
  if (setDefaultDllDirectories != nullptr) {
    setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

win::Handle LoadLibraryA(const char* name) {
  return FromWindows(win32::LoadSystemLibrary(name));
}

win::Handle GetModuleHandleA(const char* name) {
  return FromWindows(::GetModuleHandleA(name));
}

win::Handle GetProcAddress(win::Handle module, const char* name) {
  return reinterpret_cast<win::Handle>(::GetProcAddress(ToWindows<HMODULE>(module), name));
}

bool FreeLibrary(win::Handle module) {
  return ::FreeLibrary(ToWindows<HMODULE>(module));
}

std::uint16_t CallGetNativeSystemInfo(win::Handle entryPoint) {
  using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);
  SYSTEM_INFO info{};
  reinterpret_cast<GetNativeSystemInfoFunction>(entryPoint)(&info);
  return info.wProcessorArchitecture;
}

std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand) {
  return ::WinExec(commandLine, showCommand);
}

bool ProcessEnded(win::Handle process, std::uint32_t& exitCode) {
  const HANDLE handle = ToWindows<HANDLE>(process);
  DWORD code = 0;
  if (::WaitForSingleObject(handle, 0) != WAIT_OBJECT_0 || !::GetExitCodeProcess(handle, &code)) {
    return false;
  }
  exitCode = code;
  return true;
}

win::Handle OpenFileForReading(const char* path) {
  return FromFileHandle(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

win::Handle OpenFileForWriting(const char* path) {
  const win::Handle file =
      FromFileHandle(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file != win::NoHandle) {
    WritingHandles().insert(file);
  }
  return file;
}

win::Handle CreateNewFile(const char* path, const std::vector<std::uint8_t>& descriptor) {
  // Windows only reads the descriptor, although the field isn't declared const.
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor =
      descriptor.empty() ? nullptr : const_cast<std::uint8_t*>(descriptor.data());
  const win::Handle file =
      FromFileHandle(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, &attributes,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file != win::NoHandle) {
    WritingHandles().insert(file);
  }
  return file;
}

win::Handle OpenFileForAppending(const char* path, std::uint64_t& size) {
  const win::Handle file =
      FromFileHandle(::CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER length{};
  if (file != win::NoHandle && ::GetFileSizeEx(ToWindows<HANDLE>(file), &length)) {
    size = static_cast<std::uint64_t>(length.QuadPart);
  }
  return file;
}

std::int32_t ReadFile(win::Handle file, void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!::ReadFile(ToWindows<HANDLE>(file), buffer, TransferSize(count), &done, nullptr)) {
    return -1;
  }
  return static_cast<std::int32_t>(done);
}

std::int32_t WriteFile(win::Handle file, const void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!::WriteFile(ToWindows<HANDLE>(file), buffer, TransferSize(count), &done, nullptr)) {
    return -1;
  }
  return static_cast<std::int32_t>(done);
}

bool CloseFile(win::Handle file) {
  const HANDLE handle = ToWindows<HANDLE>(file);
  const bool flushed = WritingHandles().erase(file) == 0 || ::FlushFileBuffers(handle);
  const bool closed = ::CloseHandle(handle);
  return flushed && closed;
}

bool MoveFileReplacing(const char* from, const char* to) {
  return ::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool CopyFileReplacing(const char* from, const char* to) {
  return ::CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), FALSE);
}

bool DeleteFileA(const char* path) {
  return ::DeleteFileW(WidePath(path).c_str());
}

std::uint32_t GetFileAttributesA(const char* path) {
  return ::GetFileAttributesW(WidePath(path).c_str());
}

bool SetFileAttributesA(const char* path, std::uint32_t attributes) {
  return ::SetFileAttributesW(WidePath(path).c_str(), attributes);
}

bool GetFileSecurityA(const char* path, std::uint32_t information,
                      std::vector<std::uint8_t>& descriptor) {
  // The first call only tells the size the descriptor needs.
  const std::wstring wide = WidePath(path);
  DWORD needed = 0;
  ::GetFileSecurityW(wide.c_str(), information, nullptr, 0, &needed);
  descriptor.assign(needed, 0);
  if (needed == 0 ||
      !::GetFileSecurityW(wide.c_str(), information, descriptor.data(), needed, &needed)) {
    descriptor.clear();
    return false;
  }
  return true;
}

} // namespace platform
