// A DLL the driver loads into the running program (driver inject) to ask oleacc, from inside the
// program's process, what a screen reader learns of its windows: the name and role of each
// control, as AccessibleObjectFromWindow gives them. Once loaded it writes a report next to
// itself (access_probe.txt) and is done.
//
// Report lines, tab-separated:
//   form     CAPTION  ROLE  NAME                        each shown window of the program
//   control  CAPTION  CLASS  INDEX  ROLE  NAME          each control of such a window: its class
//                                                       and its place among the controls of
//                                                       that class (1 for the first)
//   tray     LEFT  TOP  RIGHT  BOTTOM  |  tray  none    where the shell says the main window's
//                                                       icon is (Shell_NotifyIconGetRect)
//   done
// ROLE is oleacc's role number, NAME empty when oleacc gives none.

#include <windows.h>

// The interface's id from the header: the import library's symbol is the DLL's import slot.
#include <initguid.h>

#include <oleacc.h>
#include <shellapi.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char MainWindowClass[] = "DorvaneShutdownMainWindow";
constexpr UINT TrayIconId = 1006;

HMODULE Self = nullptr;

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) {
    return {};
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(narrow.size() - 1);
  return narrow;
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The role number and name oleacc gives the window's client object.
std::pair<long, std::string> Accessible(HWND window) {
  IAccessible* object = nullptr;
  const HRESULT made = AccessibleObjectFromWindow(
      window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object));
  if (FAILED(made) || object == nullptr) {
    char failure[32];
    std::snprintf(failure, sizeof failure, "0x%08lx", static_cast<unsigned long>(made));
    return {-1, failure};
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  long roleNumber = -1;
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
    roleNumber = role.lVal;
  }
  BSTR name = nullptr;
  std::string nameText;
  if (object->get_accName(self, &name) == S_OK) {
    nameText = Narrow(name);
    SysFreeString(name);
  }
  object->Release();
  return {roleNumber, nameText};
}

struct Program {
  DWORD process = 0;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto& program = *reinterpret_cast<Program*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == program.process && IsWindowVisible(window)) {
    program.windows.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

void ReportTray(FILE* report) {
  const HWND main = FindWindowA(MainWindowClass, nullptr);
  using GetRectFunction = HRESULT WINAPI(const NOTIFYICONIDENTIFIER*, RECT*);
  auto* const getRect = reinterpret_cast<GetRectFunction*>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA("shell32.dll"), "Shell_NotifyIconGetRect")));
  NOTIFYICONIDENTIFIER icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = main;
  icon.uID = TrayIconId;
  RECT rect{};
  if (main != nullptr && getRect != nullptr && SUCCEEDED(getRect(&icon, &rect))) {
    std::fprintf(report, "tray\t%ld\t%ld\t%ld\t%ld\n", rect.left, rect.top, rect.right,
                 rect.bottom);
  } else {
    std::fprintf(report, "tray\tnone\n");
  }
}

DWORD WINAPI Probe(LPVOID) {
  CoInitialize(nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Self, path, MAX_PATH);
  std::string reportPath = path;
  reportPath = reportPath.substr(0, reportPath.find_last_of('.')) + ".txt";
  const std::string partial = reportPath + ".part";
  FILE* report = std::fopen(partial.c_str(), "wb");
  if (report == nullptr) {
    return 1;
  }
  Program program;
  program.process = GetCurrentProcessId();
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&program));
  for (HWND window : program.windows) {
    const std::string caption = WindowText(window);
    const auto [role, name] = Accessible(window);
    std::fprintf(report, "form\t%s\t%ld\t%s\n", caption.c_str(), role, name.c_str());
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::map<std::string, int> seen;
    for (HWND child : children) {
      const std::string windowClass = ClassOf(child);
      const auto [childRole, childName] = Accessible(child);
      std::fprintf(report, "control\t%s\t%s\t%d\t%ld\t%s\n", caption.c_str(), windowClass.c_str(),
                   ++seen[windowClass], childRole, childName.c_str());
    }
  }
  ReportTray(report);
  std::fprintf(report, "done\n");
  std::fclose(report);
  // The driver waits for the report's name: it appears only once the report is whole.
  MoveFileA(partial.c_str(), reportPath.c_str());
  CoUninitialize();
  return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Self = instance;
    DisableThreadLibraryCalls(instance);
    if (HANDLE thread = CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  return TRUE;
}
