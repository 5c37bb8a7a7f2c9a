// The resolution a window is shown at and the form's scaling for it: the per-monitor DPI where
// Windows has one, the system DPI before that; the font made for it and how wide its face is.

#include "ui/win32/internal.h"

#include "platform/win32/late_bound.h"

namespace ui::win32 {

namespace {

constexpr char DesignedFace[] = "MS Sans Serif";
// Where the designed face can't follow the DPI: its letters drawn as TrueType with the same
// metrics (Windows 2000 and later), then the face of Windows' own dialogs, about as wide.
constexpr const char* ScalableFaces[] = {"Microsoft Sans Serif", "Tahoma"};
constexpr char User32[] = "user32.dll";
constexpr char Shcore[] = "shcore.dll";
// MDT_EFFECTIVE_DPI of GetDpiForMonitor.
constexpr int EffectiveDpi = 0;

using GetDpiForWindowFunction = UINT WINAPI(HWND);
using AdjustForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
using EnableNonClientScalingFunction = BOOL WINAPI(HWND);
using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);

// The designed font's height at the DPI, in the face.
HFONT CreateFace(const char* face, int dpi) {
  const Scaling designed = ScalingFor(dpi, 0);
  return ::CreateFontA(-designed.FontPixels(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

struct FaceMeasure {
  // The width of FaceSampleText; 0 when unknown.
  int sampleWidth = 0;
  bool scalable = false;
  char face[LF_FACESIZE] = {};
};

// What the system gave for a font: its face, whether it is drawn from outlines, how wide.
FaceMeasure Measure(HDC dc, HFONT font) {
  FaceMeasure measure;
  if (font == nullptr) {
    return measure;
  }
  const HGDIOBJ previous = ::SelectObject(dc, font);
  SIZE sample{};
  if (::GetTextExtentPoint32A(dc, FaceSampleText, static_cast<int>(sizeof FaceSampleText - 1),
                              &sample)) {
    measure.sampleWidth = sample.cx;
  }
  TEXTMETRICA metrics{};
  measure.scalable = ::GetTextMetricsA(dc, &metrics) &&
                     (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
  ::GetTextFaceA(dc, sizeof measure.face, measure.face);
  ::SelectObject(dc, previous);
  return measure;
}

} // namespace

int SystemDpi() {
  // Fixed for the session: Windows asks to log off before the system DPI changes.
  static const int dpi = [] {
    const HDC screen = ::GetDC(nullptr);
    const int caps = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    ::ReleaseDC(nullptr, screen);
    return caps > 0 ? caps : DesignDpi;
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  // Windows 10 1607 and later know each window's DPI; Windows 8.1 each monitor's; before that
  // there is only the system's.
  static auto* const forWindow =
      platform::win32::LateBound<GetDpiForWindowFunction>(User32, "GetDpiForWindow");
  if (forWindow != nullptr) {
    if (const UINT dpi = forWindow(window); dpi != 0) {
      return static_cast<int>(dpi);
    }
  }
  static auto* const forMonitor =
      platform::win32::LateBound<GetDpiForMonitorFunction>(Shcore, "GetDpiForMonitor");
  if (forMonitor != nullptr) {
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(forMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), EffectiveDpi,
                             &x, &y)) &&
        x != 0) {
      return static_cast<int>(x);
    }
  }
  return SystemDpi();
}

int TrayIconSize() {
  // The notification area draws its icons at the small icon size of the system DPI, whatever
  // the monitor; a per-monitor aware program is told the system DPI's metrics.
  const int size = ::GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : ScalingFor(SystemDpi(), 0).Y(SmallIconSize);
}

FormFont CreateFormFont(HWND window, int dpi) {
  const HDC dc = ::GetDC(window);
  if (dc == nullptr) {
    return FormFont{CreateFace(DesignedFace, dpi), ScalingFor(dpi, 0)};
  }
  FormFont chosen{CreateFace(DesignedFace, dpi), {}};
  FaceMeasure measure = Measure(dc, chosen.font);
  if (!measure.scalable && !FaceFollowsDpi(dpi, measure.sampleWidth)) {
    for (const char* face : ScalableFaces) {
      const HFONT font = CreateFace(face, dpi);
      const FaceMeasure scalable = Measure(dc, font);
      // Windows gives another face for one it lacks; only the one asked for has the metrics.
      if (scalable.scalable && ::lstrcmpiA(scalable.face, face) == 0) {
        ::DeleteObject(chosen.font);
        chosen.font = font;
        measure = scalable;
        break;
      }
      ::DeleteObject(font);
    }
  }
  ::ReleaseDC(window, dc);
  chosen.scaling = ScalingFor(dpi, measure.sampleWidth);
  return chosen;
}

Scaling ScalingAt(HWND window, int dpi) {
  const FormFont font = CreateFormFont(window, dpi);
  if (font.font != nullptr) {
    ::DeleteObject(font.font);
  }
  return font.scaling;
}

SIZE FrameSizeFor(HWND window, int clientWidth, int clientHeight, int dpi) {
  // Windows 10 1607 and later draw the frame at the window's DPI; before, at the system's.
  static auto* const forDpi =
      platform::win32::LateBound<AdjustForDpiFunction>(User32, "AdjustWindowRectExForDpi");
  // A minimised or maximised window's state is no part of its frame.
  const auto style =
      static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) & ~(WS_MINIMIZE | WS_MAXIMIZE);
  const auto exStyle = static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE));
  const BOOL menu = ::GetMenu(window) != nullptr;
  RECT outer{0, 0, clientWidth, clientHeight};
  if (forDpi == nullptr || !forDpi(&outer, style, menu, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&outer, style, menu, exStyle);
  }
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void EnableFrameScaling(HWND window) {
  // Windows 10 1607 scales the caption and the menu bar of a per-monitor window only when
  // asked; later versions do it by themselves for the second version of that awareness.
  static auto* const enable = platform::win32::LateBound<EnableNonClientScalingFunction>(
      User32, "EnableNonClientDpiScaling");
  if (enable != nullptr) {
    enable(window);
  }
}

} // namespace ui::win32
