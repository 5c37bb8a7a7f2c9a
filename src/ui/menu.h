#pragma once
// Main and pop-up menus: items with captions ("-" for a separator line), shortcuts, help
// contexts and click handlers.

#include "ui/types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class MenuItem {
public:
  MenuItem(std::string name, std::string caption, Shortcut shortcut = NoShortcut)
      : name_(std::move(name)), caption_(std::move(caption)), shortcut_(shortcut) {}

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  Shortcut ItemShortcut() const { return shortcut_; }
  bool IsSeparator() const { return caption_ == "-"; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }

  MenuItem& Add(std::string name, std::string caption, std::function<void()> onClick = {},
                Shortcut shortcut = NoShortcut);
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  // The item of that name at any depth, or null.
  MenuItem* Find(const std::string& name);
  // The item with that shortcut at any depth, or null.
  MenuItem* FindShortcut(Shortcut shortcut);

  std::function<void()> OnClick;
  // When set, the item can be chosen only while this answers true; asked each time its menu
  // opens.
  std::function<bool()> EnabledWhen;
  bool Enabled() const { return !EnabledWhen || EnabledWhen(); }
  // Runs OnClick when the item has one and can be chosen now.
  void Click() const {
    if (OnClick && Enabled()) {
      OnClick();
    }
  }

private:
  std::string name_;
  std::string caption_;
  Shortcut shortcut_;
  int helpContext_ = 0;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The root of a menu; its items are the bar's menus or the pop-up's entries.
class Menu : public MenuItem {
public:
  explicit Menu(std::string name) : MenuItem(std::move(name), "") {}
};

// Sets the help context of an item and of every item under it.
void SetHelpContextDeep(MenuItem& item, int context);

} // namespace ui
