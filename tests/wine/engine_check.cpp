// Runs the program's registry, start-up, version and settings code against a real Windows
// registry and file system (Wine's, in a throwaway prefix) and reports each check on its own line.
//
//   engine_check EXPECTED_WINDOWS      EXPECTED_WINDOWS: win7, winxp, ... (see KnownVersions)

#include "actions/local_power.h"
#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/same_settings.h"
#include "common/text.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/security.h"
#include "settings/registry_access.h"
#include "settings/run_at_startup.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

// This check sets up the user's side of a test with calls the program itself never makes.
#include <windows.h>

#include "platform/win32/late_bound.h"

#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char TestKey[] = "Software\\DorvaneEngineCheck";
constexpr char TestKeyPath[] = "HKCU\\Software\\DorvaneEngineCheck";
constexpr std::uint32_t PathCapacity = 262;
// Header, 24 reserved bytes, the numbers, three text lengths and 20 reserved bytes.
constexpr std::size_t SettingsFixedBytes = 73;
// Full access for the system and this user, none for anyone else, and nothing inherited: unlike
// the list a new file gets, which lets everyone read it. (Wine keeps an access list as the Unix
// permissions of the file, and a file it creates loses what the process's umask takes away, such
// as everyone's right to write; a list that grants others nothing comes through whole.)
std::string OwnAccessList() {
  std::string list = "D:P(A;;FA;;;SY)";
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return list;
  }
  std::vector<std::uint8_t> user(256);
  DWORD size = 0;
  char* sid = nullptr;
  if (::GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()),
                            &size) &&
      ::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
    list += std::string("(A;;FA;;;") + sid + ")";
    ::LocalFree(sid);
  }
  ::CloseHandle(token);
  return list;
}
// A DLL that the build puts beside this program (the end-to-end tests plant it next to theirs),
// and the mark it leaves beside itself when it is loaded.
constexpr char BesideDll[] = "e2e_planted_dll.dll";
constexpr char BesideDllMark[] = "e2e_planted_dll.dll.loaded";

struct KnownVersion {
  const char* name;
  OsVersionClass osClass;
};

constexpr KnownVersion KnownVersions[] = {
    {"win2k", OsWin2000}, {"winxp", OsWinXP}, {"win2003", OsServer2003}, {"vista", OsVista},
    {"win7", OsWin7},     {"win8", OsWin8},   {"win81", OsWin81},        {"win10", OsWin10},
};

int passed = 0;
int failed = 0;

void Check(const char* name, bool ok, const std::string& detail = {}) {
  if (ok) {
    ++passed;
    std::printf("PASS %s\n", name);
  } else {
    ++failed;
    std::printf("FAIL %s%s%s\n", name, detail.empty() ? "" : ": ", detail.c_str());
  }
  std::fflush(stdout);
}

std::string SubKeyOf(const char* name) {
  return std::string(TestKey) + "\\" + name;
}

std::string PathOf(const char* name) {
  return std::string(TestKeyPath) + "\\" + name;
}

bool WriteText(const std::string& subKey, const char* valueName, const char* text) {
  return WriteRegValue(win::HkeyCurrentUser, subKey.c_str(), valueName, text,
                       static_cast<std::uint32_t>(std::strlen(text)), win::RegSz);
}

struct ReadResult {
  bool ok = false;
  std::string text;
  win::RegType type = win::RegNone;
  std::uint32_t size = 0;
};

// The buffer is filled with a marker first, so that a terminator found after the text can only
// have come from the code under test.
ReadResult ReadText(win::RegKey root, const char* subKey, const char* valueName,
                    std::uint32_t capacity = PathCapacity) {
  std::vector<char> buffer(capacity + 1, '#');
  buffer[capacity] = '\0';
  ReadResult result;
  result.ok =
      ReadRegValue(root, subKey, valueName, buffer.data(), capacity, &result.type, &result.size);
  result.text.assign(buffer.data(), BoundedLength(buffer.data(), capacity));
  return result;
}

