#pragma once
// The results log next to the program: one line for every request sent to a computer (remote,
// domain and abort), so that an administrator learns the next morning what a night's run did.
// The log is a help, never a reason for an action to fail: a log that can't be written is
// passed over.

#include "platform/kernel.h"
#include "platform/winconst.h"

#include <cstdint>
#include <string>

// Past this size the older half of the log goes.
inline constexpr std::uint64_t MaxResultsLogSize = std::uint64_t{1} << 20;

// How each action is named in the log: the command-line keyword that asks for it.
inline constexpr char LogRemoteShutdown[] = "remoteshutdown";
inline constexpr char LogRemoteReboot[] = "remotereboot";
inline constexpr char LogDomainShutdown[] = "domainshutdown";
inline constexpr char LogDomainReboot[] = "domainreboot";
inline constexpr char LogAbort[] = "abort";
// The computer of a line that concerns no single computer.
inline constexpr char NoComputerLogged[] = "-";

// "2026-12-08 03:00:12<TAB>action<TAB>computer<TAB>error code<TAB>system text" and CR LF; the
// text on one line.
std::string FormatResultLine(const platform::LocalTime& time, const char* action,
                             const std::string& computer, win::ErrorCode error,
                             const std::string& text);

// Adds the line at the end of the log at `path`; a log that would grow past MaxResultsLogSize
// keeps its newer half, cut at a line's start. False when the log can't be written.
bool AppendToResultsLog(const char* path, const std::string& line);

// One request's line, now, in the log next to the program: with `text` for its error, or the
// system's text when `text` is empty.
void LogRequestResult(const char* action, const std::string& computer, win::ErrorCode error,
                      const std::string& text = {});
