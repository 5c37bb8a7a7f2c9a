#include "app/main_window.h"

#include "actions/countdown.h"
#include "actions/dispatcher.h"
#include "actions/domain_abort.h"
#include "actions/domain_action.h"
#include "app/command_line.h"
#include "app/program.h"
#include "app/wait_notice.h"
#include "common/texts.h"
#include "common/web_config.h"
#include "platform/help.h"
#include "platform/kernel.h"
#include "platform/winconst.h"
#include "settings/run_at_startup.h"
#include "settings/settings_file.h"
#include "ui/application.h"
#include "web/help.h"
#include "web/update_check.h"

namespace {

constexpr int MainHelpContext = 10;
constexpr std::uint32_t TimerInterval = 1000;
constexpr int ToolButtonWidth = 55;
constexpr int ToolButtonHeight = 44;
constexpr int AutoLogonGlyphSpacing = 10;
constexpr int StatusHelpPanelWidth = 100;
constexpr int StatusSecondPanelWidth = 350;
constexpr int UpdateIntervalDays = 2;

// A keyword for this computer: cancelled when the countdown was, else Windows' answer.
win::ErrorCode RunLocalKeyword(std::uint32_t code) {
  bool wentAhead = false;
  const int result = RunAction(code, AppSettings, [&wentAhead](Settings&) { wentAhead = true; });
  if (!wentAhead) {
    return win::ErrorCancelled;
  }
  return result != 0 ? win::ErrorSuccess : platform::GetLastError();
}

} // namespace

TFMain::TFMain(std::vector<std::string> arguments)
    : ui::Form({.name = "TFMain",
                .caption = MessageCaption,
                .clientWidth = 459,
                .clientHeight = 129,
                .border = ui::BorderStyle::Single,
                .systemMenu = true,
                .minimizeBox = true,
                .windowClass = MainWindowClassName}),
      Panel2(this, "Panel2", {0, 0, 459, 129}),
      ToolBar1(this, "ToolBar1", ui::ImageId::ToolbarImages, ToolButtonWidth, ToolButtonHeight),
      CBActive(&Panel2, "CBActive", {12, 56, 89, 17}),
      GBTimer(&Panel2, "GBTimer", {4, 56, 129, 49}),
      DateTimePicker1(&GBTimer, "DateTimePicker1", {16, 20, 89, 21}),
      SBPreferences(&Panel2, "SBPreferences", {136, 60, 125, 45}, ui::ImageId::OptionsGlyph),
      SBAutoLogon(&Panel2, "SBAutoLogon", {268, 60, 189, 45}, ui::ImageId::AutoLogonGlyph,
                  AutoLogonGlyphSpacing),
      StatusBar1(this, "StatusBar1",
                 {{StatusHelpPanelWidth, StatusHelpText}, {StatusSecondPanelWidth, ""}}),
      Timer1(*this, TimerInterval), arguments_(std::move(arguments)) {
  CBActive.SetText(TimerCheckCaption);
  SBPreferences.SetText(OptionsButtonCaption);
  SBPreferences.SetHint(OptionsButtonHint);
  SBAutoLogon.SetText(AutoLogonButtonDesignCaption);
  SBAutoLogon.SetHint(AutoLogonButtonHint);
  // The check box that names the picker lies outside the picker's group box.
  DateTimePicker1.SetAccessibleName(TimerCheckCaption);
  BuildMenus();
  BuildToolBar();
  SetMainMenu(&MainMenu1);
  CBActive.OnClick = [this] { CBActiveClick(); };
  SBPreferences.OnClick = [this] { SBPreferencesClick(); };
  SBAutoLogon.OnClick = [this] { SBAutoLogonClick(); };
  DateTimePicker1.OnChange = [this] { DateTimePicker1Change(); };
  Timer1.OnTimer = [this] { Timer1Timer(); };

  OnActivate = [this] { FormActivate(); };
  OnPaint = [this] { FormPaint(); };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  OnDestroy = [this] { FormDestroy(); };
  HookMessage(ui::WmSysCommand, [this](const ui::Message& m) { WMSysCommand(m); });
  HookMessage(WM_TRAYNOTIFY, [this](const ui::Message& m) { WMTrayNotify(m); });
  HookMessage(WM_CONSOLECANCEL, [this](const ui::Message& m) { WMConsoleCancel(m); });
  // When Explorer starts again the tray is empty: a hidden window must get its icon back, or
  // the program could no longer be reached.
  HookMessage(ui::RegisterWindowMessage(TaskbarCreatedMessageName), [this](const ui::Message&) {
    if (!Showing()) {
      SetTrayIcon(win::NimAdd);
    }
  });

  // Without its windows the program can't go on: the start steps would only change settings
  // and the Run value for a window nobody sees.
  if (Realize()) {
    FormCreate();
  }
}

