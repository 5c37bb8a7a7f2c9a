// The equal-work yardstick of the start-up benchmark: the start-up work that DorvaneShutdown.exe
// must do, in the order it does it, written flat on Win32 with no toolkit and none of the
// program's code. What the program spends beyond this program's time and memory is what its own
// layers cost. Built like the program (static, no console), with its manifest and images, but
// with a window class, title, mutex, settings file and registry names of its own, so that it
// never meets the program's.

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr char MainClassName[] = "BenchFlatWindow";
constexpr char NoticeClassName[] = "BenchFlatNotice";
constexpr char Title[] = "Flat";
constexpr char MutexName[] = "BenchFlatInstance";
constexpr char AlreadyRunningText[] = "Flat is already running.";
constexpr char SettingsFileName[] = "Flat.dat";
constexpr char NoticeText[] = "Flat is starting, please wait...";
constexpr char StatusHelpText[] = "For Help press F1";
constexpr char TimerCheckCaption[] = "Shutdown at";
constexpr char OptionsCaption[] = "Options";
constexpr char OptionsHint[] = "Configure various setting in the program";
constexpr char AutoLogonOnCaption[] = "AutoLogon  ENABLED";
constexpr char AutoLogonOffCaption[] = "AutoLogon  DISABLED";
constexpr char AutoLogonHint[] = "Sets automatic logon feature";

// Registry places of this program's own, shaped like the program's: a sound-event key removed at
// start where it exists, and a run-at-logon value written at every start.
constexpr char SoundKey[] = "AppEvents\\Schemes\\Apps\\.Default\\BenchFlatSelect\\.Current";
constexpr char RunKey[] = "Software\\BenchFlat\\Run";
constexpr char RunValueName[] = "BenchFlat";
// Read only, as the program does to caption its AutoLogon button.
constexpr char WinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* WinlogonValues[] = {"AutoAdminLogon", "DefaultUserName", "DefaultPassword",
                                          "DefaultDomainName"};
constexpr DWORD WinlogonValueCapacity = 262;
// Windows XP is 5.1; the program cleans up the sound key only on later versions.
constexpr DWORD XpMajor = 5;
constexpr DWORD XpMinor = 1;

constexpr char HelpControl[] = "hhctrl.ocx";
constexpr WORD HtmlHelpOrdinal = 14;
constexpr UINT HhInitialize = 0x1C;
using HtmlHelpFunction = HWND WINAPI(HWND, LPCSTR, UINT, DWORD_PTR);
using GetDpiForWindowFunction = UINT WINAPI(HWND);

constexpr DWORD PathCapacity = 262;
constexpr DWORD SettingsCapacity = 4096;

// The designed sizes: pixels at 96 DPI in MS Sans Serif 8 pt, whose letters A to Z and a to z are
// 323 pixels wide; a wider face widens every horizontal length.
constexpr int DesignDpi = 96;
constexpr int DesignFontPixels = 11;
constexpr char FontFace[] = "MS Sans Serif";
constexpr char FaceSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int DesignedSampleWidth = 323;

constexpr int MainClientWidth = 459;
constexpr int MainClientHeight = 129;
constexpr int NoticeClientWidth = 316;
constexpr int NoticeClientHeight = 70;
constexpr int NoticeLabelOffset = 16;

// The images come drawn at these scales in percent; a scaled one is numbered image * 100 + scale.
constexpr int ImageScales[] = {100, 125, 150, 200};
constexpr int DesignScale = 100;
constexpr int ScaledNumberFactor = 100;
constexpr int ToolbarImages = 100;
constexpr int OptionsGlyph = 110;
constexpr int AutoLogonGlyph = 111;
constexpr int ApplicationIcon = 1;
constexpr COLORREF TransparentKey = RGB(0xFF, 0x00, 0xFF);

constexpr int ToolButtonWidth = 55;
constexpr int ToolButtonHeight = 44;
constexpr int ToolSeparatorWidth = 2;
// The bar's edge lines and border above and below its buttons.
constexpr int ToolBarFrameHeight = 3;
constexpr int FirstToolCommand = 100;
constexpr int StatusHelpPartWidth = 100;
constexpr int StatusSecondPartWidth = 350;
constexpr int GlyphSpacing = 10;
constexpr UINT_PTR TimerId = 1;
constexpr UINT TimerMilliseconds = 1000;
// Room for a hint or a button caption.
constexpr int TextCapacity = 80;

enum ControlId : int {
  TimerCheckId = 10,
  TimerGroupId,
  TimePickerId,
  OptionsButtonId,
  AutoLogonButtonId,
  StatusBarId,
  ToolBarId
};

