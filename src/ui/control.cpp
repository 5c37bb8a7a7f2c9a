#include "ui/control.h"

#include "common/secret_text.h"
#include "ui/backend.h"
#include "ui/form.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

namespace ui {

Control::Control(Control* parent, std::string name, ControlKind kind, Rect bounds)
    : parent_(parent), name_(std::move(name)), kind_(kind), bounds_(bounds) {
  if (parent_ != nullptr) {
    parent_->children_.push_back(this);
  }
}

Control::~Control() {
  if (secret_) {
    WipeString(text_);
  }
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (Control* child : children_) {
    child->parent_ = nullptr;
  }
}

Form* Control::OwnerForm() {
  Control* control = this;
  while (control->parent_ != nullptr) {
    control = control->parent_;
  }
  return control->kind_ == ControlKind::Form ? static_cast<Form*>(control) : nullptr;
}

void Control::Changed(Property property) {
  if (native != 0) {
    backend::Update(*this, property);
  }
}

void Control::SetBounds(Rect bounds) {
  bounds_ = bounds;
  Changed(Property::Bounds);
}

Rect Control::ScaledBounds() {
  const Form* form = OwnerForm();
  return form != nullptr ? form->FormScaling().Of(bounds_) : bounds_;
}

void Control::SetFocus() {
  backend::SetFocus(*this);
}

void Control::SetText(std::string text) {
  StoreText(std::move(text));
  Changed(Property::Text);
}

void Control::StoreText(std::string text) {
  if (!secret_) {
    text_ = std::move(text);
    return;
  }
  // Copied rather than moved: a short text's move leaves its characters where it was.
  WipeString(text_);
  text_.assign(text);
  WipeString(text);
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed(Property::Enabled);
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  Changed(Property::Visible);
}

void Control::SetAccessibleName(std::string name) {
  givenName_ = std::move(name);
  Changed(Property::Accessibility);
}

void Control::SetAccessibleRole(AccessibleRole role) {
  role_ = role;
  Changed(Property::Accessibility);
}

void Control::SetLiveRegion(bool live) {
  liveRegion_ = live;
  Changed(Property::Accessibility);
}

void Control::Announce() {
  if (native != 0) {
    backend::Announce(*this);
  }
}

bool IsInput(const Control& control) {
  switch (control.Kind()) {
  case ControlKind::Edit:
  case ControlKind::UpDown:
  case ControlKind::ComboBox:
  case ControlKind::DateTimePicker:
    return true;
  default:
    return false;
  }
}

AccessibleName AccessibleNameOf(const Control& control) {
  if (!control.GivenName().empty()) {
    return {control.GivenName(), NameMeans::Annotation};
  }
  if (!IsInput(control)) {
    return control.Text().empty() ? AccessibleName{}
                                  : AccessibleName{control.Text(), NameMeans::Caption};
  }
  const Control* parent = control.Parent();
  if (parent == nullptr) {
    return {};
  }
  const auto& siblings = parent->Children();
  const auto found = std::find(siblings.begin(), siblings.end(), &control);
  if (found == siblings.begin() || found == siblings.end()) {
    return {};
  }
  const Control& before = **(found - 1);
  if (before.Kind() != ControlKind::Label || before.Text().empty()) {
    return {};
  }
  return {before.Text(), NameMeans::LabelBefore};
}

Button::Button(Control* parent, std::string name, Rect bounds, Options options)
    : Control(parent, std::move(name), ControlKind::Button, bounds), options_(options) {}

void Button::Click() {
  if (!Enabled()) {
    return;
  }
  if (OnClick) {
    OnClick();
  }
  Form* form = OwnerForm();
  if (options_.modalResult != ModalResult::None && form != nullptr) {
    form->SetModalResult(options_.modalResult);
  }
}

void CheckBox::SetChecked(bool checked) {
  checked_ = checked;
  Changed(Property::Checked);
}

void CheckBox::CheckedFromUser(bool checked) {
  checked_ = checked;
  if (OnClick) {
    OnClick();
  }
}

Edit::Edit(Control* parent, std::string name, Rect bounds, char passwordChar)
    : Control(parent, std::move(name), ControlKind::Edit, bounds), passwordChar_(passwordChar) {
  if (passwordChar_ != '\0') {
    KeepTextSecret();
  }
}

void Edit::TextFromUser(std::string text) {
  StoreText(std::move(text));
}

namespace {

constexpr int DecimalBase = 10;

// The number an up-down reads from its edit: digits with an optional sign and blanks before
// them, nothing after; none when the text is no such number.
std::optional<int> TypedNumber(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) {
    return std::nullopt;
  }
  const char* begin = text.c_str() + start;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, DecimalBase);
  if (end == begin || *end != '\0' || errno == ERANGE) {
    return std::nullopt;
  }
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace

void UpDown::SetPosition(int position) {
  position_ = std::clamp(position, minimum_, maximum_);
  // The native arrows write their position into the edit themselves.
  buddy_.TextFromUser(std::to_string(position_));
  Changed(Property::Position);
}

void UpDown::ArrowFromUser(bool up) {
  const std::optional<int> typed = TypedNumber(buddy_.Text());
  const int from = typed && *typed >= minimum_ && *typed <= maximum_ ? *typed : position_;
  position_ = std::clamp(from + (up ? 1 : -1), minimum_, maximum_);
  buddy_.TextFromUser(std::to_string(position_));
  if (OnClick) {
    OnClick();
  }
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  index_ = -1;
  Changed(Property::Items);
}

void ComboBox::SetItemIndex(int index) {
  index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  Changed(Property::Position);
}

void ComboBox::ItemIndexFromUser(int index) {
  index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  if (OnClick) {
    OnClick();
  }
}

void DateTimePicker::SetTime(TimeOfDay time) {
  time_ = time;
  Changed(Property::Time);
}

void DateTimePicker::TimeFromUser(TimeOfDay time) {
  time_ = time;
  if (OnChange) {
    OnChange();
  }
}

void ProgressBar::SetMinimum(int minimum) {
  minimum_ = minimum;
  Changed(Property::Range);
}

void ProgressBar::SetMaximum(int maximum) {
  maximum_ = maximum;
  Changed(Property::Range);
}

void ProgressBar::SetPosition(int position) {
  position_ = position;
  Changed(Property::Position);
}

StatusBar::StatusBar(Control* parent, std::string name, std::vector<Panel> panels)
    : Control(parent, std::move(name), ControlKind::StatusBar, Rect{}), panels_(std::move(panels)) {
}

ToolBar::ToolBar(Control* parent, std::string name, ImageId images, int buttonWidth,
                 int buttonHeight)
    : Control(parent, std::move(name), ControlKind::ToolBar, Rect{}), images_(images),
      buttonWidth_(buttonWidth), buttonHeight_(buttonHeight) {}

void ToolBar::ClickButton(const std::string& name) {
  for (const ToolButton& button : buttons_) {
    if (button.name == name && button.onClick && Enabled()) {
      button.onClick();
    }
  }
}

TabSheet::TabSheet(PageControl* parent, std::string name, std::string caption)
    : Control(parent, std::move(name), ControlKind::TabSheet, Rect{}) {
  SetText(std::move(caption));
}

} // namespace ui
