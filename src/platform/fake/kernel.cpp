#include "platform/kernel.h"
#include "platform/console.h"

#include "common/bounded.h"
#include "platform/fake/internal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace platform {

using fake::NextResult;
using fake::Record;
using fake::TheWorld;

namespace {
constexpr win::Handle User32Module = 0x7000;
constexpr win::Handle LockWorkStationEntryPoint = 0x7001;
constexpr win::Handle Kernel32Module = 0x7100;
constexpr win::Handle NativeSystemInfoEntryPoint = 0x7101;
constexpr win::Handle FirstMutex = 0x3000;

constexpr std::uint32_t ProtectedAttributes =
    win::FileAttributeReadOnly | win::FileAttributeHidden | win::FileAttributeSystem;

std::uint32_t AttributesOf(const std::string& path) {
  const fake::World& w = TheWorld();
  if (w.files.count(path) == 0) {
    return win::InvalidFileAttributes;
  }
  const auto found = w.fileAttributes.find(path);
  return found != w.fileAttributes.end() ? found->second : win::FileAttributeArchive;
}

bool HasAnyAttribute(const std::string& path, std::uint32_t attributes) {
  const std::uint32_t present = AttributesOf(path);
  return present != win::InvalidFileAttributes && (present & attributes) != 0;
}

bool SameName(const char* a, const char* b) {
  return a != nullptr && !fake::NoCase{}(a, b) && !fake::NoCase{}(b, a);
}
} // namespace

bool GetVersionExA(OsVersionInfo& info) {
  Record("GetVersionExA", info.size);
  const fake::VersionScript& v = TheWorld().version;
  if (v.queryFails || (info.size == win::OsVersionInfoExSize && v.extendedRefused)) {
    return false;
  }
  info.platformId = v.platformId;
  info.majorVersion = v.major;
  info.minorVersion = v.minor;
  CopyBounded(info.csdVersion, v.servicePack.c_str(), sizeof info.csdVersion);
  if (info.size == win::OsVersionInfoExSize) {
    info.productType = v.productType;
  }
  return true;
}

bool GetComputerNameA(char* buffer, std::uint32_t& size) {
  Record("GetComputerNameA", size);
  const auto& name = TheWorld().computerName;
  if (!name || name->size() + 1 > size) {
    return false;
  }
  CopyBounded(buffer, name->c_str(), size);
  size = static_cast<std::uint32_t>(name->size());
  return true;
}

bool GetComputerNameExA(std::uint32_t nameType, std::string& name) {
  Record("GetComputerNameExA", nameType);
  const auto found = TheWorld().dnsNames.find(nameType);
  if (found == TheWorld().dnsNames.end()) {
    return false;
  }
  name = found->second;
  return true;
}

bool GetProgramPath(std::string& path) {
  Record("GetProgramPath");
  path = TheWorld().modulePath;
  return !path.empty();
}

LocalTime GetLocalTime() {
  return fake::ClockAsLocalTime();
}

