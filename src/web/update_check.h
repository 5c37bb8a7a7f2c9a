#pragma once
// At most every few days, asks the web site which version is current and offers the home page
// when it is newer than this one.

#include <cstdint>

// Always 1. Checks when `lastCheckDay` is 0 or at least `intervalDays` ago; a completed check
// (any reply with a 2xx status) sets it to today, a failed one leaves it. A day no clock can show
// counts as 0.
int CheckForUpdate(const char* versionUrl, const char* ownVersion, const char* caption,
                   const char* question, const char* homeUrl, std::int32_t& lastCheckDay,
                   int intervalDays);

// Reads at most `capacity` bytes of the resource; the status class (2 for 2xx) or 0.
int HttpGetToBuffer(const char* url, char* buffer, std::int32_t& received, unsigned capacity);

// Keeps the digits and dots of a reply, at most `maxChars` of them; returns how many.
int ExtractVersion(char* out, int maxChars, const char* reply, int replyLength);
// Up to four dot-separated numbers; returns how many.
int ParseVersion(const char* text, std::int32_t numbers[4]);
// 1 when `offered` is newer than `own`, -1 when older, 0 when equal.
int CompareVersions(const char* offered, const char* own);

// Consecutive calendar days get consecutive numbers; 0/0/0 is 0.
std::int32_t DayNumber(int day, int month, int year);
std::int32_t TodayDayNumber();
