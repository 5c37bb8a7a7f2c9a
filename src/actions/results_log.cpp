#include "actions/results_log.h"

#include "actions/local_power.h"
#include "common/texts.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::uint32_t ReadChunkSize = 64 * 1024;
constexpr char TemporarySuffix[] = ".new";
constexpr std::size_t StampCapacity = 48;
constexpr std::size_t TextCapacity = 256;
constexpr std::uint32_t MillisecondsPerSecond = 1000;
constexpr std::uint32_t TenthsPerSecond = 10;

// Lines written between a run's first and last line belong to it: no room is made meanwhile.
bool RunOpen = false;

// The log's whole text, or false when it can't be read.
bool ReadWhole(const char* path, std::string& text) {
  const win::Handle file = platform::OpenFileForReading(path);
  if (file == win::NoHandle) {
    return false;
  }
  std::string chunk(ReadChunkSize, '\0');
  std::int32_t count = 0;
  while ((count = platform::ReadFile(file, chunk.data(), ReadChunkSize)) > 0) {
    text.append(chunk, 0, static_cast<std::size_t>(count));
  }
  platform::CloseFile(file);
  return count == 0;
}

bool WriteWhole(const char* path, std::string_view text) {
  const win::Handle file = platform::OpenFileForWriting(path);
  if (file == win::NoHandle) {
    return false;
  }
  const bool written =
      platform::WriteFile(file, text.data(), static_cast<std::uint32_t>(text.size())) ==
      static_cast<std::int32_t>(text.size());
  return platform::CloseFile(file) && written;
}

// The action's column of the line starting at `start`.
std::string_view ActionOf(std::string_view text, std::size_t start) {
  const std::size_t end = text.find('\n', start);
  const std::string_view line =
      text.substr(start, end == std::string_view::npos ? end : end - start);
  const std::size_t first = line.find('\t');
  if (first == std::string_view::npos) {
    return {};
  }
  const std::size_t second = line.find('\t', first + 1);
  return line.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
}

// Where the log's older part ends: the first run or line to keep. A run is its lines from the one
// that opens it to the one that closes it (or to the next run's, when a program ended in it); a
// line outside any run stands alone. The oldest go first until the rest with `incoming` bytes
// fits TrimmedResultsLogSize, but never the last run.
std::size_t KeptFrom(std::string_view text, std::size_t incoming) {
  std::size_t fitting = std::string_view::npos;
  std::size_t lastRun = std::string_view::npos;
  std::size_t lastUnit = 0;
  bool inRun = false;
  for (std::size_t start = 0; start < text.size();) {
    const std::string_view action = ActionOf(text, start);
    const bool opens = action == RunBeginMarker;
    if (opens || !inRun) {
      lastUnit = start;
      if (opens) {
        lastRun = start;
      }
      if (fitting == std::string_view::npos &&
          text.size() - start + incoming <= TrimmedResultsLogSize) {
        fitting = start;
      }
    }
    inRun = opens || (inRun && action != RunEndMarker);
    const std::size_t end = text.find('\n', start);
    start = end == std::string_view::npos ? text.size() : end + 1;
  }
  const std::size_t mustKeep = lastRun != std::string_view::npos ? lastRun : lastUnit;
  return fitting == std::string_view::npos ? mustKeep : std::min(fitting, mustKeep);
}

// The log without its oldest runs and lines, with the new line, in place of the log, in one
// step. A log that can lose nothing just gets the line.
bool ReplaceWithNewerRuns(const char* path, const std::string& line, bool& replaced) {
  std::string text;
  if (!ReadWhole(path, text)) {
    return false;
  }
  const std::size_t kept = KeptFrom(text, line.size());
  replaced = kept > 0;
  if (!replaced) {
    return true;
  }
  text.erase(0, kept);
  text += line;
  const std::string temporary = std::string(path) + TemporarySuffix;
  if (!WriteWhole(temporary.c_str(), text) ||
      !platform::MoveFileReplacing(temporary.c_str(), path)) {
    platform::DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

std::string OnOneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') {
      c = ' ';
    }
  }
  const std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

template <typename... Values> std::string Formatted(const char* format, Values... values) {
  char text[TextCapacity];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

void AppendNextToProgram(const std::string& line, bool mayMakeRoom) {
  // Writing the log must not change the error a caller reports next.
  const win::ErrorCode lastError = platform::GetLastError();
  AppendToResultsLog(PathNextToProgram(ResultsLogFileName).c_str(), line, mayMakeRoom);
  platform::SetLastError(lastError);
}

} // namespace

