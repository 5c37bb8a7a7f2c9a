#include "app/main_window.h"

#include "app/command_line.h"
#include "common/texts.h"
#include "dialogs/remote_dialog.h"
#include "ui/application.h"
#include "ui_world.h"

#include <memory>

namespace {

using ui::headless::ClickMenuItem;
using ui::headless::SendMessage;

class MainWindowTest : public WindowsTest {
protected:
  std::vector<std::string> TrayCalls() { return fake::CallsNamed({"Shell_NotifyIconA"}); }

  // A countdown of three seconds for the next action, with `act` played once 1.5 s into it.
  // Returns the tick count the countdown starts at.
  std::uint32_t DuringCountdown(std::function<void()> act) {
    AppSettings.ShowWarning = 1;
    AppSettings.WarnSeconds = 3;
    const std::uint32_t start = world().tickCount;
    ui::headless::WhileProcessingMessages([this, start, act, acted = false]() mutable {
      if (!acted && world().tickCount - start >= 1500) {
        acted = true;
        act();
      }
    });
    return start;
  }
  static TTFPro3* Countdown() { return static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3")); }
};

TEST(CommandLine, MatchesTheKeywordsInAnyCase) {
  struct Case {
    std::vector<std::string> arguments;
    std::uint32_t code;
  };
  const Case cases[] = {
      {{"ds.exe"}, 0},
      {{"ds.exe", "shutdown"}, ActionShutdown},
      {{"ds.exe", "SHUTDOWN"}, ActionShutdown},
      {{"ds.exe", "ReBoOt"}, ActionReboot},
      {{"ds.exe", "restart"}, ActionReboot},
      {{"ds.exe", "logoff"}, ActionLogOff},
      {{"ds.exe", "standby"}, ActionStandby},
      {{"ds.exe", "hibernate"}, ActionHibernate},
      {{"ds.exe", "lock"}, ActionLock},
      {{"ds.exe", "domainshutdown"}, ActionDomainShutdown},
      {{"ds.exe", "DomainReboot"}, ActionDomainReboot},
      {{"ds.exe", "log off"}, 0},
      {{"ds.exe", "shutdown "}, 0},
      {{"ds.exe", "/shutdown"}, 0},
      {{"ds.exe", ""}, 0},
      {{"ds.exe", "remote"}, 0},
      {{"ds.exe", "lock", "shutdown"}, ActionLock},
      {{"ds.exe", "nothing", "shutdown"}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandLineAction(c.arguments), c.code) << c.arguments.back();
  }
}

TEST_F(MainWindowTest, AKeywordRunsItsActionAndClosesTheWindow) {
  AppSettings.ShowWarning = 0;
  Settings stored = AppSettings;
  stored.ShowWarning = 0;
  StoreSettings(stored);
  auto window = StartMainWindow({"DorvaneShutdown.exe", "Restart"});
  EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}), std::vector<std::string>{"ExitWindowsEx(2, 0)"});
  EXPECT_EQ(ui::MainForm(), window.get());
  window.reset();
  EXPECT_EQ(world().files.count(SettingsPath), 1u) << "saved on the way out";
}

TEST_F(MainWindowTest, WithoutAKeywordNothingRuns) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"DorvaneShutdown.exe"}, {"DorvaneShutdown.exe", "please"}}) {
    auto window = StartMainWindow(arguments);
    EXPECT_TRUE(fake::CallsNamed({"ExitWindowsEx", "SetSystemPowerState"}).empty());
    EXPECT_TRUE(window->Showing());
  }
}

