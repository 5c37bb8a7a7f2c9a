#include "ui/menu.h"

namespace ui {

MenuItem& MenuItem::Add(std::string name, std::string caption, std::function<void()> onClick,
                        Shortcut shortcut) {
  items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption), shortcut));
  items_.back()->OnClick = std::move(onClick);
  return *items_.back();
}

MenuItem* MenuItem::Find(const std::string& name) {
  if (name_ == name) {
    return this;
  }
  for (const auto& item : items_) {
    if (MenuItem* found = item->Find(name)) {
      return found;
    }
  }
  return nullptr;
}

MenuItem* MenuItem::FindShortcut(Shortcut shortcut) {
  if (shortcut == NoShortcut) {
    return nullptr;
  }
  if (shortcut_ == shortcut) {
    return this;
  }
  for (const auto& item : items_) {
    if (MenuItem* found = item->FindShortcut(shortcut)) {
      return found;
    }
  }
  return nullptr;
}

void SetHelpContextDeep(MenuItem& item, int context) {
  item.SetHelpContext(context);
  for (const auto& child : item.Items()) {
    SetHelpContextDeep(*child, context);
  }
}

} // namespace ui
