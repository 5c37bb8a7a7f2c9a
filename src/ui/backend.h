#pragma once
// What a toolkit backend provides to the forms and controls. The Win32 backend makes real
// windows; the headless one keeps everything in memory for the tests.

#include "ui/control.h"
#include "ui/form.h"

#include <string>

namespace ui::backend {

// Creates the form's window and its controls' windows; returns 0, or the Windows error code of
// the first that could not be created, after taking back all that was made.
std::uint32_t Realize(Form& form);
void Unrealize(Form& form);
void Update(Control& control, Property property);
void UpdateTimer(Timer& timer);
// Asks screen readers to read the control's live text now.
void Announce(Control& control);
// Makes the form visible and brings it to the front, or hides it.
void ShowForm(Form& form, bool show);
// Shows the form and runs a modal loop until its modal result is set; the program's other
// windows are disabled meanwhile.
// A form with AutoCloseAfter() set ends as cancelled once that time has passed.
void RunModal(Form& form);
// The keyboard focus: the control of the form that has it (null for none), and moving it to a
// control. A form that is not shown gives the focus to that control when it is shown next.
Control* FocusedControl(Form& form);
void SetFocus(Control& control);
// Back to the application of a new process, as the headless backend's tests start with.
void ResetApplication();
// The message box of the standard exception display.
void ShowExceptionBox(const std::string& text);

} // namespace ui::backend