TEST_F(MainWindowTest, AKeywordActsOnceWhateverTheExitQuestionAnswers) {
  struct Case {
    const char* keyword;
    std::uint8_t showWarning;
    int answer;
    bool ends;
    std::size_t actions;
  };
  const Case cases[] = {
      {"standby", 0, win::IdYes, true, 1},
      {"standby", 0, win::IdNo, false, 1},
      {"shutdown", 1, win::IdNo, false, 0}, // the countdown cancelled
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Settings stored;
    SetDefaultSettings(stored);
    stored.ConfirmExit = 1;
    stored.ShowWarning = c.showWarning;
    stored.WarnSeconds = 2;
    StoreSettings(stored);
    int countdowns = 0;
    ui::headless::WhileProcessingMessages([&] {
      auto* dialog = static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3"));
      if (dialog != nullptr && dialog->Running) {
        ++countdowns;
        ui::headless::Click(dialog->BCancel);
      }
    });
    world().messageBoxAnswers = {c.answer};
    auto window = StartMainWindow({"DorvaneShutdown.exe", c.keyword});
    // Switching back to the window later runs nothing either.
    window->ActivatedFromSystem();
    const std::string what = std::string(c.keyword) + " " + std::to_string(c.answer);
    EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx", "SetSystemPowerState"}).size(), c.actions) << what;
    EXPECT_EQ(countdowns, c.showWarning) << what;
    ASSERT_EQ(world().messageBoxes.size(), 1u) << what;
    EXPECT_EQ(world().messageBoxes[0].text, ExitQuestionText);
    EXPECT_EQ(world().messageBoxes[0].owner, window->native);
    EXPECT_EQ(ui::headless::ApplicationEnded(), c.ends) << what;
  }
}

TEST_F(MainWindowTest, ExitDuringTheCountdownEndsWithoutActing) {
  struct Case {
    const char* what;
    void (*exit)(TFMain&);
    std::uint8_t confirmExit;
    int answer;
    bool ends;
  };
  const auto fileExit = [](TFMain& w) { ClickMenuItem(w.MainMenu1, "Exit1"); };
  const Case cases[] = {
      {"File > Exit", fileExit, 0, 0, true},
      {"tray Exit", [](TFMain& w) { ClickMenuItem(w.PopupMenu1, "Exit2"); }, 0, 0, true},
      {"Alt+F4", [](TFMain& w) { ui::headless::PressKey(w, ui::ShortcutAltF4); }, 0, 0, true},
      {"Exit answered Yes", fileExit, 1, win::IdYes, true},
      {"Exit answered No", fileExit, 1, win::IdNo, false},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    auto window = StartMainWindow();
    AppSettings.ConfirmExit = c.confirmExit;
    world().messageBoxAnswers = {c.answer};
    const std::uint32_t start = DuringCountdown([&] { c.exit(*window); });
    ClickMenuItem(window->MainMenu1, "ShutDown1");
    EXPECT_EQ(ui::headless::ApplicationEnded(), c.ends) << c.what;
    EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}).size(), c.ends ? 0u : 1u) << c.what;
    EXPECT_EQ(world().tickCount - start < 2000, c.ends) << c.what;
    EXPECT_EQ(world().messageBoxes.size(), c.confirmExit) << c.what;
  }
}

TEST_F(MainWindowTest, OnlyTheConfirmedSessionEndDropsTheCountdownAndItSavesFirst) {
  using ui::WmEndSession;
  using ui::WmQueryEndSession;
  struct Case {
    const char* what;
    std::vector<ui::Message> messages;
    std::uint8_t confirmExit;
    bool dropped;
  };
  const Case cases[] = {
      {"asked only", {{WmQueryEndSession}}, 0, false},
      {"another program refused", {{WmQueryEndSession}, {WmEndSession, 0}}, 0, false},
      {"confirmed", {{WmQueryEndSession}, {WmEndSession, 1}}, 0, true},
      {"confirmed, exit question on", {{WmQueryEndSession}, {WmEndSession, 1}}, 1, true},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    Settings stored;
    SetDefaultSettings(stored);
    stored.ConfirmExit = c.confirmExit;
    StoreSettings(stored);
    std::vector<std::string> endSteps;
    DuringCountdown([&] {
      world().calls.clear();
      for (const ui::Message& message : c.messages) {
        SendMessage(*ui::MainForm(), message);
      }
      endSteps = fake::CallsNamed({"MoveFileReplacing", "HtmlHelpA", "Shell_NotifyIconA"});
    });
    auto window = StartMainWindow({"DorvaneShutdown.exe", "shutdown"});
    EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}).empty(), c.dropped) << c.what;
    EXPECT_TRUE(world().messageBoxes.empty()) << c.what;
    EXPECT_TRUE(ui::headless::ApplicationEnded()) << c.what;
    EXPECT_EQ(Countdown(), nullptr) << c.what;
    if (c.dropped) {
      ASSERT_EQ(endSteps.size(), 3u) << c.what;
      EXPECT_EQ(endSteps[0].rfind("MoveFileReplacing(", 0), 0u) << "saved first: " << endSteps[0];
    } else {
      EXPECT_TRUE(endSteps.empty()) << c.what;
    }
  }
}

