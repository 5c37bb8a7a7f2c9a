// The warning seconds are typed into the Preferences dialog: any text must read as the number
// the C library reads from it, or as none when that number is beyond the record's 16 bits.

#include "dialogs/options_dialog.h"
#include "fuzz_support.h"

#include <cerrno>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = Text(data, size);
  const std::optional<std::int16_t> seconds = SecondsFromText(text);
  // strtoll stops at a zero byte, where the digits end for SecondsFromText too; past strtoll's
  // range the number is beyond 16 bits all the more.
  errno = 0;
  const long long expected = std::strtoll(text.c_str(), nullptr, 10);
  const bool fits = errno != ERANGE && expected >= std::numeric_limits<std::int16_t>::min() &&
                    expected <= std::numeric_limits<std::int16_t>::max();
  Require(seconds.has_value() == fits, "the seconds are refused exactly when they don't fit");
  Require(!fits || *seconds == expected, "the seconds are strtoll's number");
  return 0;
}
