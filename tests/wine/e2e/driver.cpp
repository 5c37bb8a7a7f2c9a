// Drives a running Windows program from outside, the way a user would, through window messages
// and synthetic input, and reads back what its windows show. The end-to-end scripts run it in
// the same Wine session as the program under test.
//
//   driver COMMAND ARGUMENTS...
//
//   wait-window CLASS TITLE TIMEOUT_MS [CHILD]  first visible top-level window that matches and,
//                                               when CHILD is given, has a descendant of that class
//   wait-created CLASS TITLE TIMEOUT_MS [CHILD] the same, shown or not
//   find-windows CLASS TITLE                    every matching top-level window, shown or not
//   wait-gone HWND TIMEOUT_MS                   until the window is destroyed or hidden
//   wait-visible HWND TIMEOUT_MS                until the window is shown
//   text|class|style|visible|enabled|pid|client-size|rect HWND
//                                               rect: left top right bottom on the screen
//   read-text HWND                              the text the window itself answers with: what
//                                               an edit or a time picker shows
//   children HWND                               every descendant window, one a line
//   send|post HWND MSG WPARAM LPARAM
//   click-child HWND TEXT                       clicks the descendant button with that text
//   key HWND KEY...                             foreground HWND, then type KEYs ("alt+f4", "up")
//   post-key HWND KEY                           posts the key's down and up messages to HWND
//   pointer X Y                                 moves the mouse pointer to that screen point
//   running NAME                                pids of the processes of that program
//   launch PROGRAM CLASS TITLE TIMEOUT_MS       starts PROGRAM; prints its pid and the
//                                               milliseconds until it shows a matching window
//   unattended PROGRAM TIMEOUT_MS [ARGUMENT...] starts PROGRAM from its folder as a scheduled
//                                               task does, without a console or standard
//                                               handles; prints its exit code once it ends
//   hold MS                                     stays on the desktop for MS milliseconds, which
//                                               keeps the Wine session up meanwhile
//   lock-file PATH MS [CLASS]                   holds the file open without sharing, as a
//                                               backup or antivirus tool does; prints "locked"
//                                               once it is held and lets go MS milliseconds
//                                               later, counted from when a window of CLASS
//                                               exists, shown or not, when CLASS is given
//   inject PID DLL TIMEOUT_MS                   loads DLL into the process; prints the report
//                                               it writes beside itself (its name with .txt)
//   owner HWND                                  the window's owner, 0x0 for none
//   focus HWND                                  the window with the keyboard focus in HWND's
//                                               thread, 0x0 for none
//   watch-answers HWND CLASS TITLE TIMEOUT_MS   sends HWND WM_NULL every 50 ms until a matching
//                                               window shows; prints the polls and the longest
//                                               answer in milliseconds
//
// CLASS and TITLE of "-" match any; a CLASS of "!NAME" matches every class but NAME. Numbers may be
// decimal or 0x-prefixed hexadecimal; window handles are printed in hexadecimal. Menus cannot be
// read from another process under Wine (their items live in the owning process), so the scripts
// check them on screenshots instead. A wait that times out prints "timeout" on stderr and exits
// with 2; a wrong call exits with 3; a failed read or action exits with 1.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitTimeout = 2;
constexpr int ExitUsage = 3;
constexpr DWORD PollMilliseconds = 50;
constexpr DWORD LaunchPollMilliseconds = 5;
// A message sent to a hung program must not hang the test as well.
constexpr UINT SendTimeoutMilliseconds = 10000;

unsigned long long Number(const char* text) {
  return std::strtoull(text, nullptr, 0);
}

HWND Window(const char* text) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text)));
}

