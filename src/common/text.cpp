#include "common/text.h"

#include <algorithm>

namespace {

char LowerAsciiLetter(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAsciiLetter(x) == LowerAsciiLetter(y);
         });
}

std::string LowerAsciiLetters(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAsciiLetter);
  return lowered;
}

std::string WithoutLineEnd(std::string text) {
  const std::size_t end = text.find_last_not_of("\r\n ");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}
