#include "actions/announcement.h"

namespace {

constexpr std::uint32_t MillisecondsPerSecond = 1000;

} // namespace

bool AnnouncesSecondsLeft(int secondsLeft) {
  return secondsLeft > 0 &&
         (secondsLeft <= AnnouncementSeconds || secondsLeft % AnnouncementSeconds == 0);
}

bool AnnouncesProgress(bool textChanged, std::uint32_t millisecondsSinceLastReading) {
  return textChanged && millisecondsSinceLastReading >= AnnouncementSeconds * MillisecondsPerSecond;
}
