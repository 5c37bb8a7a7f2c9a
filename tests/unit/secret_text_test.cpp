// Every holder of a password wipes all of its buffer before the memory goes back: the hook sees
// each wiped buffer at that moment, so a test checks what freed memory would keep without
// reading it after it is freed.

#include "common/secret_text.h"
#include "dialogs/target_request.h"
#include "settings/settings.h"
#include "ui/control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Wiped;

void Observe(const char* buffer, std::size_t size) {
  Wiped.emplace_back(buffer, size);
}

// The wiped buffers that held at least `size` bytes, each all zero.
std::size_t ZeroedBuffersOfAtLeast(std::size_t size) {
  return static_cast<std::size_t>(std::count_if(Wiped.begin(), Wiped.end(), [size](const auto& b) {
    return b.size() >= size && std::all_of(b.begin(), b.end(), [](char c) { return c == '\0'; });
  }));
}

TEST(SecretText, EachHolderWipesItsWholeBufferWhenItGoes) {
  const std::string longSecret(100, 'p'); // on the heap
  const std::string shortSecret = "pw";   // inside the string itself
  struct Case {
    const char* holder;
    std::size_t wipedSize; // the buffers of at least this size that must be wiped
    std::size_t buffers;
    std::function<void()> live;
  };
  const Case cases[] = {
      {"a long secret", longSecret.size(), 1, [&] { SecretText secret(longSecret); }},
      // Its empty start and its end.
      {"a short secret", shortSecret.size(), 2, [&] { SecretText secret(shortSecret); }},
      // The capacity, not the size: the long text's bytes stay past the short one's end.
      {"a secret replaced by a shorter one", longSecret.size(), 2,
       [&] {
         SecretText secret(longSecret);
         secret.Assign(shortSecret);
       }},
      {"a copy", longSecret.size(), 2,
       [&] {
         SecretText secret(longSecret);
         SecretText copy = secret;
         Wiped.clear();
       }},
      // The copy it was given, the text it replaced and its last text.
      {"a password edit's text", longSecret.size(), 3,
       [&] {
         ui::Edit edit(nullptr, "EdPass", {}, '*');
         edit.TextFromUser(longSecret);
         edit.TextFromUser(shortSecret);
       }},
      {"a copy of the settings", SettingsTextCapacity, 1,
       [&] {
         Settings settings{};
         std::strcpy(settings.Password, "pw");
       }},
      {"a dialog's request", longSecret.size(), 1,
       [&] {
         TargetRequest request;
         request.Password.Assign(longSecret);
       }},
  };
  SetWipeObserver(Observe);
  for (const Case& c : cases) {
    Wiped.clear();
    c.live();
    EXPECT_GE(ZeroedBuffersOfAtLeast(c.wipedSize), c.buffers) << c.holder;
  }
  SetWipeObserver(nullptr);
}

} // namespace
