// The resolution a window is shown at and the form's scaling for it: the per-monitor DPI where
// Windows has one, the system DPI before that; the font made for it and how wide its face is.

#include "ui/win32/internal.h"

#include "platform/win32/late_bound.h"

namespace ui::win32 {

namespace {

constexpr char FontFace[] = "MS Sans Serif";
constexpr char User32[] = "user32.dll";
constexpr char Shcore[] = "shcore.dll";
// MDT_EFFECTIVE_DPI of GetDpiForMonitor.
constexpr int EffectiveDpi = 0;

using GetDpiForWindowFunction = UINT WINAPI(HWND);
using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);

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

int TrayIconDpi() {
  // The notification area draws its icons at the system DPI, whatever the monitor.
  return SystemDpi();
}

HFONT CreateFormFont(int dpi) {
  const Scaling designed = ScalingFor(dpi, 0);
  return ::CreateFontA(-designed.FontPixels(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, FontFace);
}

Scaling MeasureScaling(HWND window, HFONT font, int dpi) {
  const HDC dc = ::GetDC(window);
  if (dc == nullptr) {
    return ScalingFor(dpi, 0);
  }
  const HGDIOBJ previous = ::SelectObject(dc, font);
  SIZE sample{};
  const BOOL measured = ::GetTextExtentPoint32A(
      dc, FaceSampleText, static_cast<int>(sizeof FaceSampleText - 1), &sample);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return ScalingFor(dpi, measured ? sample.cx : 0);
}

} // namespace ui::win32
