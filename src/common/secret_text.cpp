#include "common/secret_text.h"

namespace {
WipeObserver Observer = nullptr;
} // namespace

void WipeBytes(void* data, std::size_t size) {
  volatile auto* bytes = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = 0;
  }
  if (Observer != nullptr) {
    Observer(static_cast<const char*>(data), size);
  }
}

void WipeString(std::string& text) {
  // Growing within the capacity moves nothing: the characters past the size are the buffer's too.
  text.resize(text.capacity());
  WipeBytes(text.data(), text.size());
  text.clear();
}

SecretText& SecretText::operator=(const SecretText& other) {
  if (this != &other) {
    Assign(other.View());
  }
  return *this;
}

void SecretText::Assign(std::string_view text) {
  WipeString(text_);
  text_.assign(text);
}

char* SecretText::Prepare(std::size_t size) {
  WipeString(text_);
  text_.resize(size);
  return text_.data();
}

void SecretText::Shorten(std::size_t size) {
  if (size < text_.size()) {
    WipeBytes(text_.data() + size, text_.size() - size);
    text_.resize(size);
  }
}

void SetWipeObserver(WipeObserver observer) {
  Observer = observer;
}
