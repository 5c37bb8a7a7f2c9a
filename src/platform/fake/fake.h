#pragma once
// A scripted stand-in for Windows, for the native tests. Every platform call is recorded with
// its arguments in World::calls ("ExitWindowsEx(12, 0)"); results come from scripts, with the
// Windows version, clock, computer name, registry and files held in memory.

#include "platform/kernel.h"
#include "platform/network.h"
#include "platform/shell.h"
#include "platform/winconst.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fake {

// Orders names as the registry compares them: without regard to letter case.
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const;
};

struct RegValue {
  win::RegType type = win::RegSz;
  std::vector<std::uint8_t> data;

  static RegValue Text(const std::string& text); // REG_SZ without terminator
  static RegValue Dword(std::uint32_t value);
  std::string AsText() const;
  bool operator==(const RegValue&) const = default;
};

struct RegNode {
  std::map<std::string, RegNode, NoCase> keys;
  std::map<std::string, RegValue, NoCase> values;
};

struct VersionScript {
  bool queryFails = false;      // both forms of GetVersionExA fail
  bool extendedRefused = false; // only the 148-byte form answers
  std::uint32_t platformId = win::VerPlatformWin32Nt;
  std::uint32_t major = 10;
  std::uint32_t minor = 0;
  std::string servicePack;
  std::uint8_t productType = win::VerNtWorkstation;
  int serverR2 = 0;
  bool hasNativeSystemInfo = true;
  std::uint16_t architecture = win::ProcessorArchitectureAmd64;
};

struct MessageBoxRecord {
  win::Handle owner = win::NoHandle;
  std::string text;
  std::string caption;
  win::MessageBoxStyle style = 0;
  std::uint32_t timeout = 0; // milliseconds until it closes by itself; 0: never
};

struct OpenFile {
  std::string path;
  bool writing = false;
  std::size_t position = 0;
};

// One reply of the fake web, by address.
struct HttpReply {
  std::optional<std::uint32_t> status = 200; // none: the status query fails
  std::string body;
  bool readFails = false;
};

// userAccountControl bits of a computer account.
inline constexpr std::uint32_t AccountDisabled = 0x2;
inline constexpr std::uint32_t WorkstationTrustAccount = 0x1000;

// One account of the fake directory.
struct DirectoryObject {
  std::string container; // distinguished name of the container it lies in
  std::string cn;
  std::optional<std::string> dnsHostName;
  std::uint32_t userAccountControl = WorkstationTrustAccount;
  bool computer = true; // objectCategory=computer; false: a user's account
};

// A directory as Windows' LDAP client meets it: its containers and accounts, by distinguished
// name without regard to letter case. The search honours the two clauses of a filter that pick
// computers and leave out disabled accounts, and answers pages of at most the page size asked
// and the server's own limit.
struct DirectoryScript {
  std::set<std::string, NoCase> containers;
  std::vector<DirectoryObject> objects;
  std::set<std::string, NoCase> unreachableServers; // "" for the domain's own controller
  std::optional<std::uint32_t> initError;           // ldap_initA fails with it
  std::string password = "secret";                  // what a bind with an account must give
  bool currentLogonRefused = false;
  std::uint32_t maxPageSize = 1000; // Active Directory's MaxPageSize
  // The server goes down after answering this many pages.
  std::optional<std::size_t> downAfterPages;
  std::size_t pagesAnswered = 0;
  // Called by each bind before it answers, from the thread that binds: a test may hold the bind
  // there, as a server that never answers would.
  std::function<void()> onBind;
  // Sessions not yet unbound, with their server, and the search answers not yet freed: the
  // result code, the cookie of the next page and the accounts, by position in `objects`.
  struct Answer {
    std::uint32_t code = 0;
    std::string cookie;
    std::vector<std::size_t> accounts;
  };
  std::map<win::Handle, std::string> sessions;
  std::map<win::Handle, Answer> answers;
  win::Handle nextHandle = 0x7000;
};

