#pragma once
// The main window: the menus, toolbar and panel that start every action, the tray icon that
// stands for the window while it is hidden, and the program's start and end steps.

#include "app/command_line.h"
#include "platform/shell.h"
#include "ui/application.h"
#include "ui/form.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The message the tray icon sends its clicks with.
inline constexpr std::uint32_t WM_TRAYNOTIFY = ui::WmApp + 100;
inline constexpr std::uint32_t TrayIconId = 1006;
// The message Ctrl+C, Ctrl+Break and the closing of the starting console arrive as.
inline constexpr std::uint32_t WM_CONSOLECANCEL = ui::WmApp + 101;

// Where the tray menu opens: at the icon's rectangle where the shell tells it, else at the
// anchor point version 4 of the icon sends, with the corner that keeps it off the taskbar's
// edge; not found without either.
struct TrayMenuPlace {
  bool found = false;
  ui::Point point;
  ui::MenuCorner corner = ui::MenuCorner::TopLeft;
};
TrayMenuPlace TrayMenuPlaceFor(const std::optional<platform::ScreenRect>& icon,
                               std::optional<ui::Point> anchor, win::ScreenEdge taskbar);

class TFMain : public ui::Form {
public:
  explicit TFMain(std::vector<std::string> arguments);
  ~TFMain() override { Destroy(); }

  ui::Menu MainMenu1{"MainMenu1"};
  ui::Menu PopupMenu1{"PopupMenu1"};
  ui::Panel Panel2;
  ui::ToolBar ToolBar1;
  ui::CheckBox CBActive;
  ui::GroupBox GBTimer;
  ui::DateTimePicker DateTimePicker1;
  ui::SpeedButton SBPreferences;
  ui::SpeedButton SBAutoLogon;
  ui::StatusBar StatusBar1;
  ui::Timer Timer1;

  bool SysCloseRequested = false;
  bool FirstPaint = true;
  bool TimerLatch = false;
  // The command line acts at the first activation only; Windows activates the window again
  // whenever a window above it goes away, such as the exit question or the countdown.
  bool CommandLineDone = false;
  // Once a close request was granted, the ones that follow are too, without a second question.
  bool ExitGranted = false;
  // Exit was granted while a domain action still ran: the window closes once it has ended.
  bool CloseWhenActionEnds = false;
  void CloseIfActionEnded();
  std::uintptr_t HelpCookie = 0;
  // What the process ends with: the Windows error code of a keyword's request for a computer,
  // or ERROR_CANCELLED when the starting console gave the run up.
  int ExitCode = 0;

  void FormCreate();
  void FormActivate();
  void FormPaint();
  bool FormCloseQuery();
  void FormDestroy();

  void Hide1Click();
  void Exit1Click() { Close(); }
  void ShutDown1Click();
  void Reboot1Click();
  void LogOff1Click();
  void Standby1Click();
  void Hibernate1Click();
  void LockWorkstation1Click();

  void Preferences1Click();
  void SBPreferencesClick() { Preferences1Click(); }
  void Preferences2Click() { Preferences1Click(); }
  void SBAutoLogonClick();
  void AutoLogon2Click() { SBAutoLogonClick(); }
  void AutoLogon1Click() { SBAutoLogonClick(); }
  void UpdateAutoLogonButton();
  // The AutoLogon dialog in an elevated copy of the program, waited for while this window keeps
  // answering; a click meanwhile starts no second copy.
  void RunElevatedAutoLogon();
  bool AutoLogonCopyRunning = false;

  // Saves the settings file. A file that could not be read at start-up is saved over only on
  // the user's OK in Preferences, and its old content is first kept in a copy. A failed save is
  // told once a run, with the system's text, and not at all while the session ends; a run
  // started with a keyword never waits on it: it writes it to the script's console, or leaves
  // it for the next start from the desktop to tell.
  void SaveAppSettings(bool confirmedByUser = false);
  bool SaveFailureReported = false;
  // The settings file is there but could not be read: the run uses the defaults and neither the
  // exit nor the Run value touch what the user set before.
  bool SettingsFileKept = false;
  // Tells once that the settings file could not be read.
  void TellSettingsKept(std::uint32_t reason);
  // Tells what a run started with a keyword could not save, once.
  void TellKeywordRunSaveFailure();

  void Index1Click();
  void ProgramHomePage1Click();
  void About1Click();

  void RemoteReboot1Click();
  void AbortRemoteShutdown1Click();
  void AbortDomainShutdown1Click();
  void DomainShutdown1Click();

  void TBShutdownClick() { ShutDown1Click(); }
  void TBRebootClick() { Reboot1Click(); }
  void TBLogOffClick() { LogOff1Click(); }
  void TBStandbyClick() { Standby1Click(); }
  void TBHibernateClick() { Hibernate1Click(); }
  void TBLockClick() { LockWorkstation1Click(); }
  void TBRemoteClick() { RemoteReboot1Click(); }
  void TBDomainClick() { DomainShutdown1Click(); }

  void Show1Click();
  void Shutdown2Click() { ShutDown1Click(); }
  void Reboot2Click() { Reboot1Click(); }
  void Logoff2Click() { LogOff1Click(); }
  void Standby2Click() { Standby1Click(); }
  void Hibernate2Click() { Hibernate1Click(); }
  void lock1Click() { LockWorkstation1Click(); }
  void RemoteShutdown2Click() { RemoteReboot1Click(); }
  void AbortRemoteShutdown2Click() { AbortRemoteShutdown1Click(); }
  void AbortDomainShutdown2Click() { AbortDomainShutdown1Click(); }
  void DomainShutdown2Click() { DomainShutdown1Click(); }
  void Exit2Click() { Close(); }

  // The daily action.
  void SyncTimerControls();
  void CBActiveClick();
  void DateTimePicker1Change();
  void Timer1Timer();

  // Tray icon: NIM_ADD or NIM_DELETE. An added icon reports in the newest version the shell
  // knows (TrayVersion).
  bool SetTrayIcon(std::uint32_t message);
  void ChooseTrayVersion();
  std::uint32_t TrayVersion = 0;
  bool TrayMenuOpen = false;
  void OpenTrayMenu(ui::Point point, ui::MenuCorner corner);
  void WMSysCommand(const ui::Message& message);
  void WMTrayNotify(const ui::Message& message);
  void WMConsoleCancel(const ui::Message& message);

private:
  // A keyword that names a computer: its request, the result on the script's console or in the
  // usual box, and the Windows error code for the exit code.
  int RunRemoteKeyword(const RemoteKeyword& keyword);
  // A domain keyword: the action, its result on the script's console or in the result window,
  // and the first failure's Windows error code for the exit code.
  int RunDomainKeyword(std::uint32_t code);
  // The domainabort keyword: the withdrawal, its result on the script's console or in the result
  // window, and the first failure's Windows error code for the exit code.
  int RunDomainAbortKeyword();
  void BuildMenus();
  void BuildToolBar();
  bool MayClose();
  void ReportSaveFailure(std::uint32_t reason);

  std::vector<std::string> arguments_;
};