ReadResult ReadText(const std::string& subKey, const char* valueName,
                    std::uint32_t capacity = PathCapacity) {
  return ReadText(win::HkeyCurrentUser, subKey.c_str(), valueName, capacity);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// The kernel calls the program makes outside the registry and the settings file.
void CheckKernelCalls() {
  char name[win::MaxComputerNameLength + 1] = {};
  std::uint32_t nameSize = sizeof name;
  Check("kernel: computer name", platform::GetComputerNameA(name, nameSize) && nameSize > 0 &&
                                     nameSize == std::strlen(name));

  std::string dnsName;
  Check("kernel: DNS host name",
        platform::GetComputerNameExA(win::ComputerNameDnsHostname, dnsName) && !dnsName.empty(),
        Quoted(dnsName));

  const platform::LocalTime now = platform::GetLocalTime();
  Check("kernel: local time", now.year >= 2000 && now.month >= 1 && now.month <= 12);

  const char mutexName[] = "DorvaneEngineCheckMutex";
  const win::Handle first = platform::CreateMutexA(false, mutexName);
  const bool firstNew = platform::GetLastError() != win::ErrorAlreadyExists;
  const win::Handle second = platform::CreateMutexA(false, mutexName);
  const bool secondExisting = platform::GetLastError() == win::ErrorAlreadyExists;
  Check("kernel: a second mutex of the same name reports it exists",
        first != win::NoHandle && second != win::NoHandle && firstNew && secondExisting);
  platform::CloseHandle(second);
  platform::CloseHandle(first);

  std::string text;
  Check("kernel: system text for an error code",
        platform::FormatMessageA(win::ErrorFileNotFound, win::LangEnglishUs, text) && !text.empty(),
        Quoted(text));

  const win::Handle kernel = platform::GetModuleHandleA(Kernel32LibraryName);
  const win::Handle nativeInfo = platform::GetProcAddress(kernel, NativeSystemInfoEntry);
  Check("kernel: native architecture through the run-time entry point",
        nativeInfo != win::NoHandle &&
            platform::CallGetNativeSystemInfo(nativeInfo) == win::ProcessorArchitectureAmd64);
  Check("kernel: a missing entry point is reported",
        platform::GetProcAddress(kernel, "DorvaneNoSuchEntry") == win::NoHandle &&
            platform::GetLastError() == win::ErrorProcNotFound);

  const win::Handle user32 = platform::LoadLibraryA(User32LibraryName);
  Check("kernel: LockWorkStation is found in user32",
        user32 != win::NoHandle &&
            platform::GetProcAddress(user32, LockWorkStationEntry) != win::NoHandle);
  platform::FreeLibrary(user32);

  Check("security: the shutdown privilege can be enabled",
        EnablePrivilege(ShutdownPrivilegeName, true));
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = module != nullptr ? ::GetModuleFileNameA(module, path, MAX_PATH) : 0;
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string SystemFolderPath(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length < MAX_PATH ? length : 0) + "\\" + name;
}

// Last, as it changes where this process finds DLLs for the rest of its run.
void CheckDllSearch() {
  const std::string loaded =
      ModulePath(reinterpret_cast<HMODULE>(platform::LoadLibraryA("mpr.dll")));
  Check("dll: a Windows DLL is loaded from the system folder",
        SameTextIgnoringCase(loaded, SystemFolderPath("mpr.dll")), Quoted(loaded));
  const std::string byPath = ModulePath(platform::win32::LoadByPathInSystemFolder("wininet.dll"));
  Check("dll: by its path in the system folder where the loader can't be asked to search there",
        SameTextIgnoringCase(byPath, SystemFolderPath("wininet.dll")), Quoted(byPath));

  Check("dll: a DLL lies beside this program",
        platform::GetFileAttributesA(PathNextToProgram(BesideDll).c_str()) !=
            win::InvalidFileAttributes);
  platform::KeepDllSearchInSystemFolder();
  const HMODULE beside = ::LoadLibraryA(BesideDll);
  Check("dll: then a DLL beside the program is no longer found by its name", beside == nullptr,
        ModulePath(beside));
  if (beside != nullptr) {
    ::FreeLibrary(beside);
    platform::DeleteFileA(PathNextToProgram(BesideDllMark).c_str());
  }
}

void CheckRegistryLayer() {
  DeleteRegKeyTree(TestKeyPath);
  const std::string values = SubKeyOf("Values");

  Check("registry: test key absent at start", !RegKeyExists(TestKeyPath));
  // Windows counts a REG_SZ terminator it finds right after the given size as part of the value,
  // so the text is cut from a longer one to really store it without a terminator.
  const char longer[] = "hello, world";
  Check("registry: WriteRegValue creates missing keys",
        WriteRegValue(win::HkeyCurrentUser, values.c_str(), "Text", longer, 5, win::RegSz));
  Check("registry: RegKeyExists finds the created key", RegKeyExists(PathOf("Values").c_str()));
  Check("registry: RegKeyExists is false for a missing key",
        !RegKeyExists(PathOf("Missing").c_str()));

  const ReadResult text = ReadText(values, "Text");
  Check("registry: unterminated REG_SZ reads back terminated",
        text.ok && text.text == "hello" && text.type == win::RegSz && text.size == 5,
        Quoted(text.text) + " type " + std::to_string(text.type) + " size " +
            std::to_string(text.size));

  const ReadResult tight = ReadText(values, "Text", 5);
  Check("registry: text without room for its terminator is refused",
        !tight.ok && tight.text.empty(), Quoted(tight.text));

  const std::uint32_t number = 0x12345678;
  const bool numberWritten = WriteRegValue(win::HkeyCurrentUser, values.c_str(), "Number", &number,
                                           sizeof number, win::RegDword);
  std::uint32_t numberRead = 0;
  win::RegType numberType = win::RegNone;
  std::uint32_t numberSize = 0;
  const bool numberOk = ReadRegValue(win::HkeyCurrentUser, values.c_str(), "Number",
                                     reinterpret_cast<char*>(&numberRead), sizeof numberRead,
                                     &numberType, &numberSize);
  Check("registry: REG_DWORD round trip", numberWritten && numberOk && numberRead == number &&
                                              numberType == win::RegDword &&
                                              numberSize == sizeof number);

  const ReadResult missing = ReadText(values, "Missing");
  Check("registry: missing value reads as false and empty", !missing.ok && missing.text.empty(),
        Quoted(missing.text));
  const ReadResult missingKey = ReadText(SubKeyOf("Missing"), "Text");
  Check("registry: value of a missing key reads as false and empty",
        !missingKey.ok && missingKey.text.empty(), Quoted(missingKey.text));

  Check("registry: DeleteRegValue removes a present value",
        DeleteRegValue(win::HkeyCurrentUser, values.c_str(), "Text") &&
            !ReadText(values, "Text").ok);
  Check("registry: DeleteRegValue of a missing value is false",
        !DeleteRegValue(win::HkeyCurrentUser, values.c_str(), "Text"));

  const std::string single = SubKeyOf("Single");
  WriteText(single, "Text", "one");
  Check("registry: DeleteRegKey removes a key without sub-keys",
        DeleteRegKey(win::HkeyCurrentUser, single.c_str()) &&
            !RegKeyExists(PathOf("Single").c_str()));
  Check("registry: DeleteRegKey of a missing key is false",
        !DeleteRegKey(win::HkeyCurrentUser, single.c_str()));

  const char* const treeKeys[] = {"Tree",        "Tree\\A", "Tree\\A\\A1",
                                  "Tree\\A\\A2", "Tree\\B", "Tree\\B\\B1"};
  bool treeBuilt = true;
  for (const char* key : treeKeys) {
    treeBuilt = WriteText(SubKeyOf(key), "Level", key) && treeBuilt;
  }
  Check("registry: three-level tree written",
        treeBuilt && RegKeyExists(PathOf("Tree\\A\\A1").c_str()));
  Check("registry: DeleteRegKeyTree removes a three-level tree",
        DeleteRegKeyTree(PathOf("Tree").c_str()) && !RegKeyExists(PathOf("Tree").c_str()));
  Check("registry: DeleteRegKeyTree of a missing key is false",
        !DeleteRegKeyTree(PathOf("Tree").c_str()));

  Check("registry: whole test key removed",
        DeleteRegKeyTree(TestKeyPath) && !RegKeyExists(TestKeyPath));
}

std::string ProgramPath() {
  std::string path;
  return platform::GetProgramPath(path) ? path : std::string();
}

void CheckRunAtStartup(OsVersionClass expected) {
  const char* runKey = RunKeyPath(DetectOsVersion());
  Check("run at startup: Run key follows the Windows class",
        std::string_view(runKey) == (expected > OsWinXP ? UserRunKey : MachineRunKey), runKey);

  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(runKey, subKey, sizeof subKey);
  const char* otherRunKey = std::string_view(runKey) == UserRunKey ? MachineRunKey : UserRunKey;
  char otherSubKey[RegPathCapacity];
  const win::RegKey otherRoot = ParseRegPath(otherRunKey, otherSubKey, sizeof otherSubKey);
  const std::string program = ProgramPath();

  Check("run at startup: enabling succeeds", ApplyRunAtStartup(true, RunValueName));
  const ReadResult registered = ReadText(root, subKey, RunValueName);
  Check("run at startup: value holds the program's path",
        registered.ok && registered.type == win::RegSz && registered.text == program &&
            (registered.size == program.size() || registered.size == program.size() + 1),
        Quoted(registered.text) + " expected " + Quoted(program));
  Check("run at startup: nothing under the other Run key",
        !ReadText(otherRoot, otherSubKey, RunValueName).ok);

  Check("run at startup: disabling succeeds", ApplyRunAtStartup(false, RunValueName));
  Check("run at startup: value removed", !ReadText(root, subKey, RunValueName).ok);
}

std::vector<std::uint8_t> FileContent(const std::string& path, bool& exists) {
  std::vector<std::uint8_t> content;
  const win::Handle file = platform::OpenFileForReading(path.c_str());
  exists = file != win::NoHandle;
  if (!exists) {
    return content;
  }
  std::uint8_t piece[4096];
  for (;;) {
    const std::int32_t got = platform::ReadFile(file, piece, sizeof piece);
    if (got <= 0) {
      break;
    }
    content.insert(content.end(), piece, piece + got);
  }
  platform::CloseFile(file);
  return content;
}

// The password is kept in the user's credential store, not in the file.
std::size_t ExpectedFileSize(const Settings& s) {
  return std::strlen(SettingsHeader) + SettingsFixedBytes + std::strlen(s.RemoteComputer) +
         std::strlen(s.UserName);
}

void CheckSaveAndLoad(const char* label, const Settings& saved, const std::string& path) {
  const std::string name = std::string("settings file: ") + label;
  Check((name + " saved").c_str(), SaveSettings(saved, SettingsHeader, path.c_str()));

  bool exists = false;
  const std::vector<std::uint8_t> content = FileContent(path, exists);
  Check((name + " file size").c_str(), exists && content.size() == ExpectedFileSize(saved),
        std::to_string(content.size()) + " bytes, expected " +
            std::to_string(ExpectedFileSize(saved)));
  Check((name + " starts with the header").c_str(),
        content.size() >= std::strlen(SettingsHeader) &&
            std::memcmp(content.data(), SettingsHeader, std::strlen(SettingsHeader)) == 0);

  Settings loaded;
  SetDefaultSettings(loaded);
  const bool loadedOk = LoadSettings(loaded, SettingsHeader, path.c_str()) == SettingsLoad::Read;
  Check((name + " loads back equal").c_str(), loadedOk && SameSettings(saved, loaded));

  bool temporaryLeft = false;
  FileContent(path + SettingsTempSuffix, temporaryLeft);
  Check((name + " leaves no temporary file").c_str(), !temporaryLeft);
}

// A user who hid the file and gave it an access list of their own finds both after a save.
void CheckSaveKeepsProtection(const Settings& saved, const std::string& path) {
  PSECURITY_DESCRIPTOR own = nullptr;
  const bool restricted = ::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                              OwnAccessList().c_str(), SDDL_REVISION_1, &own, nullptr) &&
                          ::SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, own);
  ::LocalFree(own);
  std::vector<std::uint8_t> before;
  const bool readBefore =
      platform::GetFileSecurityA(path.c_str(), win::DaclSecurityInformation, before);
  const bool hidden = platform::SetFileAttributesA(path.c_str(), win::FileAttributeHidden |
                                                                     win::FileAttributeArchive);

  Check("settings file: saved over a hidden file with its own access list",
        restricted && readBefore && hidden && SaveSettings(saved, SettingsHeader, path.c_str()));
  const std::uint32_t attributes = platform::GetFileAttributesA(path.c_str());
  Check("settings file: still hidden after a save",
        attributes != win::InvalidFileAttributes && (attributes & win::FileAttributeHidden) != 0,
        std::to_string(attributes));
  std::vector<std::uint8_t> after;
  Check("settings file: access list kept by a save",
        platform::GetFileSecurityA(path.c_str(), win::DaclSecurityInformation, after) &&
            after == before,
        std::to_string(before.size()) + " bytes before, " + std::to_string(after.size()) +
            " after");
  bool temporaryLeft = false;
  FileContent(path + SettingsTempSuffix, temporaryLeft);
  Check("settings file: a protected save leaves no temporary file", !temporaryLeft);
}