struct World {
  std::vector<std::string> calls;
  // Off for the benchmark, whose memory is the program's: tens of thousands of requests would
  // fill the call list.
  bool recordCalls = true;
  // Results for the calls named, consumed front first; a call without a script succeeds.
  std::map<std::string, std::deque<long>> results;
  // Per thread, as Windows keeps it.
  static thread_local win::ErrorCode lastError;

  // Threads: by default a started thread runs its body at once, before StartThread returns, so
  // that tests see the work in order; with realThreads each body runs on a thread of its own, and
  // Sleep really sleeps, as other threads then move on meanwhile.
  bool realThreads = false;
  bool threadsRefused = false; // StartThread fails
  // With real threads the tick count moves on from tickCount as the machine's clock does.
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

  VersionScript version;
  std::int64_t clockMilliseconds = 0; // local time, milliseconds since 1970-01-01
  std::uint32_t tickCount = 5'000'000;
  std::optional<std::string> computerName = "WORKSTATION"; // none: GetComputerNameA fails
  // GetComputerNameExA's answers by name type; a type left out fails.
  std::map<std::uint32_t, std::string> dnsNames = {
      {win::ComputerNameDnsHostname, "workstation-7"},
      {win::ComputerNameDnsFullyQualified, "workstation-7.corp.example"}};
  std::vector<std::string> ipAddresses = {"10.1.2.7"}; // this computer's IPv4 addresses
  std::string modulePath = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.exe";

  // Remote computers as InitiateSystemShutdownA meets them, by name as asked: how long the
  // request takes (really waited, for the benchmark) and the error of one that refuses. Read
  // without a lock: set them before the requests start.
  std::map<std::string, std::uint32_t, NoCase> requestMilliseconds;
  std::map<std::string, win::ErrorCode, NoCase> refusingComputers;
  // Called with the machine name of each shutdown request, before it is answered.
  std::function<void(const std::string& machine)> onShutdownRequest;

  std::set<std::string> heldPrivileges = {"SeShutdownPrivilege", "SeRemoteShutdownPrivilege"};
  bool user32Loads = true;
  bool user32HasLockWorkStation = true;
  std::set<std::string, NoCase> mutexes;

  // Texts FormatMessageA knows, by language and code. Asked for a text it lacks, it changes the
  // last error as Windows does.
  std::map<std::pair<std::uint32_t, win::ErrorCode>, std::string> systemMessages;

  std::vector<MessageBoxRecord> messageBoxes;
  std::deque<int> messageBoxAnswers; // IDOK when empty
  std::uint32_t messageBoxTimeout = 0;
  // What a message box may leave as the last error; none: it leaves it alone.
  std::optional<win::ErrorCode> lastErrorAfterMessageBox;

  // Registry: roots by handle value, opened keys by handle.
  std::map<win::RegKey, RegNode> registry;
  std::map<win::RegKey, std::pair<win::RegKey, std::vector<std::string>>> openKeys;
  win::RegKey nextKeyHandle = 0x1000;
  std::set<win::RegKey> readOnlyRoots;           // writes, creates and deletes are refused
  std::set<std::string, NoCase> undeletableKeys; // "HKCU\\A\\B"

  // Network provider: what WNetOpenEnumA answers and the entries of each WNetEnumResourceA
  // batch; once the batches are used up the enumeration ends with ERROR_NO_MORE_ITEMS.
  std::uint32_t openEnumResult = win::ErrorSuccess;
  std::deque<std::vector<platform::NetEntry>> enumBatches;

  DirectoryScript directory;

  // WinINet: replies by address, handed out at most `chunk` bytes per read.
  std::map<std::string, HttpReply> web;
  std::uint32_t chunk = 100;
  std::map<win::Handle, std::pair<std::string, std::size_t>> requests; // address, bytes read

