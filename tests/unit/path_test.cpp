#include "common/path.h"

#include <gtest/gtest.h>

#include <string>

TEST(PathInFolder, JoinsWithOneBackslashAndRefusesAMissingFolder) {
  struct Case {
    const char* folder;
    const char* name;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\Windows\\system32", "wininet.dll", "C:\\Windows\\system32\\wininet.dll"},
      {"C:\\", "hhctrl.ocx", "C:\\hhctrl.ocx"},
      {"\\\\server\\share\\windows\\system32", "mpr.dll",
       "\\\\server\\share\\windows\\system32\\mpr.dll"},
      // Without a folder the name alone would be searched for again.
      {"", "wininet.dll", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathInFolder(c.folder, c.name), c.expected) << c.folder;
  }
}
