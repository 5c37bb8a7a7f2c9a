// The keys as the Win32 backend hands them on, played in memory: the form's menu shortcuts
// first, as its accelerator table, then the rules of Windows' dialog manager with the answers
// the controls give it (WM_GETDLGCODE) and the form's choice of the button for Enter.

#include "ui/headless/dialog_manager.h"
#include "ui/backend.h"
#include "ui/headless/script.h"

#include <algorithm>
#include <map>

namespace ui {

namespace {

struct Keyboard {
  std::map<const Form*, Control*> focus;
  // The drop-down list that is open, at most one.
  ComboBox* openList = nullptr;
};

Keyboard& TheKeyboard() {
  static Keyboard keyboard;
  return keyboard;
}

bool IsTabStop(const Control& control) {
  switch (control.Kind()) {
  case ControlKind::Button:
  case ControlKind::CheckBox:
  case ControlKind::Edit:
  case ControlKind::ComboBox:
  case ControlKind::DateTimePicker:
  case ControlKind::PageControl:
  case ControlKind::ToolBar:
  case ControlKind::SpeedButton:
    return true;
  default:
    return false;
  }
}

// The controls Tab reaches, in the window order: shown and enabled, with their containers.
void CollectTabStops(Control& parent, std::vector<Control*>& stops) {
  for (Control* child : parent.Children()) {
    if (!child->Visible() || !child->Enabled()) {
      continue;
    }
    if (IsTabStop(*child)) {
      stops.push_back(child);
    }
    CollectTabStops(*child, stops);
  }
}

std::vector<Control*> TabStops(Form& form) {
  std::vector<Control*> stops;
  CollectTabStops(form, stops);
  return stops;
}

void MoveFocus(Form& form, bool backwards) {
  const std::vector<Control*> stops = TabStops(form);
  if (stops.empty()) {
    return;
  }
  const auto current = std::find(stops.begin(), stops.end(), form.FocusedControl());
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  const std::ptrdiff_t index =
      current == stops.end() ? (backwards ? 0 : -1) : std::distance(stops.begin(), current);
  TheKeyboard().focus[&form] =
      stops[static_cast<std::size_t>((index + (backwards ? count - 1 : 1)) % count)];
}

UpDown* ArrowsOf(Control& parent, const Control& edit) {
  for (Control* child : parent.Children()) {
    if (child->Kind() == ControlKind::UpDown && &static_cast<UpDown*>(child)->Buddy() == &edit) {
      return static_cast<UpDown*>(child);
    }
    if (UpDown* found = ArrowsOf(*child, edit)) {
      return found;
    }
  }
  return nullptr;
}

// The keys the focused control asks for: an open list takes Enter and Esc and closes, a list
// opens with F4 or Alt+Down, an edit's arrows step its up-down, Space presses a button.
bool ControlTakesKey(Form& form, Control& focus, Shortcut key) {
  Keyboard& keyboard = TheKeyboard();
  if (focus.Kind() == ControlKind::ComboBox) {
    auto& list = static_cast<ComboBox&>(focus);
    if (keyboard.openList == &list && (key == ShortcutEsc || key == ShortcutEnter)) {
      keyboard.openList = nullptr;
      return true;
    }
    if (key == ShortcutF4 || key == ShortcutAltDown) {
      keyboard.openList = keyboard.openList == &list ? nullptr : &list;
      return true;
    }
    return false;
  }
  if (focus.Kind() == ControlKind::Edit && (key == ShortcutUp || key == ShortcutDown)) {
    if (UpDown* arrows = ArrowsOf(form, focus); arrows != nullptr && arrows->Enabled()) {
      arrows->ArrowFromUser(key == ShortcutUp);
    }
    return true;
  }
  if (key == ShortcutSpace && focus.Kind() != ControlKind::Edit) {
    headless::Click(focus);
    return true;
  }
  return false;
}

} // namespace

namespace backend {

Control* FocusedControl(Form& form) {
  const auto found = TheKeyboard().focus.find(&form);
  if (found != TheKeyboard().focus.end()) {
    return found->second;
  }
  // Shown without a focus: Windows gives it to the first control Tab reaches.
  const std::vector<Control*> stops = TabStops(form);
  return stops.empty() ? nullptr : stops.front();
}

void SetFocus(Control& control) {
  if (Form* form = control.OwnerForm()) {
    TheKeyboard().focus[form] = &control;
  }
}

} // namespace backend

namespace headless {

void ForgetForm(const Form& form) {
  Keyboard& keyboard = TheKeyboard();
  keyboard.focus.erase(&form);
  if (keyboard.openList != nullptr && keyboard.openList->OwnerForm() == &form) {
    keyboard.openList = nullptr;
  }
}

void ResetDialogManager() {
  TheKeyboard() = Keyboard{};
}

bool ListOpen(const ComboBox& list) {
  return TheKeyboard().openList == &list;
}

void PressKey(Form& form, Shortcut key) {
  if (Menu* menu = form.MainMenu()) {
    if (MenuItem* item = menu->FindShortcut(key)) {
      item->Click();
      return;
    }
  }
  Control* focus = form.FocusedControl();
  if (focus != nullptr && ControlTakesKey(form, *focus, key)) {
    return;
  }
  switch (key) {
  case ShortcutTab:
  case ShortcutShiftTab:
    // A list loses the focus and closes; a multi-line edit gives Tab back to the form.
    TheKeyboard().openList = nullptr;
    MoveFocus(form, key != ShortcutTab);
    break;
  case ShortcutEnter:
    if (Control* button = form.EnterButton(focus)) {
      Click(*button);
    }
    break;
  case ShortcutEsc:
    if (Button* cancel = form.CancelButton()) {
      cancel->Click();
    }
    break;
  case ShortcutF1:
    form.HelpFromSystem();
    break;
  default:
    break;
  }
}

} // namespace headless

} // namespace ui
