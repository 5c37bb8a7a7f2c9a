#pragma once
// The controls the program's windows are made of. A control holds its state (text, check,
// position...) and tells the backend when the program changes it; the backend feeds what the
// user changes back through the FromUser methods before it fires the event.

#include "ui/types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

enum class ControlKind {
  Form,
  Panel,
  Label,
  Button,
  CheckBox,
  Edit,
  GroupBox,
  UpDown,
  ComboBox,
  DateTimePicker,
  ProgressBar,
  StatusBar,
  ToolBar,
  SpeedButton,
  PageControl,
  TabSheet,
  Image,
};

// What changed, for the backend to apply.
enum class Property {
  Text,
  Enabled,
  Visible,
  Checked,
  Range,
  Position,
  Items,
  Time,
  Bounds,
  Accessibility
};

// How a screen reader learns a control's name.
enum class NameMeans {
  None,
  Caption,     // its own text: buttons, check boxes, labels, forms
  LabelBefore, // the label created right before it, which Windows reads as an input's name
  Annotation,  // a name given to it where no label can precede it
};

struct AccessibleName {
  std::string text;
  NameMeans means = NameMeans::None;
  bool operator==(const AccessibleName&) const = default;
};

// The role a screen reader announces where Windows' own guess is wrong: a form of the toolkit's
// class is a plain window to Windows, while a countdown is a dialog to its user.
enum class AccessibleRole { Default, Dialog };

class Control {
public:
  Control(Control* parent, std::string name, ControlKind kind, Rect bounds);
  // Leaves its parent's children, and its own children their parent: a form whose construction
  // failed halfway destroys its members before its base, which must not reach them then.
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  Control* Parent() const { return parent_; }
  const std::vector<Control*>& Children() const { return children_; }
  Form* OwnerForm();
  // The designed bounds, in pixels at 96 DPI with the designed font.
  Rect Bounds() const { return bounds_; }
  void SetBounds(Rect bounds);
  // The bounds on the display, scaled as the control's form is.
  Rect ScaledBounds();

  const std::string& Text() const { return text_; }
  bool TextSecret() const { return secret_; }
  void SetText(std::string text);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }

  // For screen readers: a name given where no label precedes the control, a role, and a text
  // that changes while nobody looks at it (a polite live region). Announce() has the live text
  // read now; the backend decides nothing about how often.
  const std::string& GivenName() const { return givenName_; }
  void SetAccessibleName(std::string name);
  AccessibleRole Role() const { return role_; }
  void SetAccessibleRole(AccessibleRole role);
  bool LiveRegion() const { return liveRegion_; }
  void SetLiveRegion(bool live);
  void Announce();
  // Gives the control the keyboard focus; in a form not shown, once the form is shown.
  void SetFocus();

  // Backend data: the native window of the control, 0 while it has none.
  std::uintptr_t native = 0;

  std::function<void()> OnClick;

protected:
  void Changed(Property property);
  // Takes a text the native control already shows.
  void StoreText(std::string text);
  // The text is a secret: each text it replaces, the copies it was given and the last one when
  // the control goes are wiped (WipeString).
  void KeepTextSecret() { secret_ = true; }

private:
  Control* parent_;
  std::string name_;
  ControlKind kind_;
  Rect bounds_;
  std::vector<Control*> children_;
  std::string text_;
  bool secret_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  std::string givenName_;
  AccessibleRole role_ = AccessibleRole::Default;
  bool liveRegion_ = false;
};

// The name a screen reader gets for the control and by which means: a given name first; an
// input without one takes the label created right before it among its siblings; the others
// their caption.
AccessibleName AccessibleNameOf(const Control& control);
// Edits, up-downs, drop-down lists and time pickers: the controls that need a label to be named.
bool IsInput(const Control& control);

class Panel : public Control {
public:
  Panel(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::Panel, bounds) {}
};

class Label : public Control {
public:
  // An auto-sized label takes the size of its text; the others keep their bounds.
  enum class Layout { Left, Centred, AutoSize };
  Label(Control* parent, std::string name, Rect bounds, Layout layout = Layout::Left)
      : Control(parent, std::move(name), ControlKind::Label, bounds), layout_(layout) {}
  Layout TextLayout() const { return layout_; }

private:
  Layout layout_;
};

class GroupBox : public Control {
public:
  GroupBox(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::GroupBox, bounds) {}
};

// A push button; TBitBtn-like buttons carry a glyph. A button with a modal result closes its
// modal form with that result.
class Button : public Control {
public:
  struct Options {
    ModalResult modalResult = ModalResult::None;
    bool isDefault = false;
    bool isCancel = false; // Esc presses it
    ImageId glyph = ImageId::None;
  };
  Button(Control* parent, std::string name, Rect bounds, Options options);
  const Options& ButtonOptions() const { return options_; }
  // A click as the user makes it: the handler, then the modal result.
  void Click();

private:
  Options options_;
};

class CheckBox : public Control {
public:
  CheckBox(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::CheckBox, bounds) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void CheckedFromUser(bool checked);

private:
  bool checked_ = false;
};

// What a password edit shows for each character typed.
inline constexpr char PasswordMask = '*';