std::string FormatResultLine(const platform::LocalTime& time, const char* action,
                             const std::string& computer, win::ErrorCode error,
                             const std::string& text) {
  char stamp[StampCapacity];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return std::string(stamp) + '\t' + action + '\t' + OnOneLine(computer) + '\t' +
         std::to_string(error) + '\t' + OnOneLine(text) + "\r\n";
}

std::string FormatRunBeginLine(const platform::LocalTime& time, const char* action,
                               std::size_t computers, const RunSources& sources) {
  std::string from;
  const auto add = [&from](const std::string& source) {
    from += (from.empty() ? " from " : ", ") + source;
  };
  if (sources.browsed > 0) {
    add(Formatted(RunBrowsedFormat, static_cast<unsigned long>(sources.browsed)));
  }
  if (sources.listed > 0) {
    add(Formatted(RunListedFormat, ComputerListFileName,
                  static_cast<unsigned long>(sources.listed)));
  }
  if (sources.containers > 0) {
    add(Formatted(RunContainersFormat, static_cast<unsigned long>(sources.containers)));
  }
  return FormatResultLine(time, RunBeginMarker, NoComputerLogged, win::ErrorSuccess,
                          Formatted(RunBeginFormat, action, static_cast<unsigned long>(computers)) +
                              from);
}

std::string FormatRunEndLine(const platform::LocalTime& time, const char* action,
                             const RunSummary& summary) {
  const std::string cancelled =
      summary.cancelled
          ? Formatted(RunCancelledFormat, static_cast<unsigned long>(summary.notAsked))
          : std::string(RunNotCancelledText);
  const std::uint32_t tenths = summary.milliseconds / (MillisecondsPerSecond / TenthsPerSecond);
  return FormatResultLine(time, RunEndMarker, NoComputerLogged, summary.result,
                          Formatted(RunEndFormat, action, static_cast<unsigned long>(summary.asked),
                                    static_cast<unsigned long>(summary.failed), cancelled.c_str(),
                                    static_cast<unsigned long>(tenths / TenthsPerSecond),
                                    static_cast<unsigned long>(tenths % TenthsPerSecond)));
}

bool AppendToResultsLog(const char* path, const std::string& line, bool mayMakeRoom) {
  std::uint64_t size = 0;
  const win::Handle file = platform::OpenFileForAppending(path, size);
  if (file == win::NoHandle) {
    return false;
  }
  if (mayMakeRoom && size + line.size() > MaxResultsLogSize) {
    platform::CloseFile(file);
    bool replaced = false;
    if (!ReplaceWithNewerRuns(path, line, replaced)) {
      return false;
    }
    if (replaced) {
      return true;
    }
    // Only the last run is there: it stays whole, and the line follows it.
    return AppendToResultsLog(path, line, false);
  }
  const bool written =
      platform::WriteFile(file, line.data(), static_cast<std::uint32_t>(line.size())) ==
      static_cast<std::int32_t>(line.size());
  return platform::CloseFile(file) && written;
}

void LogRequestResult(const char* action, const std::string& computer, win::ErrorCode error,
                      const std::string& text) {
  AppendNextToProgram(FormatResultLine(platform::GetLocalTime(), action, computer, error,
                                       text.empty() ? SystemErrorText(error) : text),
                      !RunOpen);
}

void LogRequestResults(const char* action, const std::vector<LoggedRequest>& requests) {
  if (requests.empty()) {
    return;
  }
  const platform::LocalTime now = platform::GetLocalTime();
  std::string lines;
  for (const LoggedRequest& request : requests) {
    lines += FormatResultLine(now, action, request.computer, request.error, request.text);
  }
  AppendNextToProgram(lines, !RunOpen);
}

void LogRunBegin(const char* action, std::size_t computers, const RunSources& sources) {
  AppendNextToProgram(FormatRunBeginLine(platform::GetLocalTime(), action, computers, sources),
                      true);
  RunOpen = true;
}

void LogRunEnd(const char* action, const RunSummary& summary) {
  AppendNextToProgram(FormatRunEndLine(platform::GetLocalTime(), action, summary), false);
  RunOpen = false;
}