void PrintWindow(HWND window) {
  std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

std::string WindowText(HWND window) {
  // For a window of another process this is the text Windows keeps for it; no message is sent.
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

std::string WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// One line per value: line breaks and tabs inside a text are written as \n and \t.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

struct Filter {
  const char* windowClass;
  const char* title;
  bool visibleOnly;
  std::vector<HWND> found;
};

bool Matches(const char* wanted, const std::string& actual) {
  if (wanted[0] == '!') {
    return actual != wanted + 1;
  }
  return std::strcmp(wanted, "-") == 0 || actual == wanted;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto& filter = *reinterpret_cast<Filter*>(data);
  if ((!filter.visibleOnly || IsWindowVisible(window)) &&
      Matches(filter.windowClass, WindowClass(window)) &&
      Matches(filter.title, WindowText(window))) {
    filter.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> TopLevelWindows(const char* windowClass, const char* title, bool visibleOnly) {
  Filter filter{windowClass, title, visibleOnly, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&filter));
  return filter.found;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// All descendants, parents before their children.
std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Polls the condition until it holds or the time is up.
template <typename Condition>
bool WaitFor(DWORD timeout, Condition condition, DWORD pause = PollMilliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) {
      return true;
    }
    if (GetTickCount() - start >= timeout) {
      return false;
    }
    Sleep(pause);
  }
}

int TimedOut() {
  std::fprintf(stderr, "timeout\n");
  return ExitTimeout;
}

bool HasChildOfClass(HWND window, const char* childClass) {
  for (HWND child : Descendants(window)) {
    if (WindowClass(child) == childClass) {
      return true;
    }
  }
  return false;
}

// childClass, when given, must be the class of one of the window's descendants.
int WaitWindow(const char* windowClass, const char* title, bool visibleOnly, DWORD timeout,
               const char* childClass) {
  HWND found = nullptr;
  const bool ok = WaitFor(timeout, [&] {
    for (HWND window : TopLevelWindows(windowClass, title, visibleOnly)) {
      if (childClass == nullptr || HasChildOfClass(window, childClass)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  if (!ok) {
    return TimedOut();
  }
  PrintWindow(found);
  return 0;
}

// Starts the program from its own folder and waits until it shows a matching window; prints the
// process id and the milliseconds from the start to the window, for the start-up benchmark.
int Launch(const char* program, const char* windowClass, const char* title, DWORD timeout) {
  std::string commandLine = std::string("\"") + program + "\"";
  std::string folder = program;
  folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER frequency, start, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "%s could not be started: error %lu\n", program, GetLastError());
    return ExitFailed;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const auto hasWindow = [&] {
    for (HWND window : TopLevelWindows(windowClass, title, true)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      if (pid == process.dwProcessId) {
        return true;
      }
    }
    return false;
  };
  // Polled often, yet with a pause, so that the waiting takes little from the program's start.
  if (!WaitFor(timeout, hasWindow, LaunchPollMilliseconds)) {
    return TimedOut();
  }
  QueryPerformanceCounter(&shown);
  std::printf("%lu %.1f\n", process.dwProcessId,
              1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart));
  return 0;
}

// The arguments are passed without quotes: the tests give plain words.
int Unattended(const char* program, DWORD timeout, int count, char** arguments) {
  std::string commandLine = std::string("\"") + program + "\"";
  for (int i = 0; i < count; ++i) {
    commandLine += std::string(" ") + arguments[i];
  }
  std::string folder = program;
  folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
  // Without a console of its parent's to join, and with no output handed over, the program has
  // nowhere to write but its boxes.
  FreeConsole();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                      nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "%s could not be started: error %lu\n", program, GetLastError());
    return ExitFailed;
  }
  CloseHandle(process.hThread);
  const DWORD waited = WaitForSingleObject(process.hProcess, timeout);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) {
    return TimedOut();
  }
  std::printf("%lu\n", exitCode);
  return 0;
}

int FindWindows(const char* windowClass, const char* title) {
  for (HWND window : TopLevelWindows(windowClass, title, false)) {
    std::printf("0x%llx %d\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)),
                IsWindowVisible(window) ? 1 : 0);
  }
  return 0;
}

int Children(HWND window) {
  for (HWND child : Descendants(window)) {
    RECT bounds = {};
    GetWindowRect(child, &bounds);
    // Relative to the client area of the window asked about.
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&bounds), 2);
    std::printf("0x%llx\t%s\t%s\t%d\t%d\t%ld,%ld,%ld,%ld\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)),
                WindowClass(child).c_str(), Escaped(WindowText(child)).c_str(),
                IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, bounds.left,
                bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  }
  return 0;
}

// A button text compared without its mnemonic marks, so "&Cancel" and "Cancel" both find it.
std::string WithoutMnemonics(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
    }
    out += text[i];
  }
  return out;
}

