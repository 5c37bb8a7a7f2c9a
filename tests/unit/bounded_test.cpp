#include "common/bounded.h"

#include <gtest/gtest.h>

#include <string>

TEST(CopyBounded, CutsAtCapacityAndAlwaysTerminates) {
  struct Case {
    const char* source;
    std::size_t size;
    std::string expected;
  };
  const Case cases[] = {
      {"abcdef", 4, "abc"}, {"abc", 4, "abc"}, {"abcd", 4, "abc"},
      {"", 4, ""},          {nullptr, 4, ""},  {"abc", 1, ""},
  };
  for (const Case& c : cases) {
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    CopyBounded(buffer, c.source, c.size);
    EXPECT_EQ(std::string(buffer), c.expected) << "size " << c.size;
    EXPECT_EQ(buffer[c.size], 'x') << "wrote past the capacity";
  }
}

TEST(CopyBounded, DoesNothingWithoutDestinationOrRoom) {
  CopyBounded(nullptr, "abc", 4);
  char buffer[2] = {'x', 'x'};
  CopyBounded(buffer, "abc", 0);
  EXPECT_EQ(buffer[0], 'x');
}

TEST(AppendBounded, KeepsTheResultWithinSizeMinusTwo) {
  struct Case {
    const char* start;
    const char* tail;
    std::size_t size;
    std::string expected;
  };
  const Case cases[] = {
      {"ab", "cd", 8, "abcd"},       {"ab", "cdefgh", 8, "abcdef"}, {"abcdef", "gh", 8, "abcdef"},
      {"", "abcdefgh", 8, "abcdef"}, {"ab", nullptr, 8, "ab"},      {"", "x", 2, ""},
  };
  for (const Case& c : cases) {
    char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    CopyBounded(buffer, c.start, c.size);
    const std::size_t length = AppendBounded(buffer, c.tail, c.size);
    EXPECT_EQ(std::string(buffer), c.expected);
    EXPECT_EQ(length, c.expected.size());
    EXPECT_EQ(buffer[c.size], 'x') << "wrote past the capacity";
  }
}

TEST(AppendBounded, AnUnterminatedBufferIsNeverReadPastItsSize) {
  char buffer[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  EXPECT_EQ(AppendBounded(buffer, "g", sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "abcd");
}
