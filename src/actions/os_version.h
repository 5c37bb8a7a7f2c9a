#pragma once
// Which Windows release the program runs on, as an ordered class: later releases compare
// greater, so callers gate features with plain comparisons.

#include <cstdint>

enum OsVersionClass : int {
  OsUnknown = 0,
  OsWin95 = 1,
  OsWin98 = 2,
  OsWin98SE = 3,
  OsWinMe = 4,
  OsWinNT4 = 5,
  OsWin2000 = 6,
  OsWinXP = 7,
  OsServer2003 = 8,
  OsWinXPx64 = 9,
  OsServer2003R2 = 10,
  OsServer2008 = 11,
  OsVista = 12,
  // The releases after Vista; a server edition takes the class of its desktop twin.
  OsWin7 = 13,
  OsWin8 = 14,
  OsWin81 = 15,
  OsWin10 = 16, // 10.0 and every later NT release
};

// Queries Windows afresh on every call; a failed query gives OsUnknown.
OsVersionClass DetectOsVersion();

// The platform identifier of the running Windows (win::VerPlatformWin32Nt and the like), asked
// afresh as well; 0 when the query fails.
std::uint32_t PlatformFamily();
