// Computer names come from the user and from the network's enumeration: the input is split
// into two names, which are compared as the program compares them with its own name.

#include "actions/remote_shutdown.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [a, b] = TwoTexts(data, size);
  const bool same = SameComputerName(a.c_str(), b.c_str());
  Require(same == SameComputerName(b.c_str(), a.c_str()), "the comparison is symmetric");
  Require(SameComputerName(a.c_str(), a.c_str()), "a name is the same as itself");
  Require(SameComputerName(("\\\\" + a).c_str(), a.c_str()), "leading backslashes don't count");
  return 0;
}
