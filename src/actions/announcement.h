#pragma once
// How often a text that keeps changing is read to a screen-reader user: often enough to follow
// it, seldom enough that one reading ends before the next begins.

#include <cstdint>

inline constexpr int AnnouncementSeconds = 5;

// A countdown's seconds left: every five seconds, then each of the last five.
bool AnnouncesSecondsLeft(int secondsLeft);

// A progress text: a text not yet read, once five seconds have passed since the last reading
// (the window's opening reads its first text).
bool AnnouncesProgress(bool textChanged, std::uint32_t millisecondsSinceLastReading);
