#include "common/bounded.h"

void CopyBounded(char* dst, const char* src, std::size_t size) {
  if (dst == nullptr || size == 0) {
    return;
  }
  std::size_t n = 0;
  if (src != nullptr) {
    while (n + 1 < size && src[n] != '\0') {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = '\0';
}

std::size_t AppendBounded(char* dst, const char* src, std::size_t size) {
  if (dst == nullptr || size < 2) {
    return dst == nullptr || size == 0 ? 0 : BoundedLength(dst, size);
  }
  const std::size_t limit = size - 2;
  std::size_t len = BoundedLength(dst, size);
  if (len > limit) {
    len = limit;
  }
  if (src != nullptr) {
    for (std::size_t i = 0; src[i] != '\0' && len < limit; ++i) {
      dst[len++] = src[i];
    }
  }
  dst[len] = '\0';
  return len;
}

std::size_t BoundedLength(const char* text, std::size_t capacity) {
  if (text == nullptr) {
    return 0;
  }
  std::size_t n = 0;
  while (n < capacity && text[n] != '\0') {
    ++n;
  }
  return n;
}