int ClickChild(HWND window, const char* text) {
  for (HWND child : Descendants(window)) {
    if (WithoutMnemonics(WindowText(child)) != WithoutMnemonics(text)) {
      continue;
    }
    if (_stricmp(WindowClass(child).c_str(), "Button") == 0) {
      // Posted: the click may end the program, which then never answers a sent message.
      return PostMessageA(child, BM_CLICK, 0, 0) ? 0 : ExitFailed;
    }
    // Any other control gets a mouse click in its middle.
    RECT client = {};
    GetClientRect(child, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    const bool ok = PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, middle) &&
                    PostMessageA(child, WM_LBUTTONUP, 0, middle);
    return ok ? 0 : ExitFailed;
  }
  std::fprintf(stderr, "no child window with the text \"%s\"\n", text);
  return ExitFailed;
}

struct NamedKey {
  const char* name;
  WORD key;
};

constexpr NamedKey NamedKeys[] = {
    {"alt", VK_MENU},   {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},  {"escape", VK_ESCAPE},
    {"esc", VK_ESCAPE}, {"return", VK_RETURN}, {"enter", VK_RETURN}, {"up", VK_UP},
    {"down", VK_DOWN},  {"left", VK_LEFT},     {"right", VK_RIGHT},  {"home", VK_HOME},
    {"end", VK_END},    {"tab", VK_TAB},       {"space", VK_SPACE},  {"f1", VK_F1},
    {"f4", VK_F4},      {"f10", VK_F10},
};

// A virtual-key code from a name, a single letter or digit, or a number; 0 when unknown.
WORD KeyCode(const std::string& name) {
  for (const NamedKey& named : NamedKeys) {
    if (_stricmp(named.name, name.c_str()) == 0) {
      return named.key;
    }
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
  }
  return static_cast<WORD>(Number(name.c_str()));
}

// "alt+f4": every key of the combination down in order, then up in reverse order.
bool ParseCombination(const char* text, std::vector<WORD>& keys) {
  std::string rest = text;
  for (;;) {
    const size_t plus = rest.find('+');
    const WORD key = KeyCode(rest.substr(0, plus));
    if (key == 0) {
      return false;
    }
    keys.push_back(key);
    if (plus == std::string::npos) {
      return true;
    }
    rest = rest.substr(plus + 1);
  }
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

int Key(HWND window, int count, char** combinations) {
  // Typed keys go to the foreground window, as they would from the keyboard.
  SetForegroundWindow(window);
  if (!WaitFor(2000, [&] { return GetForegroundWindow() == window; })) {
    std::fprintf(stderr, "the window did not come to the foreground\n");
    return ExitFailed;
  }
  for (int i = 0; i < count; ++i) {
    std::vector<WORD> keys;
    if (!ParseCombination(combinations[i], keys)) {
      std::fprintf(stderr, "unknown key %s\n", combinations[i]);
      return ExitUsage;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
      inputs.push_back(KeyInput(key, false));
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
      inputs.push_back(KeyInput(*key, true));
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
      return ExitFailed;
    }
    // Each combination is handled before the next one arrives.
    Sleep(200);
  }
  return 0;
}

int PostKey(HWND window, const char* name) {
  const WORD key = KeyCode(name);
  if (key == 0) {
    std::fprintf(stderr, "unknown key %s\n", name);
    return ExitUsage;
  }
  const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  const LPARAM down = static_cast<LPARAM>(1 | (scan << 16));
  const LPARAM up = static_cast<LPARAM>(down | (1u << 30) | (1u << 31));
  const bool ok =
      PostMessageA(window, WM_KEYDOWN, key, down) && PostMessageA(window, WM_KEYUP, key, up);
  return ok ? 0 : ExitFailed;
}

int Send(bool post, HWND window, const char* message, const char* wParam, const char* lParam) {
  const auto id = static_cast<UINT>(Number(message));
  const auto w = static_cast<WPARAM>(Number(wParam));
  const auto l = static_cast<LPARAM>(Number(lParam));
  if (post) {
    return PostMessageA(window, id, w, l) ? 0 : ExitFailed;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, id, w, l, SMTO_NORMAL, SendTimeoutMilliseconds, &result)) {
    std::fprintf(stderr, "the message was not answered\n");
    return ExitFailed;
  }
  std::printf("%llu\n", static_cast<unsigned long long>(result));
  return 0;
}

