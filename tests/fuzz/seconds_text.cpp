// The warning seconds are typed into the Preferences dialog: any text must read as the number
// the C library reads from it, kept to its low 16 bits.

#include "fuzz_support.h"
#include "dialogs/options_dialog.h"

#include <cerrno>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = Text(data, size);
  const std::int16_t seconds = SecondsFromText(text);
  // strtoll stops at a zero byte, where the digits end for SecondsFromText too; past strtoll's
  // range there is nothing to compare with.
  errno = 0;
  const long long expected = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != ERANGE) {
    Require(seconds == static_cast<std::int16_t>(static_cast<std::uint16_t>(expected & 0xFFFF)),
            "the seconds are strtoll's number, cut to 16 bits");
  }
  return 0;
}