TEST_F(MainWindowTest, AWindowOpenedDuringTheCountdownNeitherStopsNorOutlastsIt) {
  struct Case {
    const char* what;
    const char* item;
    bool cancel; // the countdown's Cancel, pressed while the window is open
    const char* action;
  };
  const Case cases[] = {
      {"Preferences left open", "Preferences1", false, "ExitWindowsEx(12, 0)"},
      {"Remote confirmed", "RemoteReboot1", false, "ExitWindowsEx(12, 0)"},
      {"About, countdown cancelled", "About1", true, nullptr},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    auto window = StartMainWindow();
    AppSettings.ForceApps = 1;
    world().calls.clear();
    bool countdownShownAfterCancel = true;
    ui::ModalResult endedWith = ui::ModalResult::None;
    ui::headless::OnNextModal([&](ui::Form& form) {
      if (auto* remote = dynamic_cast<TFRComp*>(&form)) {
        ui::headless::Type(remote->EdComp, "pc7");
        return ui::ModalResult::Ok;
      }
      if (c.cancel) {
        ui::headless::Click(Countdown()->BCancel);
        ui::headless::FireTimers(*Countdown());
        countdownShownAfterCancel = Countdown()->Showing();
      }
      // The window stays open until something ends it; only the countdown's timer runs.
      for (int i = 0; i < 2000 && form.GetModalResult() == ui::ModalResult::None; ++i) {
        world().tickCount += 10;
        ui::headless::FireTimers(*Countdown());
      }
      endedWith = form.GetModalResult();
      return ui::ModalResult::Ok;
    });
    const std::uint32_t start = DuringCountdown([&] { ClickMenuItem(window->MainMenu1, c.item); });
    ClickMenuItem(window->MainMenu1, "ShutDown1");
    EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx"}),
              c.action ? std::vector<std::string>{c.action} : std::vector<std::string>{})
        << c.what;
    EXPECT_EQ(AppSettings.ForceApps, 1) << c.what;
    EXPECT_STREQ(AppSettings.RemoteComputer, "") << c.what;
    EXPECT_TRUE(fake::CallsNamed({"CreateNewFile"}).empty()) << c.what;
    if (c.cancel) {
      EXPECT_FALSE(countdownShownAfterCancel) << c.what;
    } else if (c.item != std::string("RemoteReboot1")) {
      EXPECT_EQ(endedWith, ui::ModalResult::Cancel) << c.what;
      EXPECT_LT(world().tickCount - start, 3100u) << c.what;
    }
  }
}

TEST_F(MainWindowTest, TheCloseQueryHasFourBranches) {
  struct Case {
    const char* what;
    bool actionInProgress;
    bool sysClose;
    bool showing;
    std::uint8_t confirmExit;
    std::vector<int> answers;
    bool closes;
    bool hidden;
    std::size_t questions;
  };
  const Case cases[] = {
      {"after the program's own action", true, true, true, 1, {}, true, false, 0},
      {"close box while shown", false, true, true, 1, {}, false, true, 0},
      {"close box while hidden falls through", false, true, false, 0, {}, true, false, 0},
      {"exit answered Yes", false, false, true, 1, {win::IdYes}, true, false, 1},
      {"exit answered No", false, false, true, 1, {win::IdNo}, false, false, 1},
      {"exit answered Cancel", false, false, true, 1, {win::IdCancel}, false, false, 1},
      {"exit without confirmation", false, false, true, 0, {}, true, false, 0},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    auto window = StartMainWindow();
    if (!c.showing) {
      window->Hide1Click();
    }
    AppSettings.ConfirmExit = c.confirmExit;
    ActionInProgress = c.actionInProgress;
    window->SysCloseRequested = c.sysClose;
    world().messageBoxAnswers.assign(c.answers.begin(), c.answers.end());
    const bool wasShowing = window->Showing();
    EXPECT_EQ(window->FormCloseQuery(), c.closes) << c.what;
    EXPECT_FALSE(ActionInProgress) << c.what;
    EXPECT_EQ(world().messageBoxes.size(), c.questions) << c.what;
    if (c.hidden) {
      EXPECT_TRUE(wasShowing && !window->Showing()) << c.what;
      EXPECT_FALSE(window->SysCloseRequested) << c.what;
    }
  }
}

