#include "web/update_check.h"

#include "common/texts.h"
#include "platform/internet.h"
#include "platform/kernel.h"
#include "platform/winconst.h"
#include "web/browser.h"

#include <cctype>
#include <climits>
#include <vector>

namespace {

constexpr unsigned ReplyCapacity = 1000;
constexpr int VersionCharacters = 50;
constexpr int MaxComponents = 4;
constexpr std::size_t PieceLimit = 49;
constexpr std::uint32_t DefaultStatus = 400;
constexpr std::uint32_t RequestFlags =
    win::InternetFlagReload | win::InternetFlagNoCacheWrite | win::InternetFlagNoUi;

// The years a SYSTEMTIME can hold: no check can have stored a day outside them.
constexpr int FirstClockYear = 1601;
constexpr int LastClockYear = 30827;

// Windows may bring up a dial-up connection for the first request of a run only.
bool DialUpPending = true;

// The leading digits of a piece, as atol reads them but held at INT32_MAX instead of
// overflowing: a version piece can be 49 digits long.
std::int32_t PieceNumber(const char* piece, std::size_t length) {
  std::int64_t value = 0;
  for (std::size_t i = 0; i < length && piece[i] >= '0' && piece[i] <= '9'; ++i) {
    value = value * 10 + (piece[i] - '0');
    if (value > INT32_MAX) {
      return INT32_MAX;
    }
  }
  return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t DayNumber(int day, int month, int year) {
  if (day == 0 && month == 0 && year == 0) {
    return 0;
  }
  const std::int32_t y = year + 399 + (month + 9) / 12;
  const std::int32_t m = (month + 9) % 12;
  return 365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day - 146037;
}

std::int32_t TodayDayNumber() {
  const platform::LocalTime now = platform::GetLocalTime();
  return DayNumber(now.day, now.month, now.year);
}

int ExtractVersion(char* out, int maxChars, const char* reply, int replyLength) {
  int kept = 0;
  for (int i = 0; i < replyLength && kept < maxChars; ++i) {
    const char c = reply[i];
    if ((c >= '0' && c <= '9') || c == '.') {
      out[kept++] = c;
    }
  }
  out[kept] = '\0';
  return kept;
}

int ParseVersion(const char* text, std::int32_t numbers[4]) {
  int count = 0;
  const char* p = text;
  while (count < MaxComponents) {
    while (*p != '\0' && (std::isspace(static_cast<unsigned char>(*p)) || *p == '.')) {
      ++p;
    }
    if (*p == '\0') {
      break;
    }
    std::size_t length = 0;
    while (p[length] != '\0' && p[length] != '.' && length < PieceLimit) {
      ++length;
    }
    numbers[count++] = PieceNumber(p, length);
    p += length;
  }
  return count;
}

int CompareVersions(const char* offered, const char* own) {
  std::int32_t offeredNumbers[MaxComponents] = {};
  std::int32_t ownNumbers[MaxComponents] = {};
  const int offeredCount = ParseVersion(offered, offeredNumbers);
  const int ownCount = ParseVersion(own, ownNumbers);
  for (int i = 0; i < offeredCount && i < ownCount; ++i) {
    if (ownNumbers[i] < offeredNumbers[i]) {
      return 1;
    }
    if (offeredNumbers[i] < ownNumbers[i]) {
      return -1;
    }
  }
  return offeredCount > ownCount ? 1 : offeredCount < ownCount ? -1 : 0;
}

int HttpGetToBuffer(const char* url, char* buffer, std::int32_t& received, unsigned capacity) {
  received = 0;
  std::uint32_t status = DefaultStatus;
  if (DialUpPending) {
    DialUpPending = false;
    platform::InternetAttemptConnect(0);
  }
  const win::Handle internet =
      platform::InternetOpenA(HttpAgentName, win::InternetOpenTypePreconfig, nullptr, nullptr, 0);
  if (internet == win::NoHandle) {
    return 0;
  }
  const win::Handle request =
      platform::InternetOpenUrlA(internet, url, nullptr, 0, RequestFlags, 0);
  if (request == win::NoHandle) {
    platform::InternetCloseHandle(internet);
    return 0;
  }
  std::uint32_t statusLength = sizeof status;
  if (!platform::HttpQueryInfoA(request, win::HttpQueryStatusCode | win::HttpQueryFlagNumber,
                                &status, statusLength)) {
    status = DefaultStatus;
  }
  bool ok = true;
  for (;;) {
    std::uint32_t read = 0;
    if (!platform::InternetReadFile(request, buffer + received,
                                    capacity - static_cast<unsigned>(received), read)) {
      ok = false;
      break;
    }
    received += static_cast<std::int32_t>(read);
    if (static_cast<unsigned>(received) >= capacity || read == 0) {
      break;
    }
  }
  platform::InternetCloseHandle(request);
  platform::InternetCloseHandle(internet);
  return ok ? static_cast<int>(status / 100) : 0;
}

int CheckForUpdate(const char* versionUrl, const char* ownVersion, const char* caption,
                   const char* question, const char* homeUrl, std::int32_t& lastCheckDay,
                   int intervalDays) {
  const std::int32_t today = TodayDayNumber();
  if (lastCheckDay < DayNumber(1, 1, FirstClockYear) ||
      lastCheckDay > DayNumber(31, 12, LastClockYear)) {
    // Never checked, or a damaged settings file: either way the check is due now.
    lastCheckDay = 0;
  }
  // Wide enough for any two days, whatever the clock says.
  std::int64_t elapsed = std::int64_t{today} - lastCheckDay;
  if (elapsed < 0) {
    // The clock was set back: start counting again from today.
    lastCheckDay = today;
    elapsed = 0;
  }
  if (lastCheckDay != 0 && elapsed < intervalDays) {
    return 1;
  }
  std::vector<char> reply(ReplyCapacity);
  std::int32_t received = 0;
  if (HttpGetToBuffer(versionUrl, reply.data(), received, ReplyCapacity) == 2) {
    char offered[VersionCharacters + 1];
    ExtractVersion(offered, VersionCharacters, reply.data(), received);
    if (CompareVersions(offered, ownVersion) > 0 &&
        ShowFormattedMessage(win::MbOkCancel | win::MbIconQuestion, caption, "%s", question) ==
            win::IdOk) {
      OpenUrl(homeUrl);
    }
    lastCheckDay = today;
  }
  return 1;
}