struct ToolButton {
  const char* caption;
  const char* hint;
};

constexpr ToolButton ToolButtons[] = {
    {"Shutdown", "Shuts down the system and turns off the power"},
    {"Reboot", "Restarts the system."},
    {"Log Off", "Log Off the current user"},
    {"Standby", "Suspends the system, using RAM-alive technique."},
    {"Hibernate", "Suspends the system using hibernate technique."},
    {"Lock", "Locks the workstation's display."},
    {"Remote", "Shutdown or restart an specified computer in your LAN"},
    {"Domain", "Shutdown or restart all computers in your LAN domain."},
};
constexpr int ToolButtonCount = static_cast<int>(std::size(ToolButtons));

// A menu as a list of items; a null caption is a separator, a nested list a submenu.
struct MenuEntry {
  const char* caption;
  const MenuEntry* items = nullptr;
  std::size_t count = 0;
};

constexpr MenuEntry FileItems[] = {{"&Tray\tEsc"}, {nullptr}, {"&Exit\tAlt+F4"}};
constexpr MenuEntry ActionItems[] = {
    {"&Shut Down"},      {"&Reboot"},          {"&Log Off"},
    {"&Stand by"},       {"&Hibernate"},       {"&Lock Workstation"},
    {nullptr},           {"&Remote Shutdown"}, {"&Abort Remote Shutdown"},
    {"&Domain Shutdown"}};
constexpr MenuEntry OptionsItems[] = {{"&Preferences\tCtrl+O"}, {"&AutoLogon\tCtrl+L"}};
constexpr MenuEntry HelpItems[] = {
    {"&Index\tF1"}, {"&Program Home Page"}, {nullptr}, {"&About\tCtrl+A"}};
constexpr MenuEntry MenuBar[] = {{"&File", FileItems, std::size(FileItems)},
                                 {"&Action", ActionItems, std::size(ActionItems)},
                                 {"&Options", OptionsItems, std::size(OptionsItems)},
                                 {"&Help", HelpItems, std::size(HelpItems)}};

struct Design {
  int left;
  int top;
  int width;
  int height;
};

// Lengths at a DPI and for the face Windows gives there.
struct Scale {
  int dpi = DesignDpi;
  int faceWidth = 1;
  int designedWidth = 1;

  int X(int length) const { return MulDiv(length, dpi * faceWidth, DesignDpi * designedWidth); }
  int Y(int length) const { return MulDiv(length, dpi, DesignDpi); }
};

// What the main window's procedure needs after start-up.
struct MainWindow {
  HWND window = nullptr;
  HFONT font = nullptr;
  Scale scale;
  HIMAGELIST toolbarImages = nullptr;
  HIMAGELIST optionsGlyph = nullptr;
  HIMAGELIST autoLogonGlyph = nullptr;
  DWORD_PTR helpCookie = 0;
};

MainWindow Main;

int WindowDpi(HWND window) {
  static auto* const forWindow = reinterpret_cast<GetDpiForWindowFunction*>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (forWindow != nullptr) {
    if (const UINT dpi = forWindow(window); dpi != 0) {
      return static_cast<int>(dpi);
    }
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : DesignDpi;
}

HFONT CreateScaledFont(int dpi) {
  return CreateFontA(-MulDiv(DesignFontPixels, dpi, DesignDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FontFace);
}

// The window's scale, widened where the face Windows gives is wider than the designed one.
Scale MeasureScale(HWND window, HFONT font, int dpi) {
  Scale scale;
  scale.dpi = dpi;
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE sample{};
  GetTextExtentPoint32A(dc, FaceSample, sizeof FaceSample - 1, &sample);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  if (sample.cx * DesignDpi > DesignedSampleWidth * dpi) {
    scale.faceWidth = sample.cx * DesignDpi;
    scale.designedWidth = DesignedSampleWidth * dpi;
  }
  return scale;
}

// Resizes the window around a client area of the scaled design size and centres it.
void FitAndCentre(HWND window, const Scale& scale, int clientWidth, int clientHeight) {
  RECT client{};
  RECT outer{};
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left + scale.X(clientWidth) - client.right;
  const int height = outer.bottom - outer.top + scale.Y(clientHeight) - client.bottom;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The image strip drawn nearest to the DPI, cut into squares, magenta transparent; with
// onlyFirst, the first square alone (the buttons draw their states from it).
HIMAGELIST LoadImageStrip(int image, int dpi, bool onlyFirst) {
  const int wanted = MulDiv(dpi, DesignScale, DesignDpi);
  int nearest = ImageScales[0];
  for (const int scale : ImageScales) {
    if (std::abs(scale - wanted) <= std::abs(nearest - wanted)) {
      nearest = scale;
    }
  }
  const int number = nearest == DesignScale ? image : image * ScaledNumberFactor + nearest;
  const auto bitmap =
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(number),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) {
    return nullptr;
  }
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  const int side = std::abs(info.bmHeight);
  const HIMAGELIST list =
      ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, info.bmWidth / side, 0);
  if (list != nullptr) {
    ImageList_AddMasked(list, bitmap, TransparentKey);
    if (onlyFirst) {
      ImageList_SetImageCount(list, 1);
    }
  }
  DeleteObject(bitmap);
  return list;
}

HMENU CreateMenuFrom(const MenuEntry* items, std::size_t count, bool bar, int& nextId) {
  const HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
  for (std::size_t index = 0; index < count; ++index) {
    const MenuEntry& item = items[index];
    if (item.caption == nullptr) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (item.items != nullptr) {
      const HMENU submenu = CreateMenuFrom(item.items, item.count, false, nextId);
      AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), item.caption);
    } else {
      AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(nextId++), item.caption);
    }
  }
  return menu;
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style,
                 const Design& design, int id) {
  const Scale& scale = Main.scale;
  const int left = scale.X(design.left);
  const int top = scale.Y(design.top);
  const HWND child = CreateWindowExA(
      0, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, left, top,
      scale.X(design.left + design.width) - left, scale.Y(design.top + design.height) - top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(Main.font), FALSE);
  return child;
}