std::vector<DWORD> ProcessesNamed(const char* name) {
  std::vector<DWORD> found;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return found;
  }
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, name) == 0) {
      found.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return found;
}

int Running(const char* name) {
  const std::vector<DWORD> found = ProcessesNamed(name);
  for (DWORD pid : found) {
    std::printf("%lu\n", pid);
  }
  return found.empty() ? ExitFailed : 0;
}

int WindowInfo(const std::string& what, HWND window) {
  if (!IsWindow(window)) {
    std::fprintf(stderr, "no window 0x%llx\n",
                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return ExitFailed;
  }
  if (what == "text") {
    std::printf("%s\n", Escaped(WindowText(window)).c_str());
  } else if (what == "read-text") {
    // An edit or a time picker keeps its text to itself: Windows has none of it for another
    // process, so the window is asked.
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL, SendTimeoutMilliseconds, &length)) {
      std::fprintf(stderr, "the message was not answered\n");
      return ExitFailed;
    }
    std::printf("%s\n", Escaped(text).c_str());
  } else if (what == "class") {
    std::printf("%s\n", WindowClass(window).c_str());
  } else if (what == "visible") {
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
  } else if (what == "style") {
    std::printf("0x%lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  } else if (what == "enabled") {
    std::printf("%d\n", IsWindowEnabled(window) ? 1 : 0);
  } else if (what == "pid") {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("%lu\n", pid);
  } else if (what == "owner") {
    PrintWindow(GetWindow(window, GW_OWNER));
  } else if (what == "focus") {
    // The keyboard focus of the window's thread, which the dialog manager moves.
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) {
      return ExitFailed;
    }
    PrintWindow(thread.hwndFocus);
  } else if (what == "client-size") {
    RECT client = {};
    GetClientRect(window, &client);
    std::printf("%ld %ld\n", client.right, client.bottom);
  } else if (what == "rect") {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    std::printf("%ld %ld %ld %ld\n", bounds.left, bounds.top, bounds.right, bounds.bottom);
  } else {
    return ExitUsage;
  }
  return 0;
}

// Loads the DLL into the process by a thread that runs LoadLibraryA there; kernel32 lies at the
// same address in every process of the session.
int Inject(DWORD pid, const char* dll, DWORD timeout) {
  std::string report = dll;
  report = report.substr(0, report.find_last_of('.')) + ".txt";
  DeleteFileA(report.c_str());
  const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  if (process == nullptr) {
    std::fprintf(stderr, "process %lu could not be opened\n", pid);
    return ExitFailed;
  }
  const size_t size = std::strlen(dll) + 1;
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  const auto loader = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
  HANDLE thread = nullptr;
  if (remote != nullptr && WriteProcessMemory(process, remote, dll, size, nullptr)) {
    thread = CreateRemoteThread(process, nullptr, 0, loader, remote, 0, nullptr);
  }
  if (thread != nullptr) {
    WaitForSingleObject(thread, timeout);
    CloseHandle(thread);
  }
  CloseHandle(process);
  if (thread == nullptr) {
    std::fprintf(stderr, "the DLL could not be loaded into process %lu\n", pid);
    return ExitFailed;
  }
  if (!WaitFor(timeout,
               [&] { return GetFileAttributesA(report.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
    return TimedOut();
  }
  if (FILE* file = std::fopen(report.c_str(), "rb")) {
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      std::fwrite(buffer, 1, read, stdout);
    }
    std::fclose(file);
  }
  return 0;
}

// How quickly a window answers while its program works: a window that keeps answering is one
// the user can still move, paint and close.
int WatchAnswers(HWND window, const char* windowClass, const char* title, DWORD timeout) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double longest = 0;
  unsigned polls = 0;
  const DWORD start = GetTickCount();
  while (TopLevelWindows(windowClass, title, true).empty()) {
    if (GetTickCount() - start >= timeout) {
      return TimedOut();
    }
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    DWORD_PTR result = 0;
    // An unanswered message counts with the time waited for it.
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, SendTimeoutMilliseconds, &result);
    QueryPerformanceCounter(&after);
    const double answer = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
    if (answer > longest) {
      longest = answer;
    }
    ++polls;
    Sleep(PollMilliseconds);
  }
  std::printf("%u %.0f\n", polls, longest);
  return 0;
}

