#pragma once
// Plain values shared by the toolkit's forms, controls and backends.

#include <cstdint>

namespace ui {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Point {
  int x = 0;
  int y = 0;
};

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// How a modal form ended.
enum class ModalResult { None = 0, Ok = 1, Cancel = 2 };

enum class BorderStyle { Single, Dialog };

// A virtual-key code with modifier bits, as menus store their shortcuts.
using Shortcut = std::uint16_t;
inline constexpr Shortcut NoShortcut = 0;
// The virtual-key code's part of a shortcut; the modifier bits lie above it.
inline constexpr Shortcut KeyCodeBits = 0xFF;
inline constexpr Shortcut ShiftBit = 0x2000;
inline constexpr Shortcut CtrlBit = 0x4000;
inline constexpr Shortcut AltBit = 0x8000;
inline constexpr Shortcut ShortcutTab = 0x09;
inline constexpr Shortcut ShortcutShiftTab = ShiftBit | ShortcutTab;
inline constexpr Shortcut ShortcutEnter = 0x0D;
inline constexpr Shortcut ShortcutEsc = 0x1B;
inline constexpr Shortcut ShortcutSpace = 0x20;
inline constexpr Shortcut ShortcutUp = 0x26;
inline constexpr Shortcut ShortcutDown = 0x28;
inline constexpr Shortcut ShortcutAltDown = AltBit | ShortcutDown;
inline constexpr Shortcut ShortcutF4 = 0x73;
inline constexpr Shortcut ShortcutAltF4 = AltBit | ShortcutF4;
inline constexpr Shortcut ShortcutCtrlO = CtrlBit | 'O';
inline constexpr Shortcut ShortcutCtrlL = CtrlBit | 'L';
inline constexpr Shortcut ShortcutF1 = 0x70;
inline constexpr Shortcut ShortcutCtrlA = CtrlBit | 'A';

// A window message as the form's hooks see it.
struct Message {
  std::uint32_t id = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Window messages the forms look at.
inline constexpr std::uint32_t WmApp = 0x8000;
inline constexpr std::uint32_t WmQueryEndSession = 0x0011;
inline constexpr std::uint32_t WmEndSession = 0x0016;
inline constexpr std::uint32_t WmSysCommand = 0x0112;
inline constexpr std::uint32_t WmContextMenu = 0x007B;
inline constexpr std::uint32_t WmMouseMove = 0x0200;
inline constexpr std::uint32_t WmLButtonDown = 0x0201;
inline constexpr std::uint32_t WmLButtonUp = 0x0202;
inline constexpr std::uint32_t WmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t WmRButtonDown = 0x0204;
inline constexpr std::uint32_t WmRButtonUp = 0x0205;
inline constexpr std::uint32_t WmMButtonUp = 0x0208;
// The window moved to a monitor of another DPI: the new DPI in both words of wParam.
inline constexpr std::uint32_t WmDpiChanged = 0x02E0;
inline constexpr std::uintptr_t ScClose = 0xF060;
inline constexpr std::uintptr_t ScMinimize = 0xF020;

// Bitmaps and icons compiled into the program, by resource number. Each bitmap also comes drawn
// at the larger scales of ImageScales (src/ui/scaling.h), numbered by ScaledImageNumber; each
// icon holds its own sizes.
enum class ImageId : int {
  None = 0,
  ApplicationIcon = 1,
  ToolbarImages = 100, // eight 24 x 24 images in toolbar order
  TrayIcon = 101,      // an icon, 16 x 16 at the design DPI
  AboutPicture = 102,  // 32 x 32
  OptionsGlyph = 110,
  AutoLogonGlyph = 111,
  OkGlyph = 112,
  CancelGlyph = 113,
};

// The resource number of an image drawn at a scale in percent: the toolbar's images (100) at
// 125 % are 10125; at 100 % an image keeps its own number.
inline constexpr int DesignImageScale = 100;
inline constexpr int ScaledImageNumber(ImageId image, int scalePercent) {
  return scalePercent == DesignImageScale ? static_cast<int>(image)
                                          : static_cast<int>(image) * 100 + scalePercent;
}

} // namespace ui
