#include "dialogs/options_dialog.h"

#include "app/main_window.h"
#include "common/texts.h"
#include "settings/settings_file.h"
#include "ui/application.h"
#include "ui_world.h"

#include <memory>
#include <optional>

namespace {

using ui::headless::Check;
using ui::headless::Click;
using ui::headless::Type;

constexpr char UserRun[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(SecondsFromText, ReadsLikeTheEditShowsItAndRefusesWhatTheRecordCantHold) {
  struct Case {
    const char* text;
    std::optional<std::int16_t> seconds;
  };
  const Case cases[] = {
      {"10", 10},
      {"75", 75},
      {"letters", 0},
      {"", 0},
      {"  30", 30},
      {"\t7", 7},
      {"+12", 12},
      {"-5", -5},
      {"12abc", 12},
      {"1 2", 1},
      {"-", 0},
      {"+-3", 0},
      {"32767", 32767},
      {"-32768", -32768},
      {"32768", std::nullopt},
      {"40000", std::nullopt},
      {"65536", std::nullopt},
      {"-32769", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SecondsFromText(c.text), c.seconds) << '"' << c.text << '"';
  }
}

class OptionsDialogTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    window = StartMainWindow();
    world().calls.clear();
  }

  // Opens Preferences, lets `act` play the user and ends with `result`.
  void Edit(std::function<void(TFOption&)> act, ui::ModalResult result = ui::ModalResult::Ok) {
    ui::headless::OnNextModal([=](ui::Form& form) {
      act(static_cast<TFOption&>(form));
      return result;
    });
    ui::headless::ClickMenuItem(window->MainMenu1, "Preferences1");
  }

  std::unique_ptr<TFMain> window;
};

TEST_F(OptionsDialogTest, TheActionListMapsItemsToCodes) {
  struct Case {
    std::int16_t stored;
    int shownIndex;
    int chosenIndex;
    std::int16_t savedCode;
  };
  const Case cases[] = {
      {7, 0, -2, 1}, {8, 0, -2, 1}, {-1, 0, -2, 1}, {1, 0, 1, 2},   {2, 1, 2, 3},
      {5, 4, 3, 4},  {6, 5, 4, 5},  {9, 7, 5, 6},   {10, 6, 6, 10}, {1, 0, 7, 9},
  };
  for (const Case& c : cases) {
    AppSettings.TimerAction = c.stored;
    int shown = -1;
    std::string shownText;
    Edit([&](TFOption& dialog) {
      shown = dialog.CBShutAction.ItemIndex();
      shownText = dialog.CBShutAction.Items()[static_cast<std::size_t>(shown)];
      if (c.chosenIndex != -2) {
        dialog.CBShutAction.ItemIndexFromUser(c.chosenIndex);
      }
    });
    EXPECT_EQ(shown, c.shownIndex) << "stored " << c.stored;
    EXPECT_EQ(shownText, TimerActionItems[c.shownIndex]);
    EXPECT_EQ(AppSettings.TimerAction, c.savedCode) << "stored " << c.stored;
  }
}

TEST_F(OptionsDialogTest, OkStoresTypedSecondsAndRefusesThoseTheRecordCantHold) {
  struct Case {
    bool remote; // which warning's seconds are typed
    const char* typed;
    std::optional<std::int16_t> stored; // none: OK refuses them
  };
  const Case cases[] = {
      {false, "abc", 0},
      {false, "75", 75},
      {true, "32767", 32767},
      {false, "40000", std::nullopt},
      {true, "40000", std::nullopt},
      {true, "-32769", std::nullopt},
  };
  for (const Case& c : cases) {
    SetDefaultSettings(AppSettings);
    world().messageBoxes.clear();
    std::string focused;
    ui::ModalResult afterFirstOk = ui::ModalResult::None;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& dialog = static_cast<TFOption&>(form);
      ui::Edit& edit = c.remote ? dialog.EdNRSECVAR : dialog.EdNSECVAR;
      Type(edit, c.typed);
      Click(dialog.BOk);
      afterFirstOk = dialog.GetModalResult();
      if (const ui::Control* control = dialog.FocusedControl()) {
        focused = control->Name();
      }
      if (afterFirstOk == ui::ModalResult::None) {
        // The user types a number that fits and presses OK again.
        Type(edit, "300");
        Click(dialog.BOk);
      }
      return dialog.GetModalResult();
    });
    ui::headless::ClickMenuItem(window->MainMenu1, "Preferences1");
    const std::int16_t saved = c.remote ? AppSettings.RemoteWarnSeconds : AppSettings.WarnSeconds;
    if (c.stored) {
      EXPECT_EQ(afterFirstOk, ui::ModalResult::Ok) << c.typed;
      EXPECT_EQ(saved, *c.stored) << c.typed;
      EXPECT_TRUE(world().messageBoxes.empty()) << c.typed;
      continue;
    }
    EXPECT_EQ(afterFirstOk, ui::ModalResult::None) << c.typed << ": the dialog stays open";
    ASSERT_EQ(world().messageBoxes.size(), 1u) << c.typed;
    const char* caption = c.remote ? ShowRemoteWarningCaption : ShowWarningCaption;
    EXPECT_NE(world().messageBoxes[0].text.find(caption), std::string::npos)
        << world().messageBoxes[0].text;
    EXPECT_EQ(focused, c.remote ? "EdNRSECVAR" : "EdNSECVAR") << c.typed;
    EXPECT_EQ(saved, 300) << c.typed << ": what was typed next is stored";
  }
}