  // The console of the process that started the program, when it has one, and what was
  // written to it.
  bool parentConsole = false;
  // The output the program was handed is a file or a pipe rather than the console itself.
  bool outputRedirected = false;
  std::string consoleOutput;
  // The window and message that Ctrl+C and the console's close are routed to, and how many
  // times the program said its end steps were done.
  win::Handle consoleCancelWindow = win::NoHandle;
  std::uint32_t consoleCancelMessage = 0;
  int consoleCancelHandled = 0;

  // The program's ANSI code page, as GetACP reports it. The fake knows the Western code page
  // (1252, as Latin-1), the Cyrillic one (1251, its letters) and UTF-8 (65001).
  std::uint32_t ansiCodePage = 1252;

  // Processes the program starts through the shell: ShellExecuteExA succeeds unless scripted
  // (results "ShellExecuteExA" 0, with the error of "ShellExecuteExA.error", ERROR_CANCELLED
  // when none); ProcessEnded plays "ProcessEnded" (0: still running) and ends at once when
  // unscripted. When the process ends, startedProcess does what it would and gives its exit code.
  std::function<std::uint32_t()> startedProcess;
  bool elevated = false; // the process's token, as ProcessElevated tells

  // The LSA's private data by name, and the error that refuses every access to it when set.
  std::map<std::string, std::string> privateData;
  std::optional<win::ErrorCode> privateDataRefusal;

  // The user's credential store: generic credentials by target, their secret and user name, and
  // the error that refuses every access to it when set.
  std::map<std::string, std::pair<std::string, std::string>, NoCase> credentials;
  std::optional<win::ErrorCode> credentialRefusal;

  // Files by full path.
  std::map<std::string, std::vector<std::uint8_t>> files;
  // Attributes and security descriptors of files by full path. A file without an entry has
  // only the archive attribute and the descriptor its folder gives new files; both travel with
  // a moved file.
  std::map<std::string, std::uint32_t> fileAttributes;
  std::map<std::string, std::vector<std::uint8_t>> fileSecurity;
  std::map<win::Handle, OpenFile> openFiles;
  win::Handle nextFileHandle = 0x2000;
  std::optional<std::size_t> diskSpace; // bytes left for writes
  bool filesReadOnly = false;           // no file can be created
  bool moveFails = false;
  bool readFails = false;
  // Files that are there but refuse to open for reading, with the error Windows gives.
  std::map<std::string, win::ErrorCode> unopenableFiles;
  // Where the shell shows the tray icon (none: Windows before 7, which can't tell) and the edge
  // its taskbar lies along.
  std::optional<platform::ScreenRect> trayIconRect;
  win::ScreenEdge taskbarEdge = win::ScreenEdge::Bottom;
  // Of those, the ones another program lets go of once the tick count reaches this.
  std::map<std::string, std::uint32_t> filesFreedAtTick;
};

// The standard output handle of a process attached to the parent's console.
inline constexpr win::Handle ConsoleOutputHandle = 0x2F00;

// The descriptor a new file gets from its folder.
inline const std::vector<std::uint8_t> FolderDefaultSecurity = {'i', 'n', 'h', 'e', 'r', 'i', 't'};

World& TheWorld();
// Back to a fresh Windows 10 workstation with an empty registry and no files.
void ResetWorld();

// The next scripted result of a call, or the fallback.
long NextResult(const std::string& call, long fallback);
// Calls whose name is one of these, in order.
std::vector<std::string> CallsNamed(const std::vector<std::string>& names);
// Waits for the real threads the program let go of (platform::ReleaseThread) to end: a test
// calls it once it has let them end, before the world they use goes.
void JoinReleasedThreads();

void SetClock(int year, int month, int day, int hour, int minute, int second);
void SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                std::uint8_t productType = win::VerNtWorkstation);

// Registry helpers for tests; paths start with a short or long root name ("HKCU\\...").
void PutRegValue(const std::string& path, const std::string& name, const RegValue& value);
std::optional<RegValue> GetRegValue(const std::string& path, const std::string& name);
void MakeRegKey(const std::string& path);
bool RegKeyPresent(const std::string& path);

} // namespace fake
