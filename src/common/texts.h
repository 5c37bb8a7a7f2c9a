#pragma once
// Every fixed text of the program: titles, file and registry names, messages.

#include "common/version.h"

// Program title: application title, main window caption, caption of every message box.
inline constexpr char MessageCaption[] = "Dorvane Shutdown";

inline constexpr char ProgramFileName[] = "DorvaneShutdown.exe";
inline constexpr char SettingsFileName[] = "DorvaneShutdown.dat";
// Shown once a run when the settings file could not be saved; takes its path and the system's
// text of the reason.
inline constexpr char SaveFailedFormat[] = "Your settings could not be saved to\n%s\n\n%s";
// Shown by the next start from the desktop when a run started with a keyword, without a console
// to write to, could not save; takes the path and the system's text of the reason.
inline constexpr char KeywordRunSaveFailedFormat[] =
    "A run started with a keyword could not save your settings to\n%s\n\n%s";
// Where that run leaves the reason (a DWORD) for the next start, which removes it.
inline constexpr char NoticeKey[] = "HKCU\\Software\\Dorvane Shutdown";
inline constexpr char KeywordRunSaveFailedValue[] = "KeywordRunSaveFailed";
// Shown once at start when the settings file is there but could not be read; takes its path and
// the system's text of the reason.
inline constexpr char SettingsUnreadableFormat[] =
    "Your settings could not be read from\n%s\n\n%s\nThis run uses the default settings and "
    "leaves the file as it is. OK in Preferences saves the settings over it and first keeps the "
    "file as DorvaneShutdown.dat.bak.";
// Written while saving, then moved over the settings file in one step.
inline constexpr char SettingsTempSuffix[] = ".new";
// A settings file that could not be read is kept under its name with this added before the first
// save replaces it.
inline constexpr char SettingsBackupSuffix[] = ".bak";
// First bytes of the settings file; identifies it. Never empty, never holds a NUL.
inline constexpr char SettingsHeader[] = "Dorvane Shutdown settings";

