#pragma once
// Shutting down or restarting computers of the LAN through Windows' remote shutdown request,
// optionally after connecting to the computer's administrative share with other credentials.

#include "actions/computer_list.h"
#include "actions/directory_computers.h"
#include "actions/request_batch.h"
#include "settings/settings.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The named computer, by the options of `settings`. 1 on success; 0 after the error box. Lowers
// ActionInProgress unless the target is this computer, by any of its names (NetBIOS, DNS or
// loopback).
int RemoteShutdownByName(const char* target, Settings& settings);

// One request to one computer; shows the system's text for the error on failure and leaves that
// error as the last error. An empty name is refused as invalid: Windows would take it for this
// computer. 1 or 0.
int RemoteShutdownComputer(const char* computer, const Settings& settings);

// The same request without a word to the user, for a thread of its own: reads only `settings`.
RequestOutcome RequestRemoteShutdown(const char* computer, const Settings& settings);

// The timeout a request asks for: the seconds, at least 0 and at most the longest Windows takes.
std::uint32_t RemoteTimeoutSeconds(std::int64_t seconds);

int InitiateRemoteShutdown(const char* machine, const char* message, std::uint32_t timeout,
                           bool force, bool reboot);
// Connects to the computer's admin$ share as `user`, sends the request and disconnects. On
// failure the last error is that of the step that failed, not of the disconnection.
int InitiateRemoteShutdownWithLogon(const char* machine, const char* user, const char* password,
                                    const char* message, std::uint32_t timeout, bool force,
                                    bool reboot);

// Withdraws the shutdown `computer` still counts down to, connected to its admin$ share first when
// the settings hold credentials. Shows the system's text on failure and leaves that error as the
// last error; an empty name is refused as invalid, as for a request. 1 or 0.
int AbortRemoteShutdown(const char* computer, const Settings& settings);

// A name longer than any computer's (ComputerNameTooLong) is refused before it reaches the
// request or the settings, which would cut it: logged whole for the action with
// ERROR_INVALID_NAME, the system's text in a box unless boxes are held back, and that error left
// as the last error. False, and nothing done, for a name that may go ahead.
bool RefuseOverlongName(const std::string& computer, const char* logAction);

// The same withdrawal without a word to the user or the log, for a thread of its own: reads only
// `settings`.
RequestOutcome RequestAbortShutdown(const char* computer, const Settings& settings);

// True when the names denote the same computer: slashes and backslashes anywhere are ignored,
// and so are letter case and the root's dot at the end of a fully qualified name.
bool SameComputerName(const char* a, const char* b);

// The computers a domain action asks, in the order it asks them: the domain's and those of the
// list file next to the program, the directory containers it names read with the account of
// `settings`, each once, this one (by any of its names) last. Lines of the list that can't be
// computer names are among them, not possible, where the list names them.
struct DomainPlan {
  std::vector<ListedComputer> computers;
  // The list file's lines as written, each directory line replaced by its computers, for the
  // list's report.
  std::vector<ListedComputer> listed;
  std::vector<DirectoryFailure> directoryFailures;
  bool ownLast = false;       // the last computer is this one
  std::size_t containers = 0; // directory containers the list file names
  bool listUnreadable = false;
  win::ErrorCode listError = win::ErrorSuccess;
};
// Once `cancelled` is set no further directory container is read.
DomainPlan PlanDomainAction(const Settings& settings, const std::atomic<bool>& cancelled);

// The servers of the current network context, in enumeration order, each name once whatever
// its letter case; empty when the enumeration can't be opened.
std::vector<std::string> EnumerateDomainComputers();
