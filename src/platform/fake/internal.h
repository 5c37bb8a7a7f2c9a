#pragma once
// Shared by the fake's source files: call recording and the in-memory registry's lookups.

#include "platform/fake/fake.h"

#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace fake {

inline std::string FormatArgument(const char* text) {
  return text == nullptr ? "null" : text;
}
inline std::string FormatArgument(const std::string& text) {
  return text;
}
inline std::string FormatArgument(bool value) {
  return value ? "1" : "0";
}
template <typename Number>
requires std::is_arithmetic_v<Number> std::string FormatArgument(Number value) {
  return std::to_string(value);
}

// Guards the call list and the scripted results: requests may come from threads of their own.
std::mutex& CallsMutex();

// Appends "Name(a, b, c)" to the world's call list.
template <typename... Args> void Record(const char* name, const Args&... args) {
  if (!TheWorld().recordCalls) {
    return;
  }
  std::string call = name;
  call += '(';
  bool first = true;
  ((call += (first ? "" : ", ") + FormatArgument(args), first = false), ...);
  call += ')';
  const std::lock_guard<std::mutex> lock(CallsMutex());
  TheWorld().calls.push_back(std::move(call));
}

// Keeps the box in the world's list and plays the next scripted answer, OK when none is left.
int AnswerMessageBox(MessageBoxRecord box);

platform::LocalTime ClockAsLocalTime();

// Text of the code pages the fake knows (see World::ansiCodePage) as characters and back; a
// character the code page lacks becomes '?'. False for a code page the fake doesn't know.
bool DecodeCodePage(std::string_view text, std::uint32_t codePage, std::u32string& characters);
bool EncodeCodePage(const std::u32string& characters, std::uint32_t codePage, std::string& text);
std::pair<win::RegKey, std::vector<std::string>> SplitTestPath(const std::string& path);
RegNode* FindNode(win::RegKey root, const std::vector<std::string>& parts, bool create);

} // namespace fake