TEST_F(MainWindowTest, TheCloseBoxHidesToTheTrayAndExitEnds) {
  auto window = StartMainWindow();
  SendMessage(*window, {ui::WmSysCommand, ui::ScClose, 0});
  EXPECT_FALSE(window->Showing());
  EXPECT_EQ(ui::MainForm(), window.get());
  // A system command that only looks like close does not count.
  window->Show1Click();
  SendMessage(*window, {ui::WmSysCommand, ui::ScClose | 0x2, 0});
  EXPECT_FALSE(window->SysCloseRequested);

  EXPECT_FALSE(ui::headless::ApplicationEnded());
  ui::headless::ClickMenuItem(window->PopupMenu1, "Exit2");
  EXPECT_TRUE(ui::headless::ApplicationEnded());
  EXPECT_TRUE(world().messageBoxes.empty());
}

TEST_F(MainWindowTest, EscHidesTheWindow) {
  auto window = StartMainWindow();
  ui::headless::PressKey(*window, ui::ShortcutEsc);
  EXPECT_FALSE(window->Showing());
}

TEST_F(MainWindowTest, TheTrayRecordIsAddedOnHidingAndDeletedOnShowing) {
  auto window = StartMainWindow();
  window->Hide1Click();
  window->Show1Click();
  const std::string id = std::to_string(window->native) + ", 1006, ";
  const std::string record = id + "7, 32868, icon, " + std::string(TrayTipText) + ")";
  const std::string size = std::to_string(win::NotifyIconDataV2Size) + ", ";
  EXPECT_EQ(TrayCalls(),
            (std::vector<std::string>{"Shell_NotifyIconA(0, " + size + record,
                                      "Shell_NotifyIconA(4, " + id + "4)",
                                      "Shell_NotifyIconA(1, " + size + id + "132, 0, no icon, " +
                                          std::string(TrayTipText) + ")",
                                      "Shell_NotifyIconA(2, " + size + record}));
  // Each call makes its icon and gives it back.
  EXPECT_EQ(fake::CallsNamed({"CreateTrayIcon"}).size(), 2u);
  EXPECT_EQ(fake::CallsNamed({"DestroyIcon"}).size(), 2u);
}

TEST_F(MainWindowTest, TheIconReportsInTheNewestVersionTheShellKnows) {
  struct Case {
    std::uint32_t major;
    std::uint32_t minor;
    std::vector<long> answers; // NIM_ADD, then each NIM_SETVERSION asked
    std::vector<std::uint32_t> asked;
    std::uint32_t version;
  };
  const Case cases[] = {
      {10, 0, {1, 1}, {4}, 4},
      {6, 0, {1, 0, 1}, {4, 3}, 3},
      {5, 1, {1, 1}, {3}, 3},
      {4, 0, {1, 0}, {3}, 0},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    fake::SetVersion(win::VerPlatformWin32Nt, c.major, c.minor);
    auto window = StartMainWindow();
    world().results["Shell_NotifyIconA"] = {c.answers.begin(), c.answers.end()};
    world().calls.clear();
    window->Hide1Click();
    std::vector<std::uint32_t> asked;
    for (const std::string& call : TrayCalls()) {
      if (call.rfind("Shell_NotifyIconA(4, ", 0) == 0) {
        asked.push_back(static_cast<std::uint32_t>(call[call.size() - 2] - '0'));
      }
    }
    EXPECT_EQ(asked, c.asked) << c.major << "." << c.minor;
    EXPECT_EQ(window->TrayVersion, c.version) << c.major << "." << c.minor;
  }
}

