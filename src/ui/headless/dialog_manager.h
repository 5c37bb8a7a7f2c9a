#pragma once
// What the headless backend shares with its model of Windows' dialog manager.

#include "ui/form.h"

namespace ui::headless {

// The form is gone: its focus and open list with it.
void ForgetForm(const Form& form);
void ResetDialogManager();

} // namespace ui::headless
