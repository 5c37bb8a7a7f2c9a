#pragma once
// The headless toolkit's side for tests: a test plays the user through these calls. Message
// boxes are answered and recorded by the fake platform (fake::World::messageBoxAnswers and
// messageBoxes), so that the program's own boxes and the toolkit's share one list.

#include "ui/application.h"
#include "ui/form.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui::headless {

// Back to no forms, no scripts, a readable cursor.
void Reset();

// When a form is shown modally, the next script gets it, may act on its controls and returns
// how the form ends. Without a script a modal form ends with Cancel.
using ModalScript = std::function<ModalResult(Form& form)>;
void OnNextModal(ModalScript script);

// When a pop-up menu opens, the next script gets it and returns the name of the item chosen,
// or nothing; it may act meanwhile, as in a menu's own message loop, and MenuOpen() tells it
// whether the program closed the menu, which then chooses nothing. Without a script the menu
// closes at once without a choice.
using PopupScript = std::function<std::string(Menu& menu)>;
void OnNextPopup(PopupScript script);
bool MenuOpen();

// Runs each time the program lets its waiting messages be handled (ProcessMessages and the
// modal and countdown waits), so that a test can act in the middle of a wait.
void WhileProcessingMessages(std::function<void()> action);

// Whether the main form closed and so ended the message loop.
bool ApplicationEnded();

// The forms shown and not yet destroyed, newest last.
std::vector<Form*> OpenForms();
Form* FindForm(const std::string& name);

// User actions.
void Click(Control& control); // buttons, check boxes (toggles), speed buttons
void Check(CheckBox& box, bool checked);
void Type(Edit& edit, const std::string& text);
void ClickToolButton(ToolBar& bar, const std::string& name);
void ClickMenuItem(Menu& menu, const std::string& name);
// A key pressed in the form, as Windows hands it on: a menu shortcut first, then what the
// focused control asks for, then the dialog manager's rules (Tab moves the focus, Enter presses
// Form::EnterButton, Esc the cancel button, F1 asks for help).
void PressKey(Form& form, Shortcut shortcut);
// Whether the drop-down list is open (F4 or Alt+Down on the focused list opens it).
bool ListOpen(const ComboBox& list);
// A message sent to the form: its hooks, then the normal handling (SC_CLOSE closes,
// WM_ENDSESSION ends the session or lets it go on).
void SendMessage(Form& form, const Message& message);
void FireTimers(Form& form);

// The display the next forms are realized on: its DPI and how wide the font's face is, as the
// width of FaceSampleText at the design DPI. A form takes a new DPI from WmDpiChanged.
void SetDisplay(int dpi, int sampleWidth = DesignedSampleWidth);

// The nth native window created from now on (1: the next; a form's own window, then its controls
// in order) fails with the error, as when Windows is out of handles or a hook vetoes it.
void FailNativeCreation(int nth, std::uint32_t error);

// The cursor position GetCursorPos reports; none makes it fail.
void SetCursor(std::optional<Point> position);

struct OpenedPopup {
  std::string menu;
  Point position;
  MenuCorner corner = MenuCorner::TopLeft;
};
const std::vector<OpenedPopup>& OpenedPopups();

} // namespace ui::headless