void CheckSettingsFile() {
  const std::string path = PathNextToProgram(SettingsFileName);
  const std::string program = ProgramPath();
  const std::string directory = program.substr(0, program.rfind('\\') + 1);
  Check("settings file: path is next to the program", path == directory + SettingsFileName,
        Quoted(path));
  platform::DeleteFileA(path.c_str());

  Settings untouched;
  SetDefaultSettings(untouched);
  Settings probe = untouched;
  Check("settings file: loading a missing file is false and keeps the record",
        LoadSettings(probe, SettingsHeader, path.c_str()) == SettingsLoad::Missing &&
            SameSettings(probe, untouched));

  Settings first;
  SetDefaultSettings(first);
  first.ForceApps = 1;
  first.RunAtStartup = 0;
  first.StartInTray = 1;
  first.TimerActive = 1;
  first.TimerHour = 23;
  first.TimerMinute = 59;
  first.ShowWarning = 0;
  first.WarnSeconds = 300;
  first.ShowRemoteWarning = 0;
  first.RemoteWarnSeconds = -2;
  first.TimerAction = 6;
  first.ConfirmExit = 1;
  std::strcpy(first.RemoteComputer, "\\\\FILESERVER-01");
  first.RemoteReboot = 1;
  first.UseCredentials = 1;
  std::strcpy(first.UserName, "OFFICE\\administrator");
  std::strcpy(first.Password, "p4ss w\xF6rd!");
  first.LastCheckDay = 0x12345678;
  CheckSaveAndLoad("first save", first, path);

  Settings second = first;
  second.ForceApps = 0;
  second.TimerHour = 7;
  second.WarnSeconds = 15;
  std::strcpy(second.RemoteComputer, "PC2");
  std::strcpy(second.UserName, "");
  std::strcpy(second.Password, "x");
  second.LastCheckDay = -1;
  CheckSaveAndLoad("second save over the first", second, path);
  CheckSaveKeepsProtection(first, path);

  Check("settings file: removed", platform::DeleteFileA(path.c_str()));
}

} // namespace

int main(int argc, char** argv) {
  const KnownVersion* expected = nullptr;
  for (const KnownVersion& known : KnownVersions) {
    if (argc == 2 && std::string_view(argv[1]) == known.name) {
      expected = &known;
    }
  }
  if (expected == nullptr) {
    std::fprintf(stderr, "usage: engine_check win2k|winxp|win2003|vista|win7|win8|win81|win10\n");
    return 2;
  }

  const OsVersionClass detected = DetectOsVersion();
  Check("DetectOsVersion matches the Windows version", detected == expected->osClass,
        "detected class " + std::to_string(detected) + ", expected " + expected->name + " (" +
            std::to_string(expected->osClass) + ")");

  CheckKernelCalls();
  CheckRegistryLayer();
  CheckRunAtStartup(expected->osClass);
  CheckSettingsFile();
  CheckDllSearch();

  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