void CreateToolBar() {
  const Scale& scale = Main.scale;
  const HWND bar = CreateWindowExA(
      0, TOOLBARCLASSNAMEA, "",
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN, 0,
      0, 0, 0, Main.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ToolBarId)),
      GetModuleHandleA(nullptr), nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(Main.font), FALSE);
  Main.toolbarImages = LoadImageStrip(ToolbarImages, scale.dpi, false);
  SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Main.toolbarImages));

  TBBUTTON buttons[2 * ToolButtonCount - 1] = {};
  for (int index = 0; index < ToolButtonCount; ++index) {
    TBBUTTON& button = buttons[2 * index];
    button.iBitmap = index;
    button.idCommand = FirstToolCommand + index;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = reinterpret_cast<INT_PTR>(ToolButtons[index].caption);
    if (index > 0) {
      TBBUTTON& separator = buttons[2 * index - 1];
      separator.iBitmap = scale.X(ToolSeparatorWidth);
      separator.fsStyle = BTNS_SEP;
    }
  }
  SendMessageA(bar, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  const int width = scale.X(ToolButtonWidth);
  const int height = scale.Y(ToolButtonHeight);
  SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
  SendMessageA(bar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
  RECT client{};
  GetClientRect(Main.window, &client);
  SetWindowPos(bar, HWND_TOP, 0, 0, client.right, height + 2 * scale.Y(ToolBarFrameHeight),
               SWP_NOACTIVATE);
}

void AddHint(HWND tips, HWND control, const char* hint) {
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Main.window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(hint);
  SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The controls below the toolbar, as the program lays them out.
void CreateControls() {
  CreateToolBar();
  CreateChild(Main.window, WC_BUTTONA, TimerCheckCaption, WS_TABSTOP | BS_AUTOCHECKBOX,
              {12, 56, 89, 17}, TimerCheckId);
  // The picker lies inside the group box, or the box would paint over it.
  const HWND group =
      CreateChild(Main.window, WC_BUTTONA, "", BS_GROUPBOX, {4, 56, 129, 49}, TimerGroupId);
  const HWND picker =
      CreateChild(group, DATETIMEPICK_CLASSA, "", WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN,
                  {16, 20, 89, 21}, TimePickerId);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&now));
  const HWND options = CreateChild(Main.window, WC_BUTTONA, OptionsCaption, BS_OWNERDRAW,
                                   {136, 60, 125, 45}, OptionsButtonId);
  const HWND autoLogon = CreateChild(Main.window, WC_BUTTONA, AutoLogonOnCaption, BS_OWNERDRAW,
                                     {268, 60, 189, 45}, AutoLogonButtonId);
  Main.optionsGlyph = LoadImageStrip(OptionsGlyph, Main.scale.dpi, true);
  Main.autoLogonGlyph = LoadImageStrip(AutoLogonGlyph, Main.scale.dpi, true);

  const HWND status =
      CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0,
                      Main.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusBarId)),
                      GetModuleHandleA(nullptr), nullptr);
  SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(Main.font), FALSE);
  const int parts[] = {Main.scale.X(StatusHelpPartWidth),
                       Main.scale.X(StatusHelpPartWidth + StatusSecondPartWidth)};
  SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(StatusHelpText));

  const HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Main.window,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  AddHint(tips, options, OptionsHint);
  AddHint(tips, autoLogon, AutoLogonHint);
}