TEST_F(OptionsDialogTest, TheArrowsStepTheTypedNumberWithinTheirRange) {
  struct Case {
    const char* typed;
    bool byKey; // the arrow key in the edit, or a click on the arrows
    bool up;
    const char* shown;
  };
  const Case cases[] = {
      {"30", true, false, "29"}, {"30", false, true, "31"},  {"0", true, false, "0"},
      {"59", false, true, "59"}, {" 7", true, true, "8"},    // typed values are read
      {"75", true, false, "9"},  {"abc", false, true, "11"}, // no number in range: from the stored
                                                             // 10
  };
  for (const Case& c : cases) {
    AppSettings.WarnSeconds = 10;
    std::string shown;
    Edit([&](TFOption& dialog) {
      Type(dialog.EdNSECVAR, c.typed);
      if (c.byKey) {
        dialog.EdNSECVAR.SetFocus();
        ui::headless::PressKey(dialog, c.up ? ui::ShortcutUp : ui::ShortcutDown);
      } else {
        dialog.UpDownWar.ArrowFromUser(c.up);
      }
      shown = dialog.EdNSECVAR.Text();
    });
    EXPECT_EQ(shown, c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(AppSettings.WarnSeconds, SecondsFromText(c.shown)) << '"' << c.typed << '"';
  }
}

// Esc closes an open list and nothing else: the dialog stays open with what was changed in it.
TEST_F(OptionsDialogTest, EscClosesAnOpenListOnlyAndOkKeepsTheChanges) {
  AppSettings.ForceApps = 0;
  bool listClosed = false;
  Edit(
      [&](TFOption& dialog) {
        Check(dialog.CBForce, true);
        dialog.CBShutAction.SetFocus();
        ui::headless::PressKey(dialog, ui::ShortcutAltDown);
        EXPECT_TRUE(ui::headless::ListOpen(dialog.CBShutAction));
        ui::headless::PressKey(dialog, ui::ShortcutEsc);
        listClosed = !ui::headless::ListOpen(dialog.CBShutAction);
        EXPECT_EQ(dialog.GetModalResult(), ui::ModalResult::None);
        ui::headless::PressKey(dialog, ui::ShortcutEnter);
      },
      ui::ModalResult::None);
  EXPECT_TRUE(listClosed);
  EXPECT_EQ(AppSettings.ForceApps, 1);
}

TEST_F(OptionsDialogTest, AnUncheckedWarningGreysItsSecondsButKeepsThem) {
  AppSettings.WarnSeconds = 25;
  bool greyed = false;
  Edit([&](TFOption& dialog) {
    EXPECT_TRUE(dialog.EdNSECVAR.Enabled());
    Check(dialog.CBShutWar, false);
    greyed = !dialog.EdNSECVAR.Enabled() && !dialog.UpDownWar.Enabled() &&
             dialog.EdNRSECVAR.Enabled();
  });
  EXPECT_TRUE(greyed);
  EXPECT_EQ(AppSettings.ShowWarning, 0);
  EXPECT_EQ(AppSettings.WarnSeconds, 25);
}

TEST_F(OptionsDialogTest, EveryBoxReachesItsField) {
  Edit([](TFOption& dialog) {
    Check(dialog.CBForce, true);
    Check(dialog.CBTray, true);
    Check(dialog.CBRShutWar, false);
    Check(dialog.CBExitConfirm, true);
  });
  EXPECT_EQ(AppSettings.ForceApps, 1);
  EXPECT_EQ(AppSettings.StartInTray, 1);
  EXPECT_EQ(AppSettings.ShowRemoteWarning, 0);
  EXPECT_EQ(AppSettings.ConfirmExit, 1);
  EXPECT_EQ(AppSettings.RunAtStartup, 1);
}

TEST_F(OptionsDialogTest, CancelChangesNeitherTheRecordNorTheRunValueNorTheFile) {
  const Settings before = AppSettings;
  const auto runValue = fake::GetRegValue(UserRun, RunValueName);
  ASSERT_TRUE(runValue);
  Edit(
      [](TFOption& dialog) {
        Check(dialog.CBStartup, false);
        Check(dialog.CBForce, true);
        Type(dialog.EdNSECVAR, "44");
      },
      ui::ModalResult::Cancel);
  EXPECT_EQ(AppSettings.ForceApps, before.ForceApps);
  EXPECT_EQ(AppSettings.RunAtStartup, before.RunAtStartup);
  EXPECT_EQ(AppSettings.WarnSeconds, before.WarnSeconds);
  EXPECT_EQ(fake::GetRegValue(UserRun, RunValueName), runValue);
  EXPECT_TRUE(fake::CallsNamed({"CreateNewFile", "RegDeleteValueA"}).empty());
}

TEST_F(OptionsDialogTest, OkAppliesTheRunValueBeforeTheFileIsWritten) {
  Edit([](TFOption& dialog) { Check(dialog.CBStartup, false); });
  const auto calls = fake::CallsNamed({"RegDeleteValueA", "CreateNewFile"});
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::string("RegDeleteValueA(") + UserRun + ", DorvaneShutdown)");
  EXPECT_EQ(calls[1].substr(0, 14), "CreateNewFile(");
  EXPECT_FALSE(fake::GetRegValue(UserRun, RunValueName));
  Settings saved;
  SetDefaultSettings(saved);
  ASSERT_EQ(LoadSettings(saved, SettingsHeader, SettingsPath), SettingsLoad::Read);
  EXPECT_EQ(saved.RunAtStartup, 0);
}

