// Main menu bars and pop-up menus built from the toolkit's menu items, and the clicks and help
// requests that come back from them by command id.

#include "ui/win32/internal.h"

namespace ui::win32 {

namespace {

constexpr int KeyNameCapacity = 32;
constexpr int ScanCodeShift = 16;

// The items of the pop-up menu being tracked, for help asked on one of them.
const std::map<int, MenuItem*>* ActivePopupCommands = nullptr;

std::string KeyName(int key) {
  if (key == VK_ESCAPE) {
    return "Esc";
  }
  if (key >= VK_F1 && key <= VK_F24) {
    return "F" + std::to_string(key - VK_F1 + 1);
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    return std::string(1, static_cast<char>(key));
  }
  char name[KeyNameCapacity] = {};
  const UINT scanCode = ::MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  ::GetKeyNameTextA(static_cast<LONG>(scanCode << ScanCodeShift), name, sizeof name);
  return name;
}

std::string ShortcutText(Shortcut shortcut) {
  std::string text;
  if ((shortcut & ShiftBit) != 0) {
    text += "Shift+";
  }
  if ((shortcut & CtrlBit) != 0) {
    text += "Ctrl+";
  }
  if ((shortcut & AltBit) != 0) {
    text += "Alt+";
  }
  return text + KeyName(shortcut & KeyCodeBits);
}

std::string ItemText(const MenuItem& item) {
  if (item.ItemShortcut() == NoShortcut) {
    return item.Caption();
  }
  // Windows right-aligns what follows the tab.
  return item.Caption() + "\t" + ShortcutText(item.ItemShortcut());
}

void AppendItems(HMENU menu, const MenuItem& parent, std::map<int, MenuItem*>& commands,
                 int& nextId) {
  for (const auto& item : parent.Items()) {
    if (item->IsSeparator()) {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item->Items().empty()) {
      const HMENU submenu = ::CreatePopupMenu();
      AppendItems(submenu, *item, commands, nextId);
      ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), ItemText(*item).c_str());
    } else {
      const int id = nextId++;
      commands[id] = item.get();
      ::AppendMenuA(menu, MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED),
                    static_cast<UINT_PTR>(id), ItemText(*item).c_str());
    }
  }
}

MenuItem* FindCommand(const std::map<int, MenuItem*>& commands, int id) {
  const auto found = commands.find(id);
  return found == commands.end() ? nullptr : found->second;
}

} // namespace

HMENU CreateMenuBar(Menu& menu, FormData& data) {
  const HMENU bar = ::CreateMenu();
  if (bar == nullptr) {
    return nullptr;
  }
  AppendItems(bar, menu, data.menuCommands, data.nextId);
  return bar;
}

HACCEL CreateAccelerators(const FormData& data) {
  std::vector<ACCEL> keys;
  for (const auto& [id, item] : data.menuCommands) {
    const Shortcut shortcut = item->ItemShortcut();
    if (shortcut == NoShortcut) {
      continue;
    }
    ACCEL key{};
    key.fVirt = static_cast<BYTE>(FVIRTKEY | ((shortcut & ShiftBit) != 0 ? FSHIFT : 0) |
                                  ((shortcut & CtrlBit) != 0 ? FCONTROL : 0) |
                                  ((shortcut & AltBit) != 0 ? FALT : 0));
    key.key = static_cast<WORD>(shortcut & KeyCodeBits);
    key.cmd = static_cast<WORD>(id);
    keys.push_back(key);
  }
  return keys.empty() ? nullptr
                      : ::CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void UpdateMenuBarItems(Form& form) {
  const FormData& data = DataOf(form);
  for (const auto& [id, item] : data.menuCommands) {
    if (item->EnabledWhen) {
      ::EnableMenuItem(data.menuBar, static_cast<UINT>(id),
                       MF_BYCOMMAND | (item->Enabled() ? MF_ENABLED : MF_GRAYED));
    }
  }
}

bool HandleMenuCommand(Form& form, int id) {
  MenuItem* item = FindCommand(DataOf(form).menuCommands, id);
  if (item == nullptr) {
    return false;
  }
  item->Click();
  return true;
}

bool HandleMenuHelp(Form& form, int id) {
  MenuItem* item = ActivePopupCommands != nullptr ? FindCommand(*ActivePopupCommands, id)
                                                  : FindCommand(DataOf(form).menuCommands, id);
  if (item == nullptr) {
    return false;
  }
  RequestHelp(HelpContextRequest, static_cast<std::uintptr_t>(item->HelpContext()));
  return true;
}

} // namespace ui::win32

namespace ui {

bool PopupMenuAt(Menu& menu, Form& owner, Point position, MenuCorner corner) {
  const HWND window = win32::WindowOf(owner);
  const HMENU popup = ::CreatePopupMenu();
  if (window == nullptr || popup == nullptr) {
    return false;
  }
  const UINT alignment = corner == MenuCorner::TopRight     ? TPM_RIGHTALIGN | TPM_TOPALIGN
                         : corner == MenuCorner::BottomLeft ? TPM_LEFTALIGN | TPM_BOTTOMALIGN
                                                            : TPM_LEFTALIGN | TPM_TOPALIGN;
  std::map<int, MenuItem*> commands;
  int nextId = win32::FirstCommandId;
  win32::AppendItems(popup, menu, commands, nextId);

  // The choice comes back as the result rather than as a posted command, so the menu can go
  // as soon as the user has picked.
  win32::ActivePopupCommands = &commands;
  const int chosen = static_cast<int>(
      ::TrackPopupMenu(popup, alignment | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       position.x, position.y, 0, window, nullptr));
  win32::ActivePopupCommands = nullptr;
  // A menu opened from the notification area only closes on a click elsewhere once its owner
  // has handled a message after it.
  ::PostMessageA(window, WM_NULL, 0, 0);
  ::DestroyMenu(popup);

  MenuItem* item = win32::FindCommand(commands, chosen);
  if (item == nullptr) {
    return false;
  }
  item->Click();
  return true;
}

} // namespace ui
