// The reply of the web site's version file is whatever the server sends: the version is picked
// from it, parsed and compared with the program's own, as the start-up update check does.

#include "common/version.h"
#include "fuzz_support.h"
#include "web/update_check.h"

namespace {

// As the update check keeps it: 50 characters and the terminator.
constexpr int VersionCharacters = 50;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The reply buffer holds exactly the received bytes, without a terminator.
  const auto reply = Buffer(size);
  std::memcpy(reply.get(), data, size);
  const auto offered = Buffer(VersionCharacters + 1);
  const int kept =
      ExtractVersion(offered.get(), VersionCharacters, reply.get(), static_cast<int>(size));
  Require(kept >= 0 && kept <= VersionCharacters, "the version fits its buffer");
  Require(TerminatedWithin(offered.get(), VersionCharacters + 1), "the version is terminated");

  std::int32_t numbers[4] = {};
  const int count = ParseVersion(offered.get(), numbers);
  Require(count >= 0 && count <= 4, "at most four numbers");
  for (int i = 0; i < count; ++i) {
    Require(numbers[i] >= 0, "version numbers are not negative");
  }
  const int newer = CompareVersions(offered.get(), CurrentVersionText);
  Require(newer >= -1 && newer <= 1, "a comparison is -1, 0 or 1");
  Require(CompareVersions(CurrentVersionText, offered.get()) == -newer, "comparison is symmetric");
  Require(CompareVersions(offered.get(), offered.get()) == 0, "a version equals itself");

  // The reply as raw text too, with the blanks the extraction would have dropped.
  const std::string text = Text(data, size);
  Require(ParseVersion(text.c_str(), numbers) <= 4, "at most four numbers in raw text");
  Require(CompareVersions(text.c_str(), offered.get()) ==
              -CompareVersions(offered.get(), text.c_str()),
          "raw text compares symmetrically");
  return 0;
}