void TFMain::BuildMenus() {
  ui::MenuItem& file = MainMenu1.Add("File1", FileMenuCaption);
  file.Add(
      "Hide1", TrayItemCaption, [this] { Hide1Click(); }, ui::ShortcutEsc);
  file.Add("N6", SeparatorCaption);
  file.Add(
      "Exit1", ExitItemCaption, [this] { Exit1Click(); }, ui::ShortcutAltF4);

  ui::MenuItem& action = MainMenu1.Add("Action1", ActionMenuCaption);
  action.Add("ShutDown1", ShutDownItemCaption, [this] { ShutDown1Click(); });
  action.Add("Reboot1", RebootItemCaption, [this] { Reboot1Click(); });
  action.Add("LogOff1", LogOffItemCaption, [this] { LogOff1Click(); });
  action.Add("Standby1", StandbyItemCaption, [this] { Standby1Click(); });
  action.Add("Hibernate1", HibernateItemCaption, [this] { Hibernate1Click(); });
  action.Add("LockWorkstation1", LockItemCaption, [this] { LockWorkstation1Click(); });
  action.Add("N1", SeparatorCaption);
  action.Add("RemoteReboot1", RemoteItemCaption, [this] { RemoteReboot1Click(); });
  action.Add("AbortRemoteShutdown1", AbortRemoteItemCaption,
             [this] { AbortRemoteShutdown1Click(); });
  action.Add("DomainShutdown1", DomainItemCaption, [this] { DomainShutdown1Click(); });
  // Only while the last domain action's warning still counts down on the computers it asked.
  action
      .Add("AbortDomainShutdown1", AbortDomainItemCaption, [this] { AbortDomainShutdown1Click(); })
      .EnabledWhen = DomainAbortOffered;

  ui::MenuItem& options = MainMenu1.Add("Options1", OptionsMenuCaption);
  options.Add(
      "Preferences1", PreferencesItemCaption, [this] { Preferences1Click(); }, ui::ShortcutCtrlO);
  options.Add(
      "AutoLogon2", AutoLogonItemCaption, [this] { AutoLogon2Click(); }, ui::ShortcutCtrlL);

  ui::MenuItem& help = MainMenu1.Add("Help1", HelpMenuCaption);
  help.Add(
      "Index1", IndexItemCaption, [this] { Index1Click(); }, ui::ShortcutF1);
  help.Add("ProgramHomePage1", HomePageItemCaption, [this] { ProgramHomePage1Click(); });
  help.Add("N2", SeparatorCaption);
  help.Add(
      "About1", AboutItemCaption, [this] { About1Click(); }, ui::ShortcutCtrlA);

  PopupMenu1.Add("Show1", ShowItemCaption, [this] { Show1Click(); });
  PopupMenu1.Add("N3", SeparatorCaption);
  PopupMenu1.Add(
      "Preferences2", PreferencesItemCaption, [this] { Preferences2Click(); }, ui::ShortcutCtrlO);
  PopupMenu1.Add(
      "AutoLogon1", AutoLogonItemCaption, [this] { AutoLogon1Click(); }, ui::ShortcutCtrlL);
  PopupMenu1.Add("N5", SeparatorCaption);
  PopupMenu1.Add("Shutdown2", TrayShutdownCaption, [this] { Shutdown2Click(); });
  PopupMenu1.Add("Reboot2", RebootItemCaption, [this] { Reboot2Click(); });
  PopupMenu1.Add("Logoff2", LogOffItemCaption, [this] { Logoff2Click(); });
  PopupMenu1.Add("Standby2", TrayStandbyCaption, [this] { Standby2Click(); });
  PopupMenu1.Add("Hibernate2", TrayHibernateCaption, [this] { Hibernate2Click(); });
  PopupMenu1.Add("lock1", TrayLockCaption, [this] { lock1Click(); });
  PopupMenu1.Add("RemoteShutdown2", RemoteItemCaption, [this] { RemoteShutdown2Click(); });
  PopupMenu1.Add("AbortRemoteShutdown2", AbortRemoteItemCaption,
                 [this] { AbortRemoteShutdown2Click(); });
  PopupMenu1.Add("DomainShutdown2", DomainItemCaption, [this] { DomainShutdown2Click(); });
  PopupMenu1
      .Add("AbortDomainShutdown2", AbortDomainItemCaption, [this] { AbortDomainShutdown2Click(); })
      .EnabledWhen = DomainAbortOffered;
  PopupMenu1.Add("N4", SeparatorCaption);
  PopupMenu1.Add("Exit2", ExitItemCaption, [this] { Exit2Click(); });
}

