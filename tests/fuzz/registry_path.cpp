// Registry paths come from the program's own texts and from names Windows enumerates: the
// input is split into a path and a sub-key name, parsed and joined into buffers of the size the
// program uses, which must come back terminated within it.

#include "fuzz_support.h"
#include "settings/registry_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [path, name] = TwoTexts(data, size);
  const auto subKey = Buffer(RegPathCapacity);
  const win::RegKey root = ParseRegPath(path.c_str(), subKey.get(), RegPathCapacity);
  Require(root == win::HkeyClassesRoot || root == win::HkeyCurrentUser ||
              root == win::HkeyLocalMachine || root == win::HkeyUsers,
          "the root is one of the four");
  Require(TerminatedWithin(subKey.get(), RegPathCapacity), "the sub-key is terminated");

  const auto joined = Buffer(RegPathCapacity);
  const bool fits = JoinRegPath(path.c_str(), name.c_str(), joined.get(), RegPathCapacity);
  Require(TerminatedWithin(joined.get(), RegPathCapacity), "the joined path is terminated");
  Require(fits || joined[0] == '\0', "a path that doesn't fit is left empty");
  // Joined: the path without a closing backslash, one backslash, the name.
  std::string expected = path;
  if (!expected.empty() && expected.back() == '\\') {
    expected.pop_back();
  }
  expected += (name.empty() || name[0] != '\\' ? "\\" : "") + name;
  Require(fits == (expected.size() <= RegPathCapacity - 2), "a path fits when it has room");
  Require(!fits || expected == joined.get(), "the joined path names the path's sub-key");
  return 0;
}