// The generic credential of the user's credential store that keeps the remote connection's
// password.
inline constexpr char RemoteCredentialTarget[] = "Dorvane Shutdown/remote connection";
// Where Windows keeps the machine's ANSI code page, in which files of earlier versions hold their
// texts.
inline constexpr char AnsiCodePageKey[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
inline constexpr char AnsiCodePageValue[] = "ACP";

// Registry: the start-up registration and the sound-event key removed at start.
inline constexpr char RunValueName[] = "DorvaneShutdown";
inline constexpr char UserRunKey[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char MachineRunKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char SelectSoundKey[] =
    "HKCU\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.Current";

// Privileges and run-time entry points.
inline constexpr char ShutdownPrivilegeName[] = "SeShutdownPrivilege";
inline constexpr char RemoteShutdownPrivilegeName[] = "SeRemoteShutdownPrivilege";
inline constexpr char User32LibraryName[] = "user32.dll";
inline constexpr char LockWorkStationEntry[] = "LockWorkStation";
inline constexpr char Kernel32LibraryName[] = "kernel32.dll";
inline constexpr char NativeSystemInfoEntry[] = "GetNativeSystemInfo";

// Messages.
inline constexpr char StandbyNotSupportedText[] =
    "Standby and hibernation are not available on Windows NT 4.0.";
inline constexpr char LockNotSupportedText[] =
    "Locking the workstation needs Windows 2000 or later.";
// Shown when Windows has no text for an error code; takes the code.
inline constexpr char UnknownErrorFormat[] = "Windows reported error %lu and has no text for it.";

// Start-up, single instance and the main window's life.
inline constexpr char InstanceMutexName[] = "DorvaneShutdown.SingleInstance";
inline constexpr char MainWindowClassName[] = "DorvaneShutdownMainWindow";
inline constexpr char HelpFileName[] = "DorvaneShutdown.chm";
// The exception display's text for an error that brings no text of its own.
inline constexpr char UnexpectedErrorText[] = "An unexpected error occurred.";
inline constexpr char AlreadyRunningText[] =
    "Dorvane Shutdown is already running.\n\nLook for its icon in the notification area.";
inline constexpr char ExitQuestionText[] = "Do you want to exit Dorvane Shutdown?";
inline constexpr char StartupNoticeText[] = "Dorvane Shutdown is starting, please wait...";
inline constexpr char TrayTipText[] = "Dorvane Shutdown";
// Registered by Explorer when it starts again; the tray icon must then be added anew.
inline constexpr char TaskbarCreatedMessageName[] = "TaskbarCreated";

// The command-line keywords, in the order they are compared.
inline constexpr const char* CommandKeywords[] = {
    "shutdown",  "reboot", "restart",        "logoff",       "standby",
    "hibernate", "lock",   "domainshutdown", "domainreboot",
};

// Warning countdown.
inline constexpr char CountdownDesignCaption[] = "Processing";
inline constexpr char CountdownCancelCaption[] = "&Cancel";
// Takes the seconds left.
inline constexpr char CountdownFormat[] = "The action starts in %d second(s).";
// The countdown's first line: the action about to run; the remote ones take the computer's name.
inline constexpr char CountdownShutdownText[] = "Shutting down this computer";
inline constexpr char CountdownRebootText[] = "Restarting this computer";
inline constexpr char CountdownLogOffText[] = "Logging off";
inline constexpr char CountdownStandbyText[] = "Putting this computer on standby";
inline constexpr char CountdownHibernateText[] = "Hibernating this computer";
inline constexpr char CountdownLockText[] = "Locking this computer";
inline constexpr char CountdownRemoteShutdownFormat[] = "Shutting down %s";
inline constexpr char CountdownRemoteRebootFormat[] = "Restarting %s";
inline constexpr char CountdownDomainShutdownText[] = "Shutting down every computer of the domain";
inline constexpr char CountdownDomainRebootText[] = "Restarting every computer of the domain";
// The names screen readers give the progress bars.
inline constexpr char CountdownBarName[] = "Time until the action";
inline constexpr char DomainBarName[] = "Computers asked";

// Wait notice.
inline constexpr char WaitNoticeDesignCaption[] = "Please Wait";
inline constexpr char WaitNoticeDesignText[] = "Cap";

// Main window: menus.
inline constexpr char FileMenuCaption[] = "&File";
inline constexpr char TrayItemCaption[] = "&Tray";
inline constexpr char ExitItemCaption[] = "&Exit";
inline constexpr char ActionMenuCaption[] = "&Action";
inline constexpr char ShutDownItemCaption[] = "&Shut Down";
inline constexpr char RebootItemCaption[] = "&Reboot";
inline constexpr char LogOffItemCaption[] = "&Log Off";
inline constexpr char StandbyItemCaption[] = "&Stand by";
inline constexpr char HibernateItemCaption[] = "&Hibernate";
inline constexpr char LockItemCaption[] = "&Lock Workstation";
inline constexpr char RemoteItemCaption[] = "&Remote Shutdown";
inline constexpr char DomainItemCaption[] = "&Domain Shutdown";
inline constexpr char OptionsMenuCaption[] = "&Options";
inline constexpr char PreferencesItemCaption[] = "&Preferences";
inline constexpr char AutoLogonItemCaption[] = "&AutoLogon";
inline constexpr char HelpMenuCaption[] = "&Help";
inline constexpr char IndexItemCaption[] = "&Index";
inline constexpr char HomePageItemCaption[] = "&Program Home Page";
inline constexpr char AboutItemCaption[] = "&About";
inline constexpr char SeparatorCaption[] = "-";

// Tray menu.
inline constexpr char ShowItemCaption[] = "Sho&w";
inline constexpr char TrayShutdownCaption[] = "&Shutdown";
inline constexpr char TrayStandbyCaption[] = "&Standby";
inline constexpr char TrayHibernateCaption[] = "Hibernate";
inline constexpr char TrayLockCaption[] = "&Lock";

// Toolbar captions and hints.
inline constexpr char ShutdownButtonCaption[] = "Shutdown";
inline constexpr char ShutdownButtonHint[] = "Shuts down the system and turns off the power";
inline constexpr char RebootButtonCaption[] = "Reboot";
inline constexpr char RebootButtonHint[] = "Restarts the system.";
inline constexpr char LogOffButtonCaption[] = "Log Off";
inline constexpr char LogOffButtonHint[] = "Log Off the current user";
inline constexpr char StandbyButtonCaption[] = "Standby";
inline constexpr char StandbyButtonHint[] = "Suspends the system, using RAM-alive technique.";
inline constexpr char HibernateButtonCaption[] = "Hibernate";
inline constexpr char HibernateButtonHint[] = "Suspends the system using hibernate technique.";
inline constexpr char LockButtonCaption[] = "Lock";
inline constexpr char LockButtonHint[] = "Locks the workstation's display.";
inline constexpr char RemoteButtonCaption[] = "Remote";
inline constexpr char RemoteButtonHint[] = "Shutdown or restart an specified computer in your LAN";
inline constexpr char DomainButtonCaption[] = "Domain";
inline constexpr char DomainButtonHint[] = "Shutdown or restart all computers in your LAN domain.";

// Panel and status bar.
inline constexpr char TimerCheckCaption[] = "Shutdown at";
inline constexpr char OptionsButtonCaption[] = "Options";
inline constexpr char OptionsButtonHint[] = "Configure various setting in the program";
inline constexpr char AutoLogonButtonDesignCaption[] = "AutoLogon  ENABLED";
inline constexpr char AutoLogonButtonHint[] = "Sets automatic logon feature";
inline constexpr char StatusHelpText[] = "For Help press F1";

// Remote and domain shutdown.
inline constexpr char AdminShareFormat[] = "\\\\%s\\admin$";
inline constexpr char PrefixedAdminShareFormat[] = "%s\\admin$";
inline constexpr char RemoteShutdownWarningText[] =
    "This computer is being shut down from the network by Dorvane Shutdown. Please save your "
    "work now.";
inline constexpr char RemoteRebootWarningText[] =
    "This computer is being restarted from the network by Dorvane Shutdown. Please save your "
    "work now.";
// Computers the domain action asks besides those the network lists, one name a line.
inline constexpr char ComputerListFileName[] = "DorvaneShutdown.computers.txt";
inline constexpr char ResultsLogFileName[] = "DorvaneShutdown.log";
// The texts of the log's lines that open and close a run: the action and the number of computers,
// then where they came from; the action, how many were asked and failed, whether it was
// cancelled, and how long it took in seconds and tenths.
inline constexpr char RunBeginFormat[] = "%s: %lu computers";
inline constexpr char RunBrowsedFormat[] = "the browse list (%lu)";
inline constexpr char RunListedFormat[] = "%s (%lu)";
inline constexpr char RunContainersFormat[] = "directory containers (%lu)";
inline constexpr char RunEndFormat[] = "%s: %lu asked, %lu failed, %s, in %lu.%lu s";
inline constexpr char RunNotCancelledText[] = "not cancelled";
inline constexpr char RunCancelledFormat[] = "cancelled with %lu not asked";
// The log's text for a line of the list that can't be a computer name: the system's text, the
// line's number and the list's name.
inline constexpr char BadLineLogFormat[] = "%s (line %lu of %s)";
// The domain action's progress and result.
inline constexpr char DomainProgressTitle[] = "Domain Shutdown";
inline constexpr char DomainPlanningText[] = "Finding the computers to ask...";
inline constexpr char DomainProgressFormat[] = "%lu of %lu computers asked, %lu failed";
inline constexpr char DomainCancelCaption[] = "&Cancel";
inline constexpr char DomainCancellingCaption[] = "Cancelling";
inline constexpr char DomainResultTitle[] = "Domain Shutdown result";
inline constexpr char DomainResultOkCaption[] = "OK";
inline constexpr char DomainResultFormat[] = "%lu of %lu computers took the request, %lu failed.";
inline constexpr char DomainCancelledFormat[] = "Cancelled: %lu of %lu computers were not asked.";
inline constexpr char DomainCancelledPlanningText[] =
    "Cancelled while finding the computers to ask: none was asked.";
inline constexpr char DomainFailureFormat[] = "%s: %s";
inline constexpr char ListUnreadableFormat[] = "%s could not be read: %s";
inline constexpr char DomainActionRunningText[] =
    "A domain action is still asking its computers. Wait for it to end, or cancel it, before "
    "starting another remote or domain action.";
inline constexpr char StopDomainActionQuestion[] =
    "A domain action is still asking its computers. Stop it and exit?\n\nRequests already "
    "sent end by themselves; no further computer is asked.";
// The lines of the list that can't be computer names, reported once in the result.
inline constexpr char ImpossibleLineFormat[] =
    "%lu line of %s can't be a computer name; no request was sent for it:";
inline constexpr char ImpossibleLinesFormat[] =
    "%lu lines of %s can't be computer names; no request was sent for them:";
// A directory line whose container could not be read: the line, its number, the list's name
// and the LDAP client's text for the error.
inline constexpr char DirectoryFailedFormat[] =
    "%.200s (line %lu of %s) could not be read from the directory: %s";
inline constexpr char ImpossibleLineItemFormat[] = "\nline %lu: ";
inline constexpr char MoreImpossibleLinesFormat[] = "\nand %lu more.";

// Remote and domain dialogs.
inline constexpr char RemoteDialogTitle[] = "Remote Shutdown";
inline constexpr char DomainDialogTitle[] = "Shutdown a complete domain";
inline constexpr char DomainDialogText[] = // lines short enough for the dialog's width
    "Every computer of your LAN domain or\n"
    "workgroup will be shut down or\n"
    "restarted, this computer last.\n\n"
    "Their users see the warning message\n"
    "set in Preferences.";
// Below the domain dialog's text when there is a list file; take the number of computers.
inline constexpr char ListedComputerFormat[] = "The list file names %lu computer.";
inline constexpr char ListedComputersFormat[] = "The list file names %lu computers.";
// Added when the list names directory containers; takes their number. The dialog reads none.
inline constexpr char ListedContainerFormat[] = "\nIt names %lu directory container.";
inline constexpr char ListedContainersFormat[] = "\nIt names %lu directory containers.";
// Added when the list has lines that name no computer; the dialog's LBMsg sizes itself.
inline constexpr char BadListLineFormat[] = "\n%lu line can't be a computer name.";
inline constexpr char BadListLinesFormat[] = "\n%lu lines can't be computer names.";
inline constexpr char NtRequiredText[] =
    "Shutting down other computers needs Windows NT 4.0 or later.";
inline constexpr char NoComputerNameText[] = "Please type the name of the computer to shut down.";
inline constexpr char ComputerNameLabel[] = "Computer name;:";
inline constexpr char RebootOnlyCaption[] = "Reboot  only";
inline constexpr char CredentialsCaption[] = "Use Administrador credentials";
inline constexpr char UserNameLabel[] = "Username;";
inline constexpr char PasswordLabel[] = "Password:";
inline constexpr char OkCaption[] = "&OK";
inline constexpr char CancelCaption[] = "&Cancel";

// Preferences.
inline constexpr char PreferencesDialogTitle[] = "Preferences";
inline constexpr char GeneralPageCaption[] = "General";
inline constexpr char ForceAppsCaption[] = "Force applications to terminate.";
inline constexpr char RunAtStartupCaption[] = "Run at startup";
inline constexpr char StartInTrayCaption[] = "Set in tray";
inline constexpr char ShowWarningCaption[] = "Show warning delay before action.";
inline constexpr char ShowRemoteWarningCaption[] = "Show remote warning before shutdown.";
// Shown when OK finds more seconds typed than the settings keep; takes the warning's caption.
inline constexpr char SecondsOutOfRangeFormat[] = "The seconds of \"%s\" can be at most 32767.";
inline constexpr char SecondsLabel[] = "second(s)";
inline constexpr char ConfirmExitCaption[] = "Confirm program exit";
inline constexpr char ShutdownActionLabel[] = "Shutdown action:";
// The daily action's list, in list order.
inline constexpr const char* TimerActionItems[] = {
    "Shutdown",  "Reboot", "Log Off",           "Standby",
    "Hibernate", "Lock",   "LAN domain reboot", "LAN domain shutdown",
};

// Automatic logon.
inline constexpr char WindowsWinlogonKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
inline constexpr char MachineWinlogonKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char AutoAdminLogonValue[] = "AutoAdminLogon";
inline constexpr char DefaultUserNameValue[] = "DefaultUserName";
inline constexpr char DefaultPasswordValue[] = "DefaultPassword";
inline constexpr char DefaultDomainNameValue[] = "DefaultDomainName";
inline constexpr char AutoLogonOnCaption[] = "AutoLogon  ENABLED";
inline constexpr char AutoLogonOffCaption[] = "AutoLogon  DISABLED";
inline constexpr char AutoLogonDialogTitle[] = "Automatic Logon";
inline constexpr char AutoLogonDesignCaption[] = "AutoLogon";
inline constexpr char AutoLogonCheckCaption[] = "AutoLogon";
inline constexpr char LogonUserNameLabel[] = "Username:";
inline constexpr char LogonDomainLabel[] = "Domain";
inline constexpr char AutoLogonUnavailableText[] =
    "Automatic logon can be set here on Windows 2000 and later.";
// The keyword that starts the program elevated for the AutoLogon dialog alone, and the verb
// that asks Windows to elevate it.
inline constexpr char AutoLogonKeyword[] = "autologon";
inline constexpr char RunAsVerb[] = "runas";
inline constexpr char AutoLogonWriteFailedText[] =
    "The automatic logon settings could not be written to the registry.\n\n"
    "Writing them needs the right to change the Winlogon key; an administrator has it.";
inline constexpr char PlainPasswordQuestion[] =
    "Windows can't keep this password as a secret here. If you go on, it is stored as plain "
    "text in the registry, where every user of this computer can read it.\n\n"
    "Click OK to store it so, or Cancel to change the settings.";

// Help, About, home page and the update check.
inline constexpr char AboutCaption[] = "About Dorvane Shutdown";
inline constexpr char AboutFormat[] = // lines short enough for the box's width
    "Dorvane Shutdown %s\n\n"
    "Shuts down, restarts, logs off,\n"
    "suspends or locks this computer,\n"
    "and shuts down or restarts the\n"
    "computers of your network, at\n"
    "once or every day at a set time.\n\n"
    "Copyright (C) 2026 Dorvane";
inline constexpr char HomePageFailedFormat[] =
    "No web browser could be started. The home page is at\n%s";
inline constexpr char UpdateQuestionText[] = "A newer version of Dorvane Shutdown is available.\n\n"
                                             "Open its home page now?";
inline constexpr char BrowserCommandKey[] = "http\\shell\\open\\command";
inline constexpr char ShellOpenVerb[] = "open";
inline constexpr char HttpAgentName[] = "Mozilla";

// The keywords that name one computer after them, for scripts, and what they report.
inline constexpr char RemoteShutdownKeyword[] = "remoteshutdown";
inline constexpr char RemoteRebootKeyword[] = "remotereboot";
inline constexpr char AbortKeyword[] = "abort";
// Take the computer's name.
inline constexpr char ShutdownSentFormat[] = "The shutdown request was sent to %s.";
inline constexpr char RebootSentFormat[] = "The restart request was sent to %s.";
inline constexpr char AbortDoneFormat[] = "The pending shutdown of %s was aborted.";

// Aborting a pending remote shutdown from the window.
inline constexpr char AbortRemoteItemCaption[] = "&Abort Remote Shutdown";
inline constexpr char AbortRemoteDialogTitle[] = "Abort Remote Shutdown";
// Withdrawing the last domain action's shutdown from every computer that took it.
inline constexpr char AbortDomainItemCaption[] = "A&bort Domain Shutdown";
inline constexpr char DomainAbortKeyword[] = "domainabort";
inline constexpr char DomainAbortResultFormat[] =
    "The pending shutdown was withdrawn from %lu of %lu computers, %lu failed.";