void TFMain::BuildToolBar() {
  ToolBar1.AddButton(
      {"TBShutdown", ShutdownButtonCaption, ShutdownButtonHint, 0, [this] { TBShutdownClick(); }});
  ToolBar1.AddButton(
      {"TBReboot", RebootButtonCaption, RebootButtonHint, 1, [this] { TBRebootClick(); }});
  ToolBar1.AddButton(
      {"TBLogOff", LogOffButtonCaption, LogOffButtonHint, 2, [this] { TBLogOffClick(); }});
  ToolBar1.AddButton(
      {"TBStandby", StandbyButtonCaption, StandbyButtonHint, 3, [this] { TBStandbyClick(); }});
  ToolBar1.AddButton({"TBHibernate", HibernateButtonCaption, HibernateButtonHint, 4,
                      [this] { TBHibernateClick(); }});
  ToolBar1.AddButton({"TBLock", LockButtonCaption, LockButtonHint, 5, [this] { TBLockClick(); }});
  ToolBar1.AddButton(
      {"TBRemote", RemoteButtonCaption, RemoteButtonHint, 6, [this] { TBRemoteClick(); }});
  ToolBar1.AddButton(
      {"TBDomain", DomainButtonCaption, DomainButtonHint, 7, [this] { TBDomainClick(); }});
}

void TFMain::FormCreate() {
  SysCloseRequested = false;
  ActionInProgress = false;
  FirstPaint = true;

  ui::SetHelpFile(PathNextToProgram(HelpFileName));
  ui::SetHelpHandler([](std::uint16_t command, std::uintptr_t data) {
    bool callHelp = true;
    return AppHelp(command, static_cast<std::intptr_t>(data), callHelp);
  });
  SetHelpContext(MainHelpContext);
  ui::SetHelpContextDeep(MainMenu1, MainHelpContext);
  ui::SetHelpContextDeep(PopupMenu1, MainHelpContext);
  HelpCookie = 0;
  platform::HtmlHelpA(win::NoHandle, nullptr, win::HhInitialize,
                      reinterpret_cast<std::uintptr_t>(&HelpCookie));

  SetDefaultSettings(AppSettings);
  SettingsFilePath = PathNextToProgram(SettingsFileName);
  const SettingsLoad loaded = LoadSettings(AppSettings, SettingsHeader, SettingsFilePath.c_str());
  SettingsFileKept = loaded == SettingsLoad::Unreadable;
  if (SettingsFileKept) {
    // The defaults' "run at start-up" may not be what the user chose.
    TellSettingsKept(platform::GetLastError());
  } else {
    ApplyRunAtStartup(AppSettings.RunAtStartup != 0, RunValueName);
  }
  if (!NamesKeyword(arguments_)) {
    TellKeywordRunSaveFailure();
  }

  TimerLatch = false;
  Timer1.SetEnabled(true);
  SyncTimerControls();
  UpdateAutoLogonButton();

  SetText(MessageCaption);
  ShowWaitNotice(MessageCaption, StartupNoticeText);
  CheckForUpdate(VersionInfoUrl, CurrentVersionText, MessageCaption, UpdateQuestionText,
                 HomePageUrl, AppSettings.LastCheckDay, UpdateIntervalDays);
  CloseWaitNotice();
}

