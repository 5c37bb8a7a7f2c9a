#pragma once
// The main window: the menus, toolbar and panel that start every action, the tray icon that
// stands for the window while it is hidden, and the program's start and end steps.

#include "app/command_line.h"
#include "ui/form.h"

#include <cstdint>
#include <string>
#include <vector>

// The message the tray icon sends its clicks with.
inline constexpr std::uint32_t WM_TRAYNOTIFY = ui::WmApp + 100;
inline constexpr std::uint32_t TrayIconId = 1006;
// The message Ctrl+C, Ctrl+Break and the closing of the starting console arrive as.
inline constexpr std::uint32_t WM_CONSOLECANCEL = ui::WmApp + 101;

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

  // Saves the settings file. A failed save is told once a run, with the system's text, and not
  // at all while the session ends.
  void SaveAppSettings();
  bool SaveFailureReported = false;

  void Index1Click();
  void ProgramHomePage1Click();
  void About1Click();

  void RemoteReboot1Click();
  void AbortRemoteShutdown1Click();
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
  void DomainShutdown2Click() { DomainShutdown1Click(); }
  void Exit2Click() { Close(); }

  // The daily action.
  void SyncTimerControls();
  void CBActiveClick();
  void DateTimePicker1Change();
  void Timer1Timer();

  // Tray icon: NIM_ADD or NIM_DELETE.
  bool SetTrayIcon(std::uint32_t message);
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
  void BuildMenus();
  void BuildToolBar();
  bool MayClose();

  std::vector<std::string> arguments_;
};
