#pragma once
// Helpers shared by the fuzz targets. A failed check prints what broke and aborts, which
// libFuzzer reports as a crash and keeps the input for it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

inline bool TerminatedWithin(const char* buffer, std::size_t capacity) {
  return std::memchr(buffer, '\0', capacity) != nullptr;
}

// A buffer of exactly `size` bytes, so that any access past it is caught, holding no zero byte,
// as an uninitialised one on the stack may: a text the code under test leaves unterminated runs
// off its end.
inline std::unique_ptr<char[]> Buffer(std::size_t size) {
  auto buffer = std::make_unique_for_overwrite<char[]>(size);
  std::memset(buffer.get(), 'x', size);
  return buffer;
}

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Two texts from one input: the bytes before the first zero byte and those after it, up to the
// next zero byte, as a text can't hold one.
inline std::pair<std::string, std::string> TwoTexts(const std::uint8_t* data, std::size_t size) {
  const std::string all = Text(data, size);
  const std::size_t zero = all.find('\0');
  if (zero == std::string::npos) {
    return {all, ""};
  }
  const std::string rest = all.substr(zero + 1);
  return {all.substr(0, zero), rest.substr(0, rest.find('\0'))};
}
