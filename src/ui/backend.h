#pragma once
// What a toolkit backend provides to the forms and controls. The Win32 backend makes real
// windows; the headless one keeps everything in memory for the tests.

#include "ui/control.h"
#include "ui/form.h"

namespace ui::backend {

void Realize(Form& form);
void Unrealize(Form& form);
void Update(Control& control, Property property);
void UpdateTimer(Timer& timer);
// Makes the form visible and brings it to the front, or hides it.
void ShowForm(Form& form, bool show);
// Shows the form and runs a modal loop until its modal result is set; the program's other
// windows are disabled meanwhile.
void RunModal(Form& form);

} // namespace ui::backend