std::uint32_t GetTickCount() {
  if (TheWorld().realThreads) {
    const auto elapsed = std::chrono::steady_clock::now() - TheWorld().started;
    return TheWorld().tickCount +
           static_cast<std::uint32_t>(
               std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  }
  return TheWorld().tickCount;
}

void Sleep(std::uint32_t milliseconds) {
  // With real threads time is the machine's: a wait must let the others run.
  if (TheWorld().realThreads) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  TheWorld().tickCount += milliseconds;
  TheWorld().clockMilliseconds += milliseconds;
}

win::Handle CreateMutexA(bool initialOwner, const char* name) {
  Record("CreateMutexA", initialOwner, name);
  if (NextResult("CreateMutexA", 1) == 0) {
    return win::NoHandle;
  }
  auto& mutexes = TheWorld().mutexes;
  TheWorld().lastError = mutexes.insert(name).second ? win::ErrorSuccess : win::ErrorAlreadyExists;
  return FirstMutex + mutexes.size();
}

bool ReleaseMutex(win::Handle mutex) {
  Record("ReleaseMutex", mutex);
  return mutex != win::NoHandle;
}

win::ErrorCode GetLastError() {
  return TheWorld().lastError;
}

void SetLastError(win::ErrorCode code) {
  TheWorld().lastError = code;
}

std::uint32_t SetErrorMode(std::uint32_t mode) {
  Record("SetErrorMode", mode);
  return 0;
}

bool FormatMessageA(win::ErrorCode code, std::uint32_t languageId, std::string& text) {
  Record("FormatMessageA", code, languageId);
  const auto& messages = TheWorld().systemMessages;
  const auto found = messages.find({languageId, code});
  if (found == messages.end()) {
    const bool inAnotherLanguage =
        std::any_of(messages.begin(), messages.end(),
                    [code](const auto& message) { return message.first.second == code; });
    TheWorld().lastError = inAnotherLanguage ? win::ErrorMuiFileNotFound : win::ErrorMrMidNotFound;
    return false;
  }
  text = found->second;
  return true;
}

std::uint32_t GetACP() {
  return TheWorld().ansiCodePage;
}

bool ConvertCodePage(std::string_view text, std::uint32_t from, std::uint32_t to,
                     std::string& converted) {
  Record("ConvertCodePage", std::string(text), from, to);
  std::u32string characters;
  if (!fake::DecodeCodePage(text, from, characters)) {
    return false;
  }
  return fake::EncodeCodePage(characters, to, converted);
}

bool WideCharToAnsi(std::u16string_view text, std::string& ansi, bool& usedDefault) {
  // The fake's ANSI code page holds ASCII and the Latin-1 letters, as Western Windows does.
  constexpr char16_t LastAnsiCharacter = 0xFF;
  constexpr char DefaultCharacter = '?';
  ansi.clear();
  usedDefault = false;
  for (const char16_t c : text) {
    const bool held = c <= LastAnsiCharacter;
    usedDefault = usedDefault || !held;
    ansi += held ? static_cast<char>(c) : DefaultCharacter;
  }
  return true;
}

void KeepDllSearchInSystemFolder() {
  Record("KeepDllSearchInSystemFolder");
}

win::Handle LoadLibraryA(const char* name) {
  Record("LoadLibraryA", name);
  return SameName(name, "user32.dll") && TheWorld().user32Loads ? User32Module : win::NoHandle;
}

win::Handle GetModuleHandleA(const char* name) {
  Record("GetModuleHandleA", name);
  return SameName(name, "kernel32.dll") ? Kernel32Module : win::NoHandle;
}

win::Handle GetProcAddress(win::Handle module, const char* name) {
  Record("GetProcAddress", module, name);
  const std::string entry = name == nullptr ? "" : name;
  if (module == User32Module && entry == "LockWorkStation" && TheWorld().user32HasLockWorkStation) {
    return LockWorkStationEntryPoint;
  }
  if (module == Kernel32Module && entry == "GetNativeSystemInfo" &&
      TheWorld().version.hasNativeSystemInfo) {
    return NativeSystemInfoEntryPoint;
  }
  TheWorld().lastError = win::ErrorProcNotFound;
  return win::NoHandle;
}

bool FreeLibrary(win::Handle module) {
  Record("FreeLibrary", module);
  return module != win::NoHandle;
}

std::uint16_t CallGetNativeSystemInfo(win::Handle) {
  Record("GetNativeSystemInfo");
  return TheWorld().version.architecture;
}

std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand) {
  Record("WinExec", commandLine, showCommand);
  return static_cast<std::uint32_t>(NextResult("WinExec", 33));
}

bool ProcessEnded(win::Handle process, std::uint32_t& exitCode) {
  Record("ProcessEnded", process);
  if (NextResult("ProcessEnded", 1) == 0) {
    return false;
  }
  exitCode = TheWorld().startedProcess ? TheWorld().startedProcess() : 0;
  return true;
}

win::Handle OpenFileForReading(const char* path) {
  Record("OpenFileForReading", path);
  fake::World& w = TheWorld();
  if (w.files.count(path) == 0) {
    w.lastError = win::ErrorFileNotFound;
    return win::NoHandle;
  }
  const auto freed = w.filesFreedAtTick.find(path);
  const bool held = freed == w.filesFreedAtTick.end() || w.tickCount < freed->second;
  if (const auto refused = w.unopenableFiles.find(path);
      refused != w.unopenableFiles.end() && held) {
    w.lastError = refused->second;
    return win::NoHandle;
  }
  const win::Handle handle = w.nextFileHandle++;
  w.openFiles[handle] = fake::OpenFile{path, false, 0};
  return handle;
}

