// A DLL the driver loads into the running program (driver inject) to look at its windows from
// inside: fonts, text extents and image lists belong to the program's process and can't be read
// from another one. Once loaded it writes a report next to itself (fit_probe.txt) and is done.
// When a file fit_probe.in lies beside it holding "dpi N", every window of the program, shown or
// hidden, is first told that it moved to a monitor of N dots per inch, as Windows tells it. When
// it holds "tray", the program is told that the taskbar started again, and the icon it gives the
// tray in answer is measured instead of shown.
//
// Report lines, tab-separated, for each shown window of the program (WINDOW is its handle):
//   form  WINDOW  DPI  FONT_HEIGHT  SAMPLE_WIDTH  CLIENT_WIDTH  CLIENT_HEIGHT  OWNER  FACE  CAPTION
//   fit   WINDOW  KIND  TEXT  NEEDED  ROOM         one per captioned control
//   tool  WINDOW  IMAGE_SIZE  INSIDE  BUTTONS  WIDTH  HEIGHT
//                                                 a toolbar: its image size, how many buttons
//                                                 lie inside it, of how many, its client size
//   overlap  WINDOW  CONTROL  CONTROL             two visible controls of one parent that
//                                                 overlap without one lying wholly on the other
//   tray  WIDTH  HEIGHT  CORNER_ALPHAS  CENTRE_ALPHA  the icon the program gives the tray, when
//                                                 asked for (below)
//   done
// SAMPLE_WIDTH is the width of the letters A-Z and a-z in the form's font, FACE the face that
// the system gave for it.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char Sample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int DesignDpi = 96;
// A check box's or radio button's glyph and the gap before its text, at the design DPI, as the
// controls draw them.
constexpr int CheckGlyph = 13;
constexpr int CheckGap = 4;
// A push button's frame and focus rectangle on each side.
constexpr int PushMargin = 3;

HMODULE Self = nullptr;

using GetDpiForWindowFunction = UINT WINAPI(HWND);

int DpiOf(HWND window) {
  static auto* const forWindow = reinterpret_cast<GetDpiForWindowFunction*>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  const UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : DesignDpi;
}

int Scaled(int length, int dpi) {
  return (length * dpi + DesignDpi - 1) / DesignDpi;
}

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') {
      c = ' ';
    }
  }
  return text;
}

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

// The text's extent in the window's own font; single-line unless told otherwise.
SIZE Extent(HWND window, const std::string& text, bool lines) {
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, FontOf(window));
  RECT area{};
  DrawTextA(dc, text.c_str(), -1, &area, DT_CALCRECT | (lines ? 0 : DT_SINGLELINE));
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return SIZE{area.right - area.left, area.bottom - area.top};
}

// The width of the control that shows: its parent clips what reaches past its client area.
LONG VisibleWidth(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  const HWND parent = GetParent(control);
  if (parent == nullptr) {
    return client.right;
  }
  RECT bounds{};
  GetWindowRect(control, &bounds);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&bounds), 2);
  RECT parentClient{};
  GetClientRect(parent, &parentClient);
  return std::min<LONG>(client.right, parentClient.right - bounds.left);
}

struct Report {
  FILE* file;
  std::string form;

  void Fit(const char* kind, const std::string& text, long needed, long room) const {
    std::fprintf(file, "fit\t%s\t%s\t%s\t%ld\t%ld\n", form.c_str(), kind, OneLine(text).c_str(),
                 needed, room);
  }
};

void CheckButton(const Report& report, HWND control, int dpi) {
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const LONG type = style & BS_TYPEMASK;
  const std::string text = Text(control);
  const LONG width = VisibleWidth(control);
  if (text.empty() || type == BS_GROUPBOX || type == BS_OWNERDRAW) {
    return;
  }
  const SIZE extent = Extent(control, text, false);
  switch (type) {
  case BS_CHECKBOX:
  case BS_AUTOCHECKBOX:
  case BS_3STATE:
  case BS_AUTO3STATE:
  case BS_RADIOBUTTON:
  case BS_AUTORADIOBUTTON: {
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    report.Fit(radio ? "radio" : "check", text, extent.cx,
               width - Scaled(CheckGlyph + CheckGap, dpi));
    break;
  }
  default: {
    BUTTON_IMAGELIST images{};
    int glyph = 0;
    int glyphHeight = 0;
    if (SendMessageA(control, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) &&
        images.himl != nullptr) {
      ImageList_GetIconSize(images.himl, &glyph, &glyphHeight);
    }
    report.Fit("button", text, extent.cx + glyph, width - 2 * Scaled(PushMargin, dpi));
    break;
  }
  }
}

void CheckLabel(const Report& report, HWND control) {
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const LONG type = style & SS_TYPEMASK;
  const std::string text = Text(control);
  if (text.empty() || type == SS_BITMAP || type == SS_ICON) {
    return;
  }
  RECT client{};
  GetClientRect(control, &client);
  const SIZE extent = Extent(control, text, true);
  report.Fit("label", text, extent.cx, VisibleWidth(control));
  report.Fit("label-height", text, extent.cy, client.bottom);
}

