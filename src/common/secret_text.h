#pragma once
// A password in memory. Its whole buffer, not only the characters in use, is overwritten when the
// text is replaced or goes away, so that no freed block keeps a copy for whoever reads the
// process's memory later.

#include <cstddef>
#include <string>
#include <string_view>

// Overwrites the bytes through a volatile pointer: a compiler may not drop the writes as stores
// nobody reads.
void WipeBytes(void* data, std::size_t size);
// Overwrites every byte the string's buffer holds, up to its capacity, then empties it.
void WipeString(std::string& text);

class SecretText {
public:
  SecretText() = default;
  explicit SecretText(std::string_view text) { Assign(text); }
  SecretText(const SecretText& other) { Assign(other.View()); }
  SecretText& operator=(const SecretText& other);
  ~SecretText() { WipeString(text_); }

  // The old text is wiped before the new one takes its place; `text` is never a part of it.
  void Assign(std::string_view text);
  void Clear() { WipeString(text_); }
  // Room for `size` characters, all zero, for a call that writes the text in place.
  char* Prepare(std::size_t size);
  // Drops what follows the first `size` characters, wiped.
  void Shorten(std::size_t size);

  const char* c_str() const { return text_.c_str(); }
  std::string_view View() const { return text_; }
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

private:
  std::string text_;
};

// For the tests: sees every buffer just after it was wiped and before its memory goes back.
using WipeObserver = void (*)(const char* buffer, std::size_t size);
void SetWipeObserver(WipeObserver observer);