void TFMain::FormActivate() {
  if (CommandLineDone) {
    return;
  }
  CommandLineDone = true;
  const RemoteKeyword remote = CommandLineRemote(arguments_);
  if (remote.command != RemoteCommand::None) {
    ExitCode = remote.command == RemoteCommand::DomainAbort ? RunDomainAbortKeyword()
                                                            : RunRemoteKeyword(remote);
    // A script waits on no exit question.
    ExitGranted = true;
    Close();
    return;
  }
  const std::uint32_t code = CommandLineAction(arguments_);
  if (code == 0) {
    return;
  }
  if (code == ActionDomainShutdown || code == ActionDomainReboot) {
    ExitCode = RunDomainKeyword(code);
  } else {
    ExitCode = static_cast<int>(RunLocalKeyword(code));
  }
  Close();
}

void TFMain::FormPaint() {
  if (!FirstPaint) {
    return;
  }
  FirstPaint = false;
  if (AppSettings.StartInTray != 0) {
    Hide1Click();
  }
}

bool TFMain::FormCloseQuery() {
  if (DomainActionRunning() && !ui::SessionEnding()) {
    // The window's end must wait for the requests in flight, which end by themselves; a close
    // box still hides it to the tray.
    if (!ExitGranted && Showing() && SysCloseRequested) {
      SysCloseRequested = false;
      Hide1Click();
      return false;
    }
    if (ExitGranted || ui::ShowMessageBox(this, StopDomainActionQuestion, MessageCaption,
                                          win::MbYesNo | win::MbIconQuestion) == win::IdYes) {
      ExitGranted = true;
      CloseWhenActionEnds = true;
      EndDomainActionForExit();
      // The requests in flight may outlast the few seconds a closed console leaves the process.
      SaveAppSettings();
    }
    return false;
  }
  if (!ExitGranted && !MayClose()) {
    return false;
  }
  ExitGranted = true;
  // An exit during the countdown drops its action, as its Cancel does.
  CancelWarningCountdown();
  return true;
}

bool TFMain::MayClose() {
  // Windows ends the session: nothing holds it up, no question is asked.
  if (ui::SessionEnding()) {
    return true;
  }
  if (ActionInProgress) {
    // The session is ending because of the program's own action: no question, no hiding.
    ActionInProgress = false;
    return true;
  }
  if (Showing() && SysCloseRequested) {
    SysCloseRequested = false;
    Hide1Click();
    return false;
  }
  if (AppSettings.ConfirmExit != 0) {
    const int answer = ui::ShowMessageBox(this, ExitQuestionText, MessageCaption,
                                          win::MbYesNoCancel | win::MbIconInformation);
    // Unanswered in a run that a script started: the program ends as its command line asked,
    // rather than keep the single-instance lock from the script's next run.
    return answer == win::IdYes || answer == win::IdTimedOut;
  }
  return true;
}

void TFMain::FormDestroy() {
  // First, as at the session's end Windows may end the process while the steps after it wait
  // on other programs.
  SaveAppSettings();
  platform::HtmlHelpA(win::NoHandle, nullptr, win::HhUninitialize, HelpCookie);
  SetTrayIcon(win::NimDelete);
  if (!SettingsFileKept) {
    ApplyRunAtStartup(AppSettings.RunAtStartup != 0, RunValueName);
  }
}

void TFMain::WMConsoleCancel(const ui::Message&) {
  // The script gave the run up: what waits is cancelled and the program ends at once, without
  // a question, through its end steps.
  ExitCode = static_cast<int>(win::ErrorCancelled);
  CancelWarningCountdown();
  ExitGranted = true;
  Close();
}

void TFMain::ShutDown1Click() {
  RunAction(ActionShutdown, AppSettings);
}
void TFMain::Reboot1Click() {
  RunAction(ActionReboot, AppSettings);
}
void TFMain::LogOff1Click() {
  RunAction(ActionLogOff, AppSettings);
}
void TFMain::Standby1Click() {
  RunAction(ActionStandby, AppSettings);
}
void TFMain::Hibernate1Click() {
  RunAction(ActionHibernate, AppSettings);
}
void TFMain::LockWorkstation1Click() {
  RunAction(ActionLock, AppSettings);
}