TEST_F(OptionsDialogTest, TheThreeEntriesOpenTheSameDialog) {
  int opened = 0;
  for (int i = 0; i < 3; ++i) {
    ui::headless::OnNextModal([&](ui::Form& form) {
      opened += form.Name() == "TFOption" && form.HelpContext() == 1301;
      return ui::ModalResult::Cancel;
    });
  }
  ui::headless::PressKey(*window, ui::ShortcutCtrlO);
  ui::headless::ClickMenuItem(window->PopupMenu1, "Preferences2");
  ui::headless::Click(window->SBPreferences);
  EXPECT_EQ(opened, 3);
}

using SaveReportTest = WindowsTest;

TEST_F(SaveReportTest, AFailedSaveIsToldOnceWithTheSystemsText) {
  Settings stored;
  SetDefaultSettings(stored);
  StoreSettings(stored);
  // A settings file made read-only: the replacement can't take its place.
  world().fileAttributes[SettingsPath] = win::FileAttributeReadOnly;
  auto window = StartMainWindow();
  ui::headless::OnNextModal([](ui::Form& form) {
    Type(static_cast<TFOption&>(form).EdNSECVAR, "44");
    return ui::ModalResult::Ok;
  });
  ui::headless::ClickMenuItem(window->MainMenu1, "Preferences1");
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, std::string("Your settings could not be saved to\n") +
                                              SettingsPath + "\n\nAccess is denied.\r\n");
  EXPECT_EQ(world().messageBoxes[0].style, win::MbIconError);
  EXPECT_EQ(AppSettings.WarnSeconds, 44) << "the run goes on with the new settings";

  // Exit saves again and fails again, without a second box.
  ui::headless::ClickMenuItem(window->MainMenu1, "Exit1");
  window.reset();
  EXPECT_EQ(fake::CallsNamed({"MoveFileReplacing"}).size(), 2u);
  EXPECT_EQ(world().messageBoxes.size(), 1u);
}

TEST_F(SaveReportTest, AtExitAFailedSaveIsToldAndAtSessionEndNot) {
  for (const bool sessionEnds : {false, true}) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().systemMessages[{win::LangEnglishUs, win::ErrorDiskFull}] = "The disk is full.\r\n";
    auto window = StartMainWindow();
    world().diskSpace = 0;
    if (sessionEnds) {
      ui::EndSession(true);
    } else {
      ui::headless::ClickMenuItem(window->MainMenu1, "Exit1");
    }
    window.reset();
    EXPECT_EQ(fake::CallsNamed({"CreateNewFile"}).size(), 1u) << sessionEnds;
    ASSERT_EQ(world().messageBoxes.size(), sessionEnds ? 0u : 1u) << sessionEnds;
    if (!sessionEnds) {
      EXPECT_NE(world().messageBoxes[0].text.find("The disk is full."), std::string::npos);
    }
  }
}

} // namespace