int LockFile(const char* path, DWORD milliseconds, const char* windowClass) {
  const HANDLE file =
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "%s can't be opened: %lu\n", path, GetLastError());
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  constexpr DWORD WindowWaitMilliseconds = 60000;
  if (windowClass != nullptr && !WaitFor(WindowWaitMilliseconds, [&] {
        return !TopLevelWindows(windowClass, "-", false).empty();
      })) {
    CloseHandle(file);
    return TimedOut();
  }
  Sleep(milliseconds);
  CloseHandle(file);
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: driver COMMAND ARGUMENTS... (see driver.cpp)\n");
  return ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
  // Plain line ends, for the shell scripts that read the output.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    return Usage();
  }
  const std::string command = argv[1];
  const int count = argc - 2;
  char** args = argv + 2;
  int result = ExitUsage;
  if ((command == "wait-window" || command == "wait-created") && (count == 3 || count == 4)) {
    result = WaitWindow(args[0], args[1], command == "wait-window",
                        static_cast<DWORD>(Number(args[2])), count == 4 ? args[3] : nullptr);
  } else if (command == "launch" && count == 4) {
    result = Launch(args[0], args[1], args[2], static_cast<DWORD>(Number(args[3])));
  } else if (command == "unattended" && count >= 2) {
    result = Unattended(args[0], static_cast<DWORD>(Number(args[1])), count - 2, args + 2);
  } else if (command == "hold" && count == 1) {
    // Any user32 call joins the desktop; the session stays up while a process is on it.
    GetDesktopWindow();
    Sleep(static_cast<DWORD>(Number(args[0])));
    result = 0;
  } else if (command == "lock-file" && (count == 2 || count == 3)) {
    result = LockFile(args[0], static_cast<DWORD>(Number(args[1])), count == 3 ? args[2] : nullptr);
  } else if (command == "find-windows" && count == 2) {
    result = FindWindows(args[0], args[1]);
  } else if (command == "wait-gone" && count == 2) {
    const HWND window = Window(args[0]);
    result = WaitFor(static_cast<DWORD>(Number(args[1])),
                     [&] { return !IsWindow(window) || !IsWindowVisible(window); })
                 ? 0
                 : TimedOut();
  } else if (command == "wait-visible" && count == 2) {
    const HWND window = Window(args[0]);
    result = WaitFor(static_cast<DWORD>(Number(args[1])),
                     [&] { return IsWindow(window) && IsWindowVisible(window); })
                 ? 0
                 : TimedOut();
  } else if (command == "children" && count == 1) {
    result = Children(Window(args[0]));
  } else if ((command == "send" || command == "post") && count == 4) {
    result = Send(command == "post", Window(args[0]), args[1], args[2], args[3]);
  } else if (command == "click-child" && count == 2) {
    result = ClickChild(Window(args[0]), args[1]);
  } else if (command == "key" && count >= 2) {
    result = Key(Window(args[0]), count - 1, args + 1);
  } else if (command == "pointer" && count == 2) {
    result = ::SetCursorPos(std::atoi(args[0]), std::atoi(args[1])) ? 0 : ExitFailed;
  } else if (command == "post-key" && count == 2) {
    result = PostKey(Window(args[0]), args[1]);
  } else if (command == "running" && count == 1) {
    result = Running(args[0]);
  } else if (command == "inject" && count == 3) {
    result =
        Inject(static_cast<DWORD>(Number(args[0])), args[1], static_cast<DWORD>(Number(args[2])));
  } else if (command == "watch-answers" && count == 4) {
    result = WatchAnswers(Window(args[0]), args[1], args[2], static_cast<DWORD>(Number(args[3])));
  } else if (count == 1) {
    result = WindowInfo(command, Window(args[0]));
  }
  if (result == ExitUsage) {
    Usage();
  }
  std::fflush(stdout);
  return result;
}
