// Hiding the main window to the notification area and bringing it back, by mouse and keyboard.

#include "app/main_window.h"

#include "actions/os_version.h"
#include "common/bounded.h"
#include "common/texts.h"
#include "platform/shell.h"
#include "ui/application.h"

namespace {

constexpr std::uintptr_t LowWord = 0xFFFF;
constexpr int WordShift = 16;

std::int16_t SignedWord(std::uintptr_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & LowWord));
}

platform::NotifyIconData IconRecord(const TFMain& window) {
  platform::NotifyIconData data;
  data.window = window.native;
  data.id = TrayIconId;
  return data;
}

} // namespace

TrayMenuPlace TrayMenuPlaceFor(const std::optional<platform::ScreenRect>& icon,
                               std::optional<ui::Point> anchor, win::ScreenEdge taskbar) {
  // The menu opens away from the taskbar, beside the icon: above it on a bottom taskbar,
  // below it on a top one, to its side on a left or right one.
  ui::Point point{};
  if (icon) {
    switch (taskbar) {
    case win::ScreenEdge::Top:
      point = {icon->left, icon->bottom};
      break;
    case win::ScreenEdge::Left:
      point = {icon->right, icon->top};
      break;
    case win::ScreenEdge::Right:
    case win::ScreenEdge::Bottom:
      point = {icon->left, icon->top};
      break;
    }
  } else if (anchor) {
    point = *anchor;
  } else {
    return {};
  }
  const ui::MenuCorner corner = taskbar == win::ScreenEdge::Bottom  ? ui::MenuCorner::BottomLeft
                                : taskbar == win::ScreenEdge::Right ? ui::MenuCorner::TopRight
                                                                    : ui::MenuCorner::TopLeft;
  return {true, point, corner};
}

bool TFMain::SetTrayIcon(std::uint32_t message) {
  platform::NotifyIconData data = IconRecord(*this);
  data.flags = win::NifMessage | win::NifIcon | win::NifTip;
  data.callbackMessage = WM_TRAYNOTIFY;
  data.icon = ui::CreateTrayIcon(ui::ImageId::TrayIcon);
  CopyBounded(data.tip, TrayTipText, sizeof data.tip);
  const bool ok = platform::Shell_NotifyIconA(message, data);
  // The shell keeps its own copy of the icon.
  ui::DestroyIcon(data.icon);
  if (ok && message == win::NimAdd) {
    ChooseTrayVersion();
  }
  return ok;
}

void TFMain::ChooseTrayVersion() {
  // The newest report the shell gives: version 4 from Vista on, else 3 from Windows 2000 on
  // (an older shell refuses the request and reports mouse messages only).
  TrayVersion = 0;
  for (const std::uint32_t version : {win::NotifyIconVersion4, win::NotifyIconVersion3}) {
    if (version == win::NotifyIconVersion4 && DetectOsVersion() < OsServer2008) {
      continue;
    }
    platform::NotifyIconData data = IconRecord(*this);
    data.version = version;
    if (platform::Shell_NotifyIconA(win::NimSetVersion, data)) {
      TrayVersion = version;
      break;
    }
  }
  if (TrayVersion == win::NotifyIconVersion4) {
    platform::NotifyIconData data = IconRecord(*this);
    data.flags = win::NifTip | win::NifShowTip;
    CopyBounded(data.tip, TrayTipText, sizeof data.tip);
    platform::Shell_NotifyIconA(win::NimModify, data);
  }
}

void TFMain::Hide1Click() {
  SetTrayIcon(win::NimAdd);
  Hide();
}

void TFMain::Show1Click() {
  Show();
  SetTrayIcon(win::NimDelete);
}

void TFMain::WMSysCommand(const ui::Message& message) {
  // Compared whole: the close box and the system menu send exactly SC_CLOSE.
  if (message.wParam == ui::ScClose) {
    SysCloseRequested = true;
  }
}

void TFMain::OpenTrayMenu(ui::Point point, ui::MenuCorner corner) {
  // The menu only closes on a click elsewhere when its window is in the foreground.
  ui::SetForegroundWindow(*this);
  TrayMenuOpen = true;
  const bool chosen = ui::PopupMenuAt(PopupMenu1, *this, point, corner);
  TrayMenuOpen = false;
  if (!chosen && !Showing()) {
    // Closed without a choice: the keyboard goes on in the notification area.
    platform::Shell_NotifyIconA(win::NimSetFocus, IconRecord(*this));
  }
}

void TFMain::WMTrayNotify(const ui::Message& message) {
  // A right click sends WM_CONTEXTMENU after the button's message, which the open menu's own
  // loop then receives: the menu is open already.
  if (TrayMenuOpen) {
    return;
  }
  // Version 4 brings the event in the low word and the icon's anchor point in the other
  // parameter; the older versions bring the event alone.
  const auto event =
      static_cast<std::uint32_t>(static_cast<std::uintptr_t>(message.lParam) & LowWord);
  switch (event) {
  case ui::WmLButtonUp:
  case win::NinSelect:
  case win::NinKeySelect:
    // A click sends both the mouse message and NIN_SELECT: the first brings the window back.
    if (!Showing()) {
      Show1Click();
    }
    break;
  case ui::WmRButtonUp: {
    // The mouse's menu opens at the pointer.
    ui::Point cursor;
    if (!ui::GetCursorPos(cursor)) {
      Show1Click();
      break;
    }
    OpenTrayMenu(cursor, ui::MenuCorner::TopLeft);
    break;
  }
  case ui::WmContextMenu: {
    // The menu key, Shift+F10 or a right click: the menu opens at the icon itself.
    platform::ScreenRect rect;
    std::optional<platform::ScreenRect> icon;
    if (platform::Shell_NotifyIconGetRect(native, TrayIconId, rect)) {
      icon = rect;
    }
    std::optional<ui::Point> anchor;
    if (TrayVersion >= win::NotifyIconVersion4) {
      anchor = ui::Point{SignedWord(message.wParam), SignedWord(message.wParam >> WordShift)};
    }
    TrayMenuPlace place = TrayMenuPlaceFor(icon, anchor, platform::TaskbarEdge());
    if (!place.found && !ui::GetCursorPos(place.point)) {
      Show1Click();
      break;
    }
    OpenTrayMenu(place.point, place.found ? place.corner : ui::MenuCorner::TopLeft);
    break;
  }
  default:
    break;
  }
}
