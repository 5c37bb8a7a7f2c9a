// Hiding the main window to the notification area and bringing it back.

#include "app/main_window.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/shell.h"
#include "ui/application.h"

bool TFMain::SetTrayIcon(std::uint32_t message) {
  platform::NotifyIconData data;
  data.window = native;
  data.id = TrayIconId;
  data.flags = win::NifMessage | win::NifIcon | win::NifTip;
  data.callbackMessage = WM_TRAYNOTIFY;
  data.icon = ui::CreateTrayIcon(ui::ImageId::TrayIcon);
  CopyBounded(data.tip, TrayTipText, sizeof data.tip);
  const bool ok = platform::Shell_NotifyIconA(message, data);
  // The shell keeps its own copy of the icon.
  ui::DestroyIcon(data.icon);
  return ok;
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

void TFMain::WMTrayNotify(const ui::Message& message) {
  switch (static_cast<std::uint32_t>(message.lParam)) {
  case ui::WmLButtonUp:
    Show1Click();
    break;
  case ui::WmRButtonUp: {
    ui::Point cursor;
    if (!ui::GetCursorPos(cursor)) {
      Show1Click();
      break;
    }
    // The menu only closes on a click elsewhere when its window is in the foreground.
    ui::SetForegroundWindow(*this);
    ui::PopupMenuAt(PopupMenu1, *this, cursor);
    break;
  }
  default:
    break;
  }
}
