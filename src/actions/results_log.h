#pragma once
// The results log next to the program: one line for every request sent to a computer (remote,
// domain and abort), so that an administrator learns the next morning what a night's run did.
// A run over many computers is kept whole, between a line that opens it and one that closes it:
// room is made by dropping the oldest whole runs, never part of one. The log is a help, never a
// reason for an action to fail: a log that can't be written is passed over.

#include "platform/kernel.h"
#include "platform/winconst.h"

#include <cstdint>
#include <string>
#include <vector>

// Past this size the oldest runs and lines go, down to TrimmedResultsLogSize, so that the lines
// after don't make room again at once. The last run stays whole even when it alone is larger,
// and so does a run in progress.
inline constexpr std::uint64_t MaxResultsLogSize = std::uint64_t{16} << 20;
inline constexpr std::uint64_t TrimmedResultsLogSize = MaxResultsLogSize / 4 * 3;

// How each action is named in the log: the command-line keyword that asks for it.
inline constexpr char LogRemoteShutdown[] = "remoteshutdown";
inline constexpr char LogRemoteReboot[] = "remotereboot";
inline constexpr char LogDomainShutdown[] = "domainshutdown";
inline constexpr char LogDomainReboot[] = "domainreboot";
inline constexpr char LogAbort[] = "abort";
inline constexpr char LogDomainAbort[] = "domainabort";
// The markers in the action's column of the lines that open and close a run.
inline constexpr char RunBeginMarker[] = "begin";
inline constexpr char RunEndMarker[] = "end";
// The computer of a line that concerns no single computer.
inline constexpr char NoComputerLogged[] = "-";

// "2026-12-08 03:00:12<TAB>action<TAB>computer<TAB>error code<TAB>system text" and CR LF; the
// text on one line.
std::string FormatResultLine(const platform::LocalTime& time, const char* action,
                             const std::string& computer, win::ErrorCode error,
                             const std::string& text);

// Where the computers of a run came from.
struct RunSources {
  std::size_t browsed = 0;    // names of the network's browse list
  std::size_t listed = 0;     // computers the list file names by name
  std::size_t containers = 0; // directory containers the list file names
};

// How a run ended.
struct RunSummary {
  std::size_t asked = 0;
  std::size_t failed = 0; // lines of the list that gave no request included
  bool cancelled = false;
  std::size_t notAsked = 0;
  std::uint32_t milliseconds = 0;
  win::ErrorCode result = win::ErrorSuccess; // what a keyword's run exits with
};

// "... begin - 0 domainshutdown: 1234 computers from the browse list (1200), the list file
// (30) and 4 directory containers".
std::string FormatRunBeginLine(const platform::LocalTime& time, const char* action,
                               std::size_t computers, const RunSources& sources);
// "... end - RESULT domainshutdown: 1234 asked, 5 failed, not cancelled, in 73.4 s".
std::string FormatRunEndLine(const platform::LocalTime& time, const char* action,
                             const RunSummary& summary);

// Adds the line at the end of the log at `path`. When `mayMakeRoom` and the log would grow past
// MaxResultsLogSize, the oldest runs and lines go first, whole. False when the log can't be
// written.
bool AppendToResultsLog(const char* path, const std::string& line, bool mayMakeRoom = true);

// One request's line, now, in the log next to the program: with `text` for its error, or the
// system's text when `text` is empty.
void LogRequestResult(const char* action, const std::string& computer, win::ErrorCode error,
                      const std::string& text = {});

// Many lines at once, now, in one write: a list of thousands of bad lines must not keep the
// window's thread opening the log for each.
struct LoggedRequest {
  std::string computer;
  win::ErrorCode error = win::ErrorSuccess;
  std::string text;
};
void LogRequestResults(const char* action, const std::vector<LoggedRequest>& requests);

// Opens and closes a run in the log next to the program. Between the two no room is made.
void LogRunBegin(const char* action, std::size_t computers, const RunSources& sources);
void LogRunEnd(const char* action, const RunSummary& summary);