TEST_F(MainWindowTest, EachTrayMessageDoesItsOwnThingInEachVersion) {
  using Rect = platform::ScreenRect;
  using ui::MenuCorner;
  struct Case {
    std::uint32_t version;
    std::uint32_t event;
    ui::Point anchor; // version 4 only
    bool cursorReadable;
    std::optional<Rect> icon;
    win::ScreenEdge taskbar;
    bool shownAfter;
    std::optional<ui::headless::OpenedPopup> popup;
  };
  const Rect icon{1800, 1040, 1816, 1056};
  const auto Bottom = win::ScreenEdge::Bottom;
  const auto menu = [](int x, int y, MenuCorner corner) {
    return std::optional<ui::headless::OpenedPopup>({"PopupMenu1", {x, y}, corner});
  };
  const Case cases[] = {
      {0, ui::WmLButtonUp, {}, true, {}, Bottom, true, {}},
      {0, ui::WmRButtonUp, {}, true, {}, Bottom, false, menu(640, 700, MenuCorner::TopLeft)},
      {0, ui::WmRButtonUp, {}, false, {}, Bottom, true, {}},
      {0, ui::WmLButtonDown, {}, true, {}, Bottom, false, {}},
      {0, ui::WmRButtonDown, {}, true, {}, Bottom, false, {}},
      {0, ui::WmLButtonDblClk, {}, true, {}, Bottom, false, {}},
      {0, ui::WmMouseMove, {}, true, {}, Bottom, false, {}},
      {0, ui::WmMButtonUp, {}, true, {}, Bottom, false, {}},
      {4, ui::WmRButtonUp, {}, true, icon, Bottom, false, menu(640, 700, MenuCorner::TopLeft)},
      {4, ui::WmLButtonUp, {}, true, {}, Bottom, true, {}},
      {4, win::NinSelect, {}, true, {}, Bottom, true, {}},
      {4, win::NinKeySelect, {}, true, {}, Bottom, true, {}},
      {3, win::NinKeySelect, {}, true, {}, Bottom, true, {}},
      {4,
       ui::WmContextMenu,
       {},
       true,
       icon,
       Bottom,
       false,
       menu(1800, 1040, MenuCorner::BottomLeft)},
      {4,
       ui::WmContextMenu,
       {},
       true,
       icon,
       win::ScreenEdge::Top,
       false,
       menu(1800, 1056, MenuCorner::TopLeft)},
      {4,
       ui::WmContextMenu,
       {},
       true,
       icon,
       win::ScreenEdge::Left,
       false,
       menu(1816, 1040, MenuCorner::TopLeft)},
      {4,
       ui::WmContextMenu,
       {},
       true,
       icon,
       win::ScreenEdge::Right,
       false,
       menu(1800, 1040, MenuCorner::TopRight)},
      {4,
       ui::WmContextMenu,
       {1808, 1048},
       true,
       {},
       Bottom,
       false,
       menu(1808, 1048, MenuCorner::BottomLeft)},
      {3, ui::WmContextMenu, {}, true, {}, Bottom, false, menu(640, 700, MenuCorner::TopLeft)},
      {3, ui::WmContextMenu, {}, false, {}, Bottom, true, {}},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    world().trayIconRect = c.icon;
    world().taskbarEdge = c.taskbar;
    auto window = StartMainWindow();
    window->Hide1Click();
    window->TrayVersion = c.version;
    ui::headless::SetCursor(c.cursorReadable ? std::optional<ui::Point>(ui::Point{640, 700})
                                             : std::nullopt);
    world().calls.clear();
    // Version 4 sends the anchor point and the icon's id beside the event.
    const bool four = c.version == 4;
    const std::uintptr_t wParam = four ? static_cast<std::uintptr_t>(c.anchor.x) |
                                             static_cast<std::uintptr_t>(c.anchor.y) << 16
                                       : TrayIconId;
    const auto lParam = static_cast<std::intptr_t>(c.event | (four ? TrayIconId << 16 : 0));
    SendMessage(*window, {WM_TRAYNOTIFY, wParam, lParam});
    const std::string what = std::to_string(c.version) + "/" + std::to_string(c.event);
    EXPECT_EQ(window->Showing(), c.shownAfter) << what;
    const auto& popups = ui::headless::OpenedPopups();
    ASSERT_EQ(popups.size(), c.popup ? 1u : 0u) << what;
    std::vector<std::string> expectedTray;
    if (c.shownAfter) {
      expectedTray.push_back("Shell_NotifyIconA(2, ");
    }
    if (c.popup) {
      EXPECT_EQ(popups[0].position.x, c.popup->position.x) << what;
      EXPECT_EQ(popups[0].position.y, c.popup->position.y) << what;
      EXPECT_EQ(popups[0].corner, c.popup->corner) << what;
      EXPECT_EQ(fake::CallsNamed({"SetForegroundWindow"}).size(), 1u) << what;
      // Closed without a choice, the menu gives the keyboard back to the notification area.
      expectedTray.push_back("Shell_NotifyIconA(3, ");
    }
    std::vector<std::string> tray;
    for (const std::string& call : TrayCalls()) {
      tray.push_back(call.substr(0, 21));
    }
    EXPECT_EQ(tray, expectedTray) << what;
  }
}