void CheckToolBar(const Report& report, HWND bar) {
  int imageSize = 0;
  int imageHeight = 0;
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(bar, TB_GETIMAGELIST, 0, 0));
  if (images != nullptr) {
    ImageList_GetIconSize(images, &imageSize, &imageHeight);
  }
  RECT client{};
  GetClientRect(bar, &client);
  const auto count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
  int buttons = 0;
  int inside = 0;
  for (int index = 0; index < count; ++index) {
    TBBUTTON button{};
    SendMessageA(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    if ((button.fsStyle & BTNS_SEP) != 0) {
      continue;
    }
    ++buttons;
    RECT item{};
    SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (item.left >= client.left && item.right <= client.right && item.top >= client.top &&
        item.bottom <= client.bottom) {
      ++inside;
    }
    char caption[128] = {};
    SendMessageA(bar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(caption));
    report.Fit("tool", caption, Extent(bar, caption, false).cx, item.right - item.left);
  }
  std::fprintf(report.file, "tool\t%s\t%d\t%d\t%d\t%ld\t%ld\n", report.form.c_str(), imageSize,
               inside, buttons, client.right, client.bottom);
}

BOOL CALLBACK CheckChild(HWND child, LPARAM data) {
  const auto& report = *reinterpret_cast<const Report*>(data);
  if (!IsWindowVisible(child)) {
    return TRUE;
  }
  const std::string name = ClassOf(child);
  if (lstrcmpiA(name.c_str(), WC_BUTTONA) == 0) {
    CheckButton(report, child, DpiOf(child));
  } else if (lstrcmpiA(name.c_str(), WC_STATICA) == 0) {
    CheckLabel(report, child);
  } else if (name == TOOLBARCLASSNAMEA) {
    CheckToolBar(report, child);
  }
  return TRUE;
}

std::string Describe(HWND control) {
  return ClassOf(control) + " \"" + OneLine(Text(control)) + "\"";
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

// Up-down arrows overlap the border of the edit they belong to, so that the two look like one.
bool JoinedArrows(HWND one, HWND other) {
  const std::string first = ClassOf(one);
  const std::string second = ClassOf(other);
  return (first == UPDOWN_CLASSA && lstrcmpiA(second.c_str(), WC_EDITA) == 0) ||
         (second == UPDOWN_CLASSA && lstrcmpiA(first.c_str(), WC_EDITA) == 0);
}

// Siblings that overlap: one covers part of the other and takes its clicks there. A control lying
// wholly on another (a check box on a group box's frame, a bar over a panel) is by design.
void CheckOverlaps(const Report& report, HWND parent) {
  std::vector<std::pair<HWND, RECT>> shown;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) {
      continue;
    }
    RECT bounds{};
    GetWindowRect(child, &bounds);
    for (const auto& [other, otherBounds] : shown) {
      RECT common{};
      if (IntersectRect(&common, &bounds, &otherBounds) && !Contains(bounds, otherBounds) &&
          !Contains(otherBounds, bounds) && !JoinedArrows(child, other)) {
        std::fprintf(report.file, "overlap\t%s\t%s\t%s\n", report.form.c_str(),
                     Describe(other).c_str(), Describe(child).c_str());
      }
    }
    shown.emplace_back(child, bounds);
    CheckOverlaps(report, child);
  }
}

struct Collected {
  bool hiddenToo;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectProgramWindow(HWND window, LPARAM data) {
  auto& collected = *reinterpret_cast<Collected*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && (collected.hiddenToo || IsWindowVisible(window))) {
    collected.windows.push_back(window);
  }
  return TRUE;
}

// The program's top-level windows; the shown ones only unless told otherwise.
std::vector<HWND> ProgramWindows(bool hiddenToo = false) {
  Collected collected{hiddenToo, {}};
  EnumWindows(CollectProgramWindow, reinterpret_cast<LPARAM>(&collected));
  return collected.windows;
}

void CheckForm(FILE* file, HWND window) {
  // The form's font, as its first control that has one uses it (a picture has none).
  HFONT font = nullptr;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr && font == nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    font = FontOf(child);
  }
  LOGFONTA logical{};
  GetObjectA(font, sizeof logical, &logical);
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE sample{};
  GetTextExtentPoint32A(dc, Sample, static_cast<int>(sizeof Sample - 1), &sample);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  RECT client{};
  GetClientRect(window, &client);
  char handle[32] = {};
  std::snprintf(handle, sizeof handle, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  const Report report{file, handle};
  std::fprintf(
      file, "form\t%s\t%d\t%ld\t%ld\t%ld\t%ld\t0x%llx\t%s\t%s\n", handle, DpiOf(window),
      logical.lfHeight, sample.cx, client.right, client.bottom,
      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER))),
      face, Text(window).c_str());
  EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&report));
  CheckOverlaps(report, window);
}

