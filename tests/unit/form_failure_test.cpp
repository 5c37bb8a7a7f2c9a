// Windows that can't be created: every position of a form may fail, and the program then neither
// touches freed controls nor acts as if the window had lived.

#include "actions/local_power.h"
#include "app/main_window.h"
#include "common/texts.h"
#include "dialogs/remote_dialog.h"
#include "settings/run_at_startup.h"
#include "ui/application.h"
#include "ui_world.h"

#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t NoMoreUserHandles = 1158;
// The main window: its form, the panel, the check box, the group, the time picker, the two
// speed buttons, the toolbar and the status bar.
constexpr int MainWindowWindows = 9;
// The remote dialog: its form and eleven controls.
constexpr int RemoteDialogWindows = 12;

class MainWindowFailsAt : public WindowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(MainWindowFailsAt, TheProgramReportsTheReasonAndEndsWithItUntouched) {
  ui::headless::FailNativeCreation(GetParam(), NoMoreUserHandles);
  EXPECT_EQ(RunProgram({"DorvaneShutdown.exe"}), static_cast<int>(NoMoreUserHandles));
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, SystemErrorText(NoMoreUserHandles));
  EXPECT_TRUE(ui::headless::OpenForms().empty());
  // Nothing of a live window's start or end: no settings read or saved, no Run value, no icon.
  EXPECT_TRUE(world().files.empty());
  EXPECT_TRUE(fake::CallsNamed({"RegSetValueExA", "RegDeleteValueA", "Shell_NotifyIconA",
                                "OpenFileForReading", "CreateNewFile"})
                  .empty());
  EXPECT_EQ(fake::CallsNamed({"CreateMutexA", "ReleaseMutex"}).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, MainWindowFailsAt,
                         ::testing::Range(1, MainWindowWindows + 1));

class RemoteDialogFailsAt : public WindowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(RemoteDialogFailsAt, TheDialogIsReportedAndTheMainWindowGoesOn) {
  auto window = StartMainWindow();
  std::vector<std::uint32_t> reported;
  ui::SetCreationFailureHandler([&reported](std::uint32_t error) { reported.push_back(error); });
  world().calls.clear();
  ui::headless::FailNativeCreation(GetParam(), NoMoreUserHandles);
  window->RemoteReboot1Click();
  EXPECT_EQ(reported, std::vector<std::uint32_t>{NoMoreUserHandles});
  EXPECT_TRUE(fake::CallsNamed({"RunModal", "InitiateSystemShutdownA"}).empty());
  ASSERT_EQ(ui::headless::OpenForms().size(), 1u);
  EXPECT_EQ(ui::headless::OpenForms()[0], window.get());
  // The next one opens as usual.
  window->RemoteReboot1Click();
  EXPECT_EQ(fake::CallsNamed({"RunModal"}).size(), 1u);
  EXPECT_EQ(reported.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, RemoteDialogFailsAt,
                         ::testing::Range(1, RemoteDialogWindows + 1));

TEST(FormWindowsCount, TheTablesReachEveryWindowOfTheirForms) {
  // One failure past the last window fails nothing: the tables above cover each window.
  fake::ResetWorld();
  ui::headless::Reset();
  ui::headless::FailNativeCreation(RemoteDialogWindows + 1, NoMoreUserHandles);
  EXPECT_TRUE(TFRComp().Realized());
  ui::headless::FailNativeCreation(RemoteDialogWindows, NoMoreUserHandles);
  EXPECT_FALSE(TFRComp().Realized());
  ui::headless::FailNativeCreation(MainWindowWindows + 1, NoMoreUserHandles);
  EXPECT_TRUE(TFMain({"DorvaneShutdown.exe"}).Realized());
  ui::headless::Reset();
}

// A form whose own destructor leaves the end to the base: its controls are gone by then, and the
// base must not reach them (under AddressSanitizer, the panel's list of children is freed).
struct BareForm : ui::Form {
  BareForm() : ui::Form({.name = "Bare"}), panel(this, "Panel", {}), edit(&panel, "Edit", {}) {
    Realize();
  }
  ui::Panel panel;
  ui::Edit edit;
};

TEST_F(WindowsTest, ControlsThatWentFirstAreNotReachedByTheirForm) {
  auto form = std::make_unique<BareForm>();
  ASSERT_TRUE(form->Realized());
  form.reset();
  EXPECT_TRUE(ui::headless::OpenForms().empty());
}

TEST_F(WindowsTest, TheElevatedCopyReportsItsDialogAndEndsWithTheReason) {
  ui::headless::FailNativeCreation(1, win::ErrorNotEnoughMemory);
  EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", AutoLogonKeyword}),
            static_cast<int>(win::ErrorNotEnoughMemory));
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, SystemErrorText(win::ErrorNotEnoughMemory));
  EXPECT_TRUE(fake::CallsNamed({"RegSetValueExA", "StorePrivateData"}).empty());
}

} // namespace