class Edit : public Control {
public:
  // An edit with a password character keeps its text secret.
  Edit(Control* parent, std::string name, Rect bounds, char passwordChar = '\0');
  char PasswordChar() const { return passwordChar_; }
  // Lines to read, scrolled when they don't fit: a memo that the user can't change.
  bool ReadOnlyLines() const { return readOnlyLines_; }
  void TextFromUser(std::string text);

protected:
  struct ReadOnlyLinesTag {};
  Edit(Control* parent, std::string name, Rect bounds, ReadOnlyLinesTag)
      : Control(parent, std::move(name), ControlKind::Edit, bounds), passwordChar_('\0'),
        readOnlyLines_(true) {}

private:
  char passwordChar_;
  bool readOnlyLines_ = false;
};

// Lines of text to read and copy, with a vertical scroll bar; lines end in CR LF.
class Memo : public Edit {
public:
  Memo(Control* parent, std::string name, Rect bounds)
      : Edit(parent, std::move(name), bounds, ReadOnlyLinesTag{}) {}
};

// Arrows attached to the edit before them, which holds the number: an arrow, clicked or as the
// arrow key pressed in the edit, reads the number typed there and writes the next one back.
class UpDown : public Control {
public:
  UpDown(Control* parent, std::string name, Rect bounds, Edit& buddy, int minimum, int maximum)
      : Control(parent, std::move(name), ControlKind::UpDown, bounds), buddy_(buddy),
        minimum_(minimum), maximum_(maximum) {}
  Edit& Buddy() const { return buddy_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  // Sets the position and shows it in the edit.
  void SetPosition(int position);
  // An arrow: from the edit's number when it is one within the range, otherwise from the
  // position, one step within the range, without wrapping.
  void ArrowFromUser(bool up);

private:
  Edit& buddy_;
  int minimum_;
  int maximum_;
  int position_ = 0;
};

// A drop-down list without free text.
class ComboBox : public Control {
public:
  ComboBox(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::ComboBox, bounds) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  void ItemIndexFromUser(int index);

private:
  std::vector<std::string> items_;
  int index_ = -1;
};

// A time picker: hours, minutes and seconds.
class DateTimePicker : public Control {
public:
  DateTimePicker(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::DateTimePicker, bounds) {}
  TimeOfDay Time() const { return time_; }
  void SetTime(TimeOfDay time);
  void TimeFromUser(TimeOfDay time);
  std::function<void()> OnChange;

private:
  TimeOfDay time_;
};

class ProgressBar : public Control {
public:
  ProgressBar(Control* parent, std::string name, Rect bounds, int minimum, int maximum)
      : Control(parent, std::move(name), ControlKind::ProgressBar, bounds), minimum_(minimum),
        maximum_(maximum) {}
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  void SetMinimum(int minimum);
  void SetMaximum(int maximum);
  void SetPosition(int position);

private:
  int minimum_;
  int maximum_;
  int position_ = 0;
};

class StatusBar : public Control {
public:
  struct Panel {
    int width = 0;
    std::string text;
  };
  StatusBar(Control* parent, std::string name, std::vector<Panel> panels);
  const std::vector<Panel>& Panels() const { return panels_; }

private:
  std::vector<Panel> panels_;
};

// A flat toolbar with captions under its images; each button has a hint and a click handler.
class ToolBar : public Control {
public:
  struct ToolButton {
    std::string name;
    std::string caption;
    std::string hint;
    int image = 0;
    std::function<void()> onClick;
  };
  ToolBar(Control* parent, std::string name, ImageId images, int buttonWidth, int buttonHeight);
  ImageId Images() const { return images_; }
  int ButtonWidth() const { return buttonWidth_; }
  int ButtonHeight() const { return buttonHeight_; }
  void AddButton(ToolButton button) { buttons_.push_back(std::move(button)); }
  const std::vector<ToolButton>& Buttons() const { return buttons_; }
  // A click as the user makes it on the button of that name.
  void ClickButton(const std::string& name);

private:
  ImageId images_;
  int buttonWidth_;
  int buttonHeight_;
  std::vector<ToolButton> buttons_;
};

// A flat button with a glyph beside its caption.
class SpeedButton : public Control {
public:
  SpeedButton(Control* parent, std::string name, Rect bounds, ImageId glyph, int spacing = 4)
      : Control(parent, std::move(name), ControlKind::SpeedButton, bounds), glyph_(glyph),
        spacing_(spacing) {}
  ImageId Glyph() const { return glyph_; }
  int Spacing() const { return spacing_; }

private:
  ImageId glyph_;
  int spacing_;
};

class PageControl : public Control {
public:
  PageControl(Control* parent, std::string name, Rect bounds)
      : Control(parent, std::move(name), ControlKind::PageControl, bounds) {}
};

class TabSheet : public Control {
public:
  TabSheet(PageControl* parent, std::string name, std::string caption);
};

class Image : public Control {
public:
  Image(Control* parent, std::string name, Rect bounds, ImageId picture)
      : Control(parent, std::move(name), ControlKind::Image, bounds), picture_(picture) {}
  ImageId Picture() const { return picture_; }

private:
  ImageId picture_;
};

} // namespace ui