TEST_F(MainWindowTest, AChoiceInTheTrayMenuKeepsTheFocusWhereItTakesIt) {
  auto window = StartMainWindow();
  window->Hide1Click();
  world().calls.clear();
  ui::headless::OnNextPopup([](ui::Menu&) { return std::string("Show1"); });
  SendMessage(*window,
              {WM_TRAYNOTIFY, 0, static_cast<std::intptr_t>(ui::WmContextMenu | TrayIconId << 16)});
  EXPECT_TRUE(window->Showing());
  EXPECT_TRUE(fake::CallsNamed({"Shell_NotifyIconA"}).size() == 1u) << "NIM_DELETE alone";
}

TEST_F(MainWindowTest, AnExplorerRestartBringsTheIconOfAHiddenWindowBack) {
  auto window = StartMainWindow();
  const std::uint32_t taskbarCreated = ui::RegisterWindowMessage(TaskbarCreatedMessageName);
  SendMessage(*window, {taskbarCreated, 0, 0});
  EXPECT_TRUE(TrayCalls().empty()) << "no icon while the window is shown";
  window->Hide1Click();
  world().calls.clear();
  SendMessage(*window, {taskbarCreated, 0, 0});
  ASSERT_FALSE(TrayCalls().empty());
  EXPECT_EQ(TrayCalls()[0].substr(0, 21), "Shell_NotifyIconA(0, ");
}

TEST_F(MainWindowTest, StartInTrayHidesAtTheFirstPaintOnly) {
  Settings stored;
  SetDefaultSettings(stored);
  stored.StartInTray = 1;
  StoreSettings(stored);
  auto window = StartMainWindow();
  EXPECT_FALSE(window->Showing());
  EXPECT_FALSE(window->FirstPaint);
  window->Show1Click();
  window->PaintedFromSystem();
  EXPECT_TRUE(window->Showing());
}

TEST_F(MainWindowTest, EveryActionEntryGivesTheSameCall) {
  struct Case {
    const char* menuItem;
    const char* toolButton;
    const char* trayItem;
    const char* call;
  };
  const Case cases[] = {
      {"ShutDown1", "TBShutdown", "Shutdown2", "ExitWindowsEx(8, 0)"},
      {"Reboot1", "TBReboot", "Reboot2", "ExitWindowsEx(2, 0)"},
      {"LogOff1", "TBLogOff", "Logoff2", "ExitWindowsEx(0, 0)"},
      {"Standby1", "TBStandby", "Standby2", "SetSystemPowerState(1, 0)"},
      {"Hibernate1", "TBHibernate", "Hibernate2", "SetSystemPowerState(0, 0)"},
      {"LockWorkstation1", "TBLock", "lock1", "LockWorkStation()"},
  };
  auto window = StartMainWindow();
  AppSettings.ShowWarning = 0;
  for (const Case& c : cases) {
    world().calls.clear();
    ClickMenuItem(window->MainMenu1, c.menuItem);
    ui::headless::ClickToolButton(window->ToolBar1, c.toolButton);
    ClickMenuItem(window->PopupMenu1, c.trayItem);
    EXPECT_EQ(fake::CallsNamed({"ExitWindowsEx", "SetSystemPowerState", "LockWorkStation"}),
              (std::vector<std::string>(3, c.call)));
  }
}