// The toolbar asks for a button's hint when its tip is about to show, in ANSI or in UTF-16.
bool AnswerToolTip(NMHDR& header) {
  const auto index = static_cast<int>(header.idFrom) - FirstToolCommand;
  if (index < 0 || index >= ToolButtonCount) {
    return false;
  }
  const char* hint = ToolButtons[index].hint;
  if (header.code == TTN_GETDISPINFOA) {
    reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = const_cast<char*>(hint);
    return true;
  }
  static wchar_t wide[TextCapacity];
  MultiByteToWideChar(CP_ACP, 0, hint, -1, wide, TextCapacity);
  reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = wide;
  return true;
}

// The flat buttons: the glyph left of the caption, the two centred together.
void DrawGlyphButton(const DRAWITEMSTRUCT& item) {
  const HIMAGELIST glyph = item.CtlID == OptionsButtonId ? Main.optionsGlyph : Main.autoLogonGlyph;
  RECT face = item.rcItem;
  FillRect(item.hDC, &face, GetSysColorBrush(COLOR_BTNFACE));
  if ((item.itemState & ODS_SELECTED) != 0) {
    DrawEdge(item.hDC, &face, BDR_SUNKENOUTER, BF_RECT);
  }
  char caption[TextCapacity] = {};
  GetWindowTextA(item.hwndItem, caption, sizeof caption);
  const HGDIOBJ previous = SelectObject(item.hDC, Main.font);
  RECT text{};
  DrawTextA(item.hDC, caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
  int glyphWidth = 0;
  int glyphHeight = 0;
  ImageList_GetIconSize(glyph, &glyphWidth, &glyphHeight);
  const int gap = Main.scale.X(GlyphSpacing);
  const int left =
      face.left + (face.right - face.left - (glyphWidth + gap + text.right - text.left)) / 2;
  ImageList_Draw(glyph, 0, item.hDC, left, face.top + (face.bottom - face.top - glyphHeight) / 2,
                 ILD_NORMAL);
  RECT place{left + glyphWidth + gap, face.top, face.right, face.bottom};
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(item.hDC, caption, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  SelectObject(item.hDC, previous);
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_NOTIFY: {
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    if ((header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) &&
        AnswerToolTip(header)) {
      return 0;
    }
    break;
  }
  case WM_DRAWITEM:
    DrawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass(const char* name) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(ApplicationIcon),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(ApplicationIcon),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0;
}

// The main window with its menu, font and controls, not shown yet.
bool CreateMainWindow() {
  const INITCOMMONCONTROLSEX classes{sizeof classes,
                                     ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  if (!RegisterWindowClass(MainClassName)) {
    return false;
  }
  int nextId = FirstToolCommand + ToolButtonCount;
  const HMENU menu = CreateMenuFrom(MenuBar, std::size(MenuBar), true, nextId);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer{0, 0, MainClientWidth, MainClientHeight};
  AdjustWindowRectEx(&outer, style, TRUE, WS_EX_CONTROLPARENT);
  Main.window = CreateWindowExA(WS_EX_CONTROLPARENT, MainClassName, Title, style, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, menu,
                                GetModuleHandleA(nullptr), nullptr);
  if (Main.window == nullptr) {
    return false;
  }
  const int dpi = WindowDpi(Main.window);
  Main.font = CreateScaledFont(dpi);
  Main.scale = MeasureScale(Main.window, Main.font, dpi);
  FitAndCentre(Main.window, Main.scale, MainClientWidth, MainClientHeight);
  CreateControls();
  return true;
}

bool NewerThanXp() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) &&
         (version.dwMajorVersion > XpMajor ||
          (version.dwMajorVersion == XpMajor && version.dwMinorVersion > XpMinor));
}

void ClearSoundKey() {
  HKEY key = nullptr;
  if (NewerThanXp() && RegOpenKeyExA(HKEY_CURRENT_USER, SoundKey, 0, KEY_READ, &key) == 0) {
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, SoundKey);
  }
}