win::Handle OpenFileForWriting(const char* path) {
  Record("OpenFileForWriting", path);
  fake::World& w = TheWorld();
  // Windows won't overwrite a hidden, system or read-only file with a plain one.
  if (w.filesReadOnly || HasAnyAttribute(path, ProtectedAttributes)) {
    w.lastError = win::ErrorAccessDenied;
    return win::NoHandle;
  }
  if (w.files.count(path) == 0) {
    w.fileAttributes.erase(path);
    w.fileSecurity.erase(path);
  }
  w.files[path].clear();
  const win::Handle handle = w.nextFileHandle++;
  w.openFiles[handle] = fake::OpenFile{path, true, 0};
  return handle;
}

win::Handle CreateNewFile(const char* path, const std::vector<std::uint8_t>& descriptor) {
  Record("CreateNewFile", path,
         descriptor.empty() ? std::string("inherited")
                            : std::string(descriptor.begin(), descriptor.end()));
  fake::World& w = TheWorld();
  if (w.files.count(path) != 0) {
    w.lastError = win::ErrorFileExists;
    return win::NoHandle;
  }
  if (w.filesReadOnly) {
    w.lastError = win::ErrorAccessDenied;
    return win::NoHandle;
  }
  w.files[path].clear();
  w.fileAttributes.erase(path);
  w.fileSecurity.erase(path);
  if (!descriptor.empty()) {
    w.fileSecurity[path] = descriptor;
  }
  const win::Handle handle = w.nextFileHandle++;
  w.openFiles[handle] = fake::OpenFile{path, true, 0};
  return handle;
}

win::Handle OpenFileForAppending(const char* path, std::uint64_t& size) {
  Record("OpenFileForAppending", path);
  fake::World& w = TheWorld();
  if (w.filesReadOnly || HasAnyAttribute(path, win::FileAttributeReadOnly)) {
    w.lastError = win::ErrorAccessDenied;
    return win::NoHandle;
  }
  size = w.files[path].size();
  const win::Handle handle = w.nextFileHandle++;
  w.openFiles[handle] = fake::OpenFile{path, true, 0};
  return handle;
}

std::int32_t ReadFile(win::Handle file, void* buffer, std::uint32_t count) {
  fake::World& w = TheWorld();
  const auto open = w.openFiles.find(file);
  if (open == w.openFiles.end() || open->second.writing || w.readFails) {
    return -1;
  }
  const std::vector<std::uint8_t>& bytes = w.files[open->second.path];
  const std::size_t position = std::min(open->second.position, bytes.size());
  const std::size_t take = std::min<std::size_t>(count, bytes.size() - position);
  if (take > 0) {
    std::memcpy(buffer, bytes.data() + position, take);
  }
  open->second.position = position + take;
  return static_cast<std::int32_t>(take);
}

std::int32_t WriteFile(win::Handle file, const void* buffer, std::uint32_t count) {
  Record("WriteFile", count);
  fake::World& w = TheWorld();
  if (file == fake::ConsoleOutputHandle && w.parentConsole) {
    w.consoleOutput.append(static_cast<const char*>(buffer), count);
    return static_cast<std::int32_t>(count);
  }
  const auto open = w.openFiles.find(file);
  if (open == w.openFiles.end() || !open->second.writing) {
    return -1;
  }
  std::size_t take = count;
  if (w.diskSpace) {
    take = std::min(take, *w.diskSpace);
    *w.diskSpace -= take;
    if (take < count) {
      w.lastError = win::ErrorDiskFull;
    }
  }
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  auto& content = w.files[open->second.path];
  content.insert(content.end(), bytes, bytes + take);
  return static_cast<std::int32_t>(take);
}

bool CloseFile(win::Handle file) {
  Record("CloseFile", file);
  return TheWorld().openFiles.erase(file) == 1;
}

