// Tab in a window whose multi-line edit would keep it: the dialog manager's rules as the
// headless backend plays them for every form.

#include "actions/domain_action.h"
#include "ui_world.h"

namespace {

using DialogKeysTest = WindowsTest;

TEST_F(DialogKeysTest, TabAndShiftTabLeaveTheResultWindowsFailureList) {
  struct Case {
    bool startInList;
    ui::Shortcut key;
    bool endsOnOk;
  };
  const Case cases[] = {
      {true, ui::ShortcutTab, true},
      {true, ui::ShortcutShiftTab, true},
      {false, ui::ShortcutTab, false},
  };
  for (const Case& c : cases) {
    ui::Control* focused = nullptr;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& result = static_cast<TFDomainResult&>(form);
      (c.startInList ? static_cast<ui::Control&>(result.MemoFailures)
                     : static_cast<ui::Control&>(result.BOk))
          .SetFocus();
      ui::headless::PressKey(result, c.key);
      focused = result.FocusedControl();
      ui::headless::PressKey(result, ui::ShortcutEnter);
      EXPECT_EQ(result.GetModalResult(), ui::ModalResult::Ok);
      return ui::ModalResult::None;
    });
    TFDomainResult result;
    DomainOutcome outcome;
    outcome.asked = 1;
    outcome.failures.push_back(FailedComputer{"\\\\ALPHA", win::ErrorAccessDenied});
    result.Execute(outcome);
    EXPECT_EQ(focused, c.endsOnOk ? static_cast<ui::Control*>(&result.BOk)
                                  : static_cast<ui::Control*>(&result.MemoFailures))
        << c.key;
  }
}

} // namespace
