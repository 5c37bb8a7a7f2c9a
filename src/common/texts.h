#pragma once
// Every fixed text of the program: titles, file and registry names, messages.

#include "common/version.h"

// Program title: application title, main window caption, caption of every message box.
inline constexpr char MessageCaption[] = "Dorvane Shutdown";

inline constexpr char ProgramFileName[] = "DorvaneShutdown.exe";
inline constexpr char SettingsFileName[] = "DorvaneShutdown.dat";
// Written while saving, then moved over the settings file in one step.
inline constexpr char SettingsTempSuffix[] = ".new";
// First bytes of the settings file; identifies it. Never empty, never holds a NUL.
inline constexpr char SettingsHeader[] = "Dorvane Shutdown settings";

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