// The tray icon the program last gave the shell: its size and the alpha of its corners and its
// centre, or a width of 0.
struct TrayIcon {
  LONG width = 0;
  LONG height = 0;
  int corners[4] = {};
  int centre = 0;
};
TrayIcon SeenTrayIcon;

BOOL WINAPI RecordNotifyIcon(DWORD, NOTIFYICONDATAA* data) {
  ICONINFO info{};
  if (data == nullptr || (data->uFlags & NIF_ICON) == 0 || !GetIconInfo(data->hIcon, &info)) {
    return TRUE;
  }
  BITMAP colour{};
  GetObjectA(info.hbmColor, sizeof colour, &colour);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = colour.bmWidth;
  format.bmiHeader.biHeight = -colour.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<std::size_t>(colour.bmWidth) * colour.bmHeight);
  const HDC dc = GetDC(nullptr);
  if (!pixels.empty() &&
      GetDIBits(dc, info.hbmColor, 0, colour.bmHeight, pixels.data(), &format, DIB_RGB_COLORS)) {
    const auto alpha = [&](LONG x, LONG y) {
      return static_cast<int>(pixels[static_cast<std::size_t>(y) * colour.bmWidth + x] >> 24);
    };
    const LONG right = colour.bmWidth - 1;
    const LONG bottom = colour.bmHeight - 1;
    SeenTrayIcon = TrayIcon{colour.bmWidth,
                            colour.bmHeight,
                            {alpha(0, 0), alpha(right, 0), alpha(0, bottom), alpha(right, bottom)},
                            alpha(colour.bmWidth / 2, colour.bmHeight / 2)};
  }
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return TRUE;
}

// The program calls the shell through a pointer of its own; the function's first bytes are
// replaced for the time of the request by a jump to RecordNotifyIcon (mov rax, address; jmp rax).
void MeasureTrayIcon(FILE* file) {
  auto* target = reinterpret_cast<unsigned char*>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("shell32.dll"), "Shell_NotifyIconA")));
  if (target == nullptr) {
    return;
  }
  unsigned char jump[12] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};
  const auto address = reinterpret_cast<UINT_PTR>(&RecordNotifyIcon);
  std::memcpy(jump + 2, &address, sizeof address);
  unsigned char saved[sizeof jump] = {};
  DWORD protection = 0;
  if (!VirtualProtect(target, sizeof jump, PAGE_EXECUTE_READWRITE, &protection)) {
    return;
  }
  std::memcpy(saved, target, sizeof jump);
  std::memcpy(target, jump, sizeof jump);
  FlushInstructionCache(GetCurrentProcess(), target, sizeof jump);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  for (HWND window : ProgramWindows(true)) {
    SendMessageA(window, taskbarCreated, 0, 0);
  }
  std::memcpy(target, saved, sizeof jump);
  FlushInstructionCache(GetCurrentProcess(), target, sizeof jump);
  VirtualProtect(target, sizeof jump, protection, &protection);
  const TrayIcon& icon = SeenTrayIcon;
  std::fprintf(file, "tray\t%ld\t%ld\t%d %d %d %d\t%d\n", icon.width, icon.height, icon.corners[0],
               icon.corners[1], icon.corners[2], icon.corners[3], icon.centre);
}

std::string BesideSelf(const char* extension) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(Self, path, MAX_PATH);
  std::string name = path;
  return name.substr(0, name.find_last_of('.')) + extension;
}

// Tells every window of the program that it moved to a monitor of that DPI, with the rectangle
// Windows would suggest: the same place, the size scaled.
void ChangeDpi(int dpi) {
  for (HWND window : ProgramWindows(true)) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const int old = DpiOf(window);
    RECT suggested{outer.left, outer.top, outer.left + MulDiv(outer.right - outer.left, dpi, old),
                   outer.top + MulDiv(outer.bottom - outer.top, dpi, old)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }
}

DWORD WINAPI Probe(void*) {
  bool tray = false;
  if (FILE* request = std::fopen(BesideSelf(".in").c_str(), "r")) {
    char word[16] = {};
    int dpi = 0;
    if (std::fscanf(request, "%15s %d", word, &dpi) >= 1) {
      if (std::strcmp(word, "dpi") == 0 && dpi > 0) {
        ChangeDpi(dpi);
      }
      tray = std::strcmp(word, "tray") == 0;
    }
    std::fclose(request);
  }
  const std::string path = BesideSelf(".txt");
  const std::string partial = path + ".part";
  if (FILE* file = std::fopen(partial.c_str(), "wb")) {
    for (HWND window : ProgramWindows()) {
      CheckForm(file, window);
    }
    if (tray) {
      MeasureTrayIcon(file);
    }
    std::fprintf(file, "done\n");
    std::fclose(file);
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  // Unloaded again, so that the next injection runs it anew.
  FreeLibraryAndExitThread(Self, 0);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Self = instance;
    // The windows are looked at from a thread of its own, once the loader has let go.
    if (const HANDLE thread = CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  return TRUE;
}