bool MoveFileReplacing(const char* from, const char* to) {
  Record("MoveFileReplacing", from, to);
  fake::World& w = TheWorld();
  const auto source = w.files.find(from);
  if (w.moveFails || source == w.files.end() || HasAnyAttribute(to, win::FileAttributeReadOnly)) {
    w.lastError = source == w.files.end() ? win::ErrorFileNotFound : win::ErrorAccessDenied;
    return false;
  }
  w.files[to] = source->second;
  w.files.erase(from);
  w.fileAttributes.erase(to);
  w.fileSecurity.erase(to);
  if (const auto attributes = w.fileAttributes.extract(from)) {
    w.fileAttributes[to] = attributes.mapped();
  }
  if (auto security = w.fileSecurity.extract(from)) {
    w.fileSecurity[to] = std::move(security.mapped());
  }
  return true;
}

bool CopyFileReplacing(const char* from, const char* to) {
  Record("CopyFileReplacing", from, to);
  fake::World& w = TheWorld();
  const auto source = w.files.find(from);
  if (source == w.files.end() || w.filesReadOnly) {
    w.lastError = source == w.files.end() ? win::ErrorFileNotFound : win::ErrorAccessDenied;
    return false;
  }
  w.files[to] = source->second;
  return true;
}

bool DeleteFileA(const char* path) {
  Record("DeleteFileA", path);
  fake::World& w = TheWorld();
  if (HasAnyAttribute(path, win::FileAttributeReadOnly)) {
    return false;
  }
  w.fileAttributes.erase(path);
  w.fileSecurity.erase(path);
  return w.files.erase(path) == 1;
}

std::uint32_t GetFileAttributesA(const char* path) {
  Record("GetFileAttributesA", path);
  const std::uint32_t attributes = AttributesOf(path);
  if (attributes == win::InvalidFileAttributes) {
    TheWorld().lastError = win::ErrorFileNotFound;
  }
  return attributes;
}

bool SetFileAttributesA(const char* path, std::uint32_t attributes) {
  Record("SetFileAttributesA", path, attributes);
  if (TheWorld().files.count(path) == 0 || NextResult("SetFileAttributesA", 1) == 0) {
    return false;
  }
  TheWorld().fileAttributes[path] = attributes;
  return true;
}

bool GetFileSecurityA(const char* path, std::uint32_t information,
                      std::vector<std::uint8_t>& descriptor) {
  Record("GetFileSecurityA", path, information);
  fake::World& w = TheWorld();
  if (w.files.count(path) == 0) {
    w.lastError = win::ErrorFileNotFound;
    return false;
  }
  if (NextResult("GetFileSecurityA", 1) == 0) {
    w.lastError = win::ErrorAccessDenied;
    return false;
  }
  const auto own = w.fileSecurity.find(path);
  descriptor = own != w.fileSecurity.end() ? own->second : fake::FolderDefaultSecurity;
  return true;
}

bool AttachConsole(std::uint32_t processId) {
  Record("AttachConsole", processId);
  return TheWorld().parentConsole;
}

win::Handle GetStdHandle(std::uint32_t which) {
  Record("GetStdHandle", which);
  return which == win::StdOutputHandle && TheWorld().parentConsole ? fake::ConsoleOutputHandle
                                                                   : win::NoHandle;
}

bool IsConsole(win::Handle output) {
  Record("IsConsole", output);
  return output == fake::ConsoleOutputHandle && TheWorld().parentConsole &&
         !TheWorld().outputRedirected;
}

bool WriteConsoleText(win::Handle console, const std::string& text) {
  Record("WriteConsoleText", text);
  if (!IsConsole(console)) {
    return false;
  }
  TheWorld().consoleOutput += text;
  return true;
}

bool RouteConsoleCancel(win::Handle window, std::uint32_t message, std::uint32_t waitMilliseconds) {
  Record("RouteConsoleCancel", window, message, waitMilliseconds);
  TheWorld().consoleCancelWindow = window;
  TheWorld().consoleCancelMessage = message;
  return true;
}

void ConsoleCancelHandled() {
  Record("ConsoleCancelHandled");
  ++TheWorld().consoleCancelHandled;
}

} // namespace platform