TEST_F(MainWindowTest, MenusCarryTheirShortcutsAndHelpContext) {
  auto window = StartMainWindow();
  struct Case {
    const char* item;
    ui::Shortcut shortcut;
  };
  const Case cases[] = {{"Hide1", 0x1B},          {"Exit1", 0x8073},     {"Preferences1", 0x404F},
                        {"AutoLogon2", 0x404C},   {"Index1", 0x70},      {"About1", 0x4041},
                        {"Preferences2", 0x404F}, {"AutoLogon1", 0x404C}};
  for (const Case& c : cases) {
    ui::MenuItem* item = window->MainMenu1.Find(c.item);
    if (item == nullptr) {
      item = window->PopupMenu1.Find(c.item);
    }
    ASSERT_NE(item, nullptr) << c.item;
    EXPECT_EQ(item->ItemShortcut(), c.shortcut) << c.item;
  }
  std::function<void(ui::MenuItem&)> expectContext = [&](ui::MenuItem& item) {
    EXPECT_EQ(item.HelpContext(), 10) << item.Name();
    for (const auto& child : item.Items()) {
      expectContext(*child);
    }
  };
  expectContext(window->MainMenu1);
  expectContext(window->PopupMenu1);
  EXPECT_EQ(window->HelpContext(), 10);
}

TEST_F(MainWindowTest, CreationAndDestructionTouchWindowsInOrder) {
  world().version.major = 10;
  auto window = StartMainWindow();
  const std::vector<std::string> watched = {"OpenFileForReading", "RegSetValueExA", "CreateNewFile",
                                            "MoveFileReplacing", "Shell_NotifyIconA"};
  const std::string exe = world().modulePath;
  const std::string dat = SettingsPath;
  const std::string run = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_EQ(
      fake::CallsNamed(watched),
      (std::vector<std::string>{"OpenFileForReading(" + dat + ")",
                                "RegSetValueExA(" + run + ", DorvaneShutdown, 1, " + exe + ")"}));
  ASSERT_NE(ui::headless::FindForm("TFMain"), nullptr);
  EXPECT_EQ(ui::headless::FindForm("TFWaitNotice"), nullptr) << "the notice is closed";
  world().calls.clear();
  window.reset();
  const auto calls = fake::CallsNamed(watched);
  // The settings first: at the session's end the process may be ended at any later step.
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0], "CreateNewFile(" + dat + SettingsTempSuffix + ", inherited)");
  EXPECT_EQ(calls[1], "MoveFileReplacing(" + dat + SettingsTempSuffix + ", " + dat + ")");
  EXPECT_EQ(calls[2].substr(0, 20), "Shell_NotifyIconA(2,");
  EXPECT_EQ(calls[3], "RegSetValueExA(" + run + ", DorvaneShutdown, 1, " + exe + ")");
}

TEST_F(MainWindowTest, MinimisingOnlyMinimises) {
  auto window = StartMainWindow();
  SendMessage(*window, {ui::WmSysCommand, ui::ScMinimize, 0});
  EXPECT_TRUE(TrayCalls().empty());
  EXPECT_FALSE(window->SysCloseRequested);
}

TEST_F(MainWindowTest, ASecondInstanceShowsTheMessageAndEndsWithZero) {
  world().mutexes.insert(InstanceMutexName);
  EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", "shutdown"}), 0);
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, AlreadyRunningText);
  EXPECT_EQ(world().messageBoxes[0].style, win::MbIconInformation);
  EXPECT_TRUE(ui::headless::OpenForms().empty());
  EXPECT_TRUE(fake::CallsNamed({"ExitWindowsEx", "OpenFileForReading"}).empty());
  EXPECT_EQ(fake::CallsNamed({"SetErrorMode"}), std::vector<std::string>{"SetErrorMode(6)"});
}

TEST_F(MainWindowTest, AFirstInstanceRunsAndReleasesItsMutex) {
  AppSettings.ShowWarning = 0;
  EXPECT_EQ(RunProgram({"DorvaneShutdown.exe"}), 0);
  EXPECT_EQ(fake::CallsNamed({"CreateMutexA", "ReleaseMutex"}).size(), 2u);
  EXPECT_TRUE(ui::headless::OpenForms().empty());
  // Whatever the program does first may already load a DLL.
  ASSERT_FALSE(world().calls.empty());
  EXPECT_EQ(world().calls.front(), "KeepDllSearchInSystemFolder()");
}

} // namespace