void InitialiseHelp() {
  HMODULE control = GetModuleHandleA(HelpControl);
  if (control == nullptr) {
    control = LoadLibraryA(HelpControl);
  }
  const auto htmlHelp = control == nullptr
                            ? nullptr
                            : reinterpret_cast<HtmlHelpFunction*>(reinterpret_cast<void*>(
                                  GetProcAddress(control, MAKEINTRESOURCEA(HtmlHelpOrdinal))));
  if (htmlHelp != nullptr) {
    htmlHelp(nullptr, nullptr, HhInitialize, reinterpret_cast<DWORD_PTR>(&Main.helpCookie));
  }
}

// The full path of a file in this program's folder.
void PathNextToProgram(const char* fileName, char (&path)[PathCapacity]) {
  const DWORD length = GetModuleFileNameA(nullptr, path, PathCapacity - 1);
  path[length] = '\0';
  char* lastSlash = std::strrchr(path, '\\');
  char* end = lastSlash != nullptr ? lastSlash + 1 : path;
  lstrcpynA(end, fileName, static_cast<int>(PathCapacity - (end - path)));
}

void ReadSettings() {
  char path[PathCapacity];
  PathNextToProgram(SettingsFileName, path);
  const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  char contents[SettingsCapacity];
  DWORD read = 0;
  ReadFile(file, contents, sizeof contents, &read, nullptr);
  CloseHandle(file);
}

void WriteRunValue() {
  char path[PathCapacity];
  const DWORD length = GetModuleFileNameA(nullptr, path, PathCapacity - 1);
  path[length] = '\0';
  const HKEY root = NewerThanXp() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, RunKey, 0, KEY_READ | KEY_WRITE, &key) != 0 &&
      RegCreateKeyExA(root, RunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != 0) {
    return;
  }
  RegSetValueExA(key, RunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length);
  RegCloseKey(key);
}

bool AutoLogonEnabled() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WinlogonKey, 0, KEY_READ, &key) != 0) {
    return false;
  }
  char values[std::size(WinlogonValues)][WinlogonValueCapacity] = {};
  int index = 0;
  for (const char* name : WinlogonValues) {
    DWORD size = WinlogonValueCapacity - 1;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(values[index++]), &size);
  }
  RegCloseKey(key);
  return values[0][0] == '1';
}

// The notice shown while start-up blocks: painted by one pass of the message queue, then gone.
void ShowAndCloseNotice() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA noticeClass{};
  noticeClass.cbSize = sizeof noticeClass;
  noticeClass.lpfnWndProc = DefWindowProcA;
  noticeClass.hInstance = instance;
  noticeClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  noticeClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  noticeClass.lpszClassName = NoticeClassName;
  RegisterClassExA(&noticeClass);
  const DWORD style = WS_POPUP | WS_CAPTION;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  RECT outer{0, 0, NoticeClientWidth, NoticeClientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const HWND notice =
      CreateWindowExA(exStyle, NoticeClassName, Title, style, 0, 0, outer.right - outer.left,
                      outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  if (notice == nullptr) {
    return;
  }
  const int dpi = WindowDpi(notice);
  const HFONT font = CreateScaledFont(dpi);
  const Scale scale = MeasureScale(notice, font, dpi);
  FitAndCentre(notice, scale, NoticeClientWidth, NoticeClientHeight);
  const HDC dc = GetDC(notice);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE text{};
  GetTextExtentPoint32A(dc, NoticeText, sizeof NoticeText - 1, &text);
  SelectObject(dc, previous);
  ReleaseDC(notice, dc);
  const HWND label =
      CreateWindowExA(0, WC_STATICA, NoticeText, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
                      scale.X(NoticeLabelOffset), scale.Y(NoticeLabelOffset), text.cx, text.cy,
                      notice, nullptr, instance, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowWindow(notice, SW_SHOW);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DestroyWindow(notice);
  DeleteObject(font);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_NOALIGNMENTFAULTEXCEPT);
  ClearSoundKey();
  const HANDLE mutex = CreateMutexA(nullptr, TRUE, MutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS || mutex == nullptr) {
    MessageBoxA(nullptr, AlreadyRunningText, Title, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (!CreateMainWindow()) {
    return 1;
  }
  InitialiseHelp();
  ReadSettings();
  WriteRunValue();
  SetTimer(Main.window, TimerId, TimerMilliseconds, nullptr);
  CheckDlgButton(Main.window, TimerCheckId, BST_UNCHECKED);
  SetDlgItemTextA(Main.window, AutoLogonButtonId,
                  AutoLogonEnabled() ? AutoLogonOnCaption : AutoLogonOffCaption);
  SetWindowTextA(Main.window, Title);
  ShowAndCloseNotice();

  ShowWindow(Main.window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(Main.window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  ReleaseMutex(mutex);
  return 0;
}
