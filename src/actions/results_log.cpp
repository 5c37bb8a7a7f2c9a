#include "actions/results_log.h"

#include "actions/local_power.h"
#include "common/texts.h"
#include "settings/settings_file.h"

#include <cstdio>

namespace {

constexpr std::uint32_t ReadChunkSize = 4096;
constexpr char TemporarySuffix[] = ".new";

// The log's whole text, or false when it can't be read.
bool ReadWhole(const char* path, std::string& text) {
  const win::Handle file = platform::OpenFileForReading(path);
  if (file == win::NoHandle) {
    return false;
  }
  char chunk[ReadChunkSize];
  std::int32_t count = 0;
  while ((count = platform::ReadFile(file, chunk, sizeof chunk)) > 0) {
    text.append(chunk, static_cast<std::size_t>(count));
  }
  platform::CloseFile(file);
  return count == 0;
}

bool WriteWhole(const char* path, const std::string& text) {
  const win::Handle file = platform::OpenFileForWriting(path);
  if (file == win::NoHandle) {
    return false;
  }
  const bool written =
      platform::WriteFile(file, text.data(), static_cast<std::uint32_t>(text.size())) ==
      static_cast<std::int32_t>(text.size());
  return platform::CloseFile(file) && written;
}

// The newer half of the log with the new line, in place of the log, in one step.
bool ReplaceWithNewerHalf(const char* path, const std::string& line) {
  std::string text;
  if (!ReadWhole(path, text)) {
    return false;
  }
  const std::size_t middle = text.find('\n', text.size() / 2);
  text.erase(0, middle == std::string::npos ? text.size() : middle + 1);
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

} // namespace

std::string FormatResultLine(const platform::LocalTime& time, const char* action,
                             const std::string& computer, win::ErrorCode error,
                             const std::string& text) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return std::string(stamp) + '\t' + action + '\t' + OnOneLine(computer) + '\t' +
         std::to_string(error) + '\t' + OnOneLine(text) + "\r\n";
}

bool AppendToResultsLog(const char* path, const std::string& line) {
  std::uint64_t size = 0;
  const win::Handle file = platform::OpenFileForAppending(path, size);
  if (file == win::NoHandle) {
    return false;
  }
  if (size + line.size() > MaxResultsLogSize) {
    platform::CloseFile(file);
    return ReplaceWithNewerHalf(path, line);
  }
  const bool written =
      platform::WriteFile(file, line.data(), static_cast<std::uint32_t>(line.size())) ==
      static_cast<std::int32_t>(line.size());
  return platform::CloseFile(file) && written;
}

void LogRequestResult(const char* action, const std::string& computer, win::ErrorCode error,
                      const std::string& text) {
  // Writing the log must not change the error a caller reports next.
  const win::ErrorCode lastError = platform::GetLastError();
  AppendToResultsLog(PathNextToProgram(ResultsLogFileName).c_str(),
                     FormatResultLine(platform::GetLocalTime(), action, computer, error,
                                      text.empty() ? SystemErrorText(error) : text));
  platform::SetLastError(lastError);
}
