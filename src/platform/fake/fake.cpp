#include "platform/fake/fake.h"

#include "platform/fake/internal.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <utility>

namespace fake {

namespace {

World& Instance() {
  static World world;
  return world;
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, unsigned& month, unsigned& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

} // namespace

bool NoCase::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

RegValue RegValue::Text(const std::string& text) {
  return RegValue{win::RegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
}

RegValue RegValue::Dword(std::uint32_t value) {
  return RegValue{win::RegDword,
                  {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

std::string RegValue::AsText() const {
  std::string text(data.begin(), data.end());
  const auto end = text.find('\0');
  return end == std::string::npos ? text : text.substr(0, end);
}

World& TheWorld() {
  return Instance();
}

thread_local win::ErrorCode World::lastError = win::ErrorSuccess;

void ResetWorld() {
  // Swapped rather than assigned from a temporary, which GCC 12's optimiser takes for a read of
  // uninitialised memory.
  World fresh;
  std::swap(Instance(), fresh);
  World::lastError = win::ErrorSuccess;
  World& w = Instance();
  for (win::RegKey root :
       {win::HkeyClassesRoot, win::HkeyCurrentUser, win::HkeyLocalMachine, win::HkeyUsers}) {
    w.registry[root];
  }
  w.systemMessages[{win::LangEnglishUs, win::ErrorAccessDenied}] = "Access is denied.\r\n";
  w.systemMessages[{win::LangEnglishUs, win::ErrorNotAllAssigned}] =
      "Not all privileges or groups referenced are assigned to the caller.\r\n";
  w.systemMessages[{win::LangEnglishUs, 53}] = "The network path was not found.\r\n";
  w.systemMessages[{win::LangEnglishUs, 1326}] = "The user name or password is incorrect.\r\n";
  SetClock(2026, 12, 7, 9, 0, 0);
}

std::mutex& CallsMutex() {
  static std::mutex mutex;
  return mutex;
}

long NextResult(const std::string& call, long fallback) {
  const std::lock_guard<std::mutex> lock(CallsMutex());
  auto found = Instance().results.find(call);
  if (found == Instance().results.end() || found->second.empty()) {
    return fallback;
  }
  const long result = found->second.front();
  found->second.pop_front();
  return result;
}

std::vector<std::string> CallsNamed(const std::vector<std::string>& names) {
  const std::lock_guard<std::mutex> lock(CallsMutex());
  std::vector<std::string> matching;
  for (const std::string& call : Instance().calls) {
    const std::string name = call.substr(0, call.find('('));
    if (std::find(names.begin(), names.end(), name) != names.end()) {
      matching.push_back(call);
    }
  }
  return matching;
}

void SetClock(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  Instance().clockMilliseconds = ((days * 24 + hour) * 60 + minute) * 60'000LL + second * 1000LL;
}

void SetVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                std::uint8_t productType) {
  VersionScript& v = Instance().version;
  v.platformId = platformId;
  v.major = major;
  v.minor = minor;
  v.productType = productType;
}

int AnswerMessageBox(MessageBoxRecord box) {
  World& world = TheWorld();
  box.timeout = world.messageBoxTimeout;
  world.messageBoxes.push_back(std::move(box));
  if (world.messageBoxAnswers.empty()) {
    return win::IdOk;
  }
  const int answer = world.messageBoxAnswers.front();
  world.messageBoxAnswers.pop_front();
  return answer;
}

platform::LocalTime ClockAsLocalTime() {
  const std::int64_t ms = Instance().clockMilliseconds;
  const std::int64_t days = ms >= 0 ? ms / 86'400'000 : (ms - 86'399'999) / 86'400'000;
  const std::int64_t inDay = ms - days * 86'400'000;
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days, year, month, day);
  platform::LocalTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.dayOfWeek = static_cast<std::uint16_t>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday
  t.hour = static_cast<std::uint16_t>(inDay / 3'600'000);
  t.minute = static_cast<std::uint16_t>(inDay / 60'000 % 60);
  t.second = static_cast<std::uint16_t>(inDay / 1000 % 60);
  t.milliseconds = static_cast<std::uint16_t>(inDay % 1000);
  return t;
}

// Registry paths for the test helpers: a root name, then the components.
std::pair<win::RegKey, std::vector<std::string>> SplitTestPath(const std::string& path) {
  static const std::map<std::string, win::RegKey, NoCase> roots = {
      {"HKCR", win::HkeyClassesRoot},  {"HKEY_CLASSES_ROOT", win::HkeyClassesRoot},
      {"HKCU", win::HkeyCurrentUser},  {"HKEY_CURRENT_USER", win::HkeyCurrentUser},
      {"HKLM", win::HkeyLocalMachine}, {"HKEY_LOCAL_MACHINE", win::HkeyLocalMachine},
      {"HKUS", win::HkeyUsers},        {"HKEY_USERS", win::HkeyUsers}};
  std::vector<std::string> parts;
  std::stringstream stream(path);
  std::string part;
  while (std::getline(stream, part, '\\')) {
    if (!part.empty()) {
      parts.push_back(part);
    }
  }
  const win::RegKey root = roots.at(parts.front());
  parts.erase(parts.begin());
  return {root, parts};
}

RegNode* FindNode(win::RegKey root, const std::vector<std::string>& parts, bool create) {
  auto rootNode = Instance().registry.find(root);
  if (rootNode == Instance().registry.end()) {
    return nullptr;
  }
  RegNode* node = &rootNode->second;
  for (const std::string& part : parts) {
    auto child = node->keys.find(part);
    if (child == node->keys.end()) {
      if (!create) {
        return nullptr;
      }
      child = node->keys.emplace(part, RegNode{}).first;
    }
    node = &child->second;
  }
  return node;
}

void PutRegValue(const std::string& path, const std::string& name, const RegValue& value) {
  const auto [root, parts] = SplitTestPath(path);
  FindNode(root, parts, true)->values[name] = value;
}

std::optional<RegValue> GetRegValue(const std::string& path, const std::string& name) {
  const auto [root, parts] = SplitTestPath(path);
  const RegNode* node = FindNode(root, parts, false);
  if (node == nullptr) {
    return std::nullopt;
  }
  const auto value = node->values.find(name);
  return value == node->values.end() ? std::nullopt : std::optional<RegValue>(value->second);
}

void MakeRegKey(const std::string& path) {
  const auto [root, parts] = SplitTestPath(path);
  FindNode(root, parts, true);
}

bool RegKeyPresent(const std::string& path) {
  const auto [root, parts] = SplitTestPath(path);
  return FindNode(root, parts, false) != nullptr;
}

} // namespace fake

namespace fake {

namespace {

constexpr std::uint32_t WesternCodePage = 1252;
constexpr std::uint32_t CyrillicCodePage = 1251;
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char MissingCharacter = '?';

// Code page 1251 from 0xC0 on: the 32 capital and the 32 small letters in Unicode's order; and
// the two letters Ё and ё elsewhere.
constexpr std::uint8_t CyrillicFirstLetter = 0xC0;
constexpr char32_t UnicodeCyrillicCapitalA = 0x410;
constexpr std::uint8_t CyrillicCapitalIo = 0xA8;
constexpr std::uint8_t CyrillicSmallIo = 0xB8;
constexpr char32_t UnicodeCapitalIo = 0x401;
constexpr char32_t UnicodeSmallIo = 0x451;

char32_t CyrillicCharacter(std::uint8_t byte) {
  if (byte >= CyrillicFirstLetter) {
    return UnicodeCyrillicCapitalA + (byte - CyrillicFirstLetter);
  }
  if (byte == CyrillicCapitalIo) {
    return UnicodeCapitalIo;
  }
  if (byte == CyrillicSmallIo) {
    return UnicodeSmallIo;
  }
  return byte < 0x80 ? byte : ReplacementCharacter;
}

bool DecodeUtf8(std::string_view text, std::u32string& characters) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
    for (int k = 1; k < length && valid; ++k) {
      valid = i + k < text.size() && (static_cast<std::uint8_t>(text[i + k]) & 0xC0) == 0x80;
      c = (c << 6) | (static_cast<std::uint8_t>(text[i + k]) & 0x3F);
    }
    characters.push_back(valid ? c : ReplacementCharacter);
    i += valid ? static_cast<std::size_t>(length) : 1;
  }
  return true;
}

void EncodeUtf8(char32_t c, std::string& text) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

} // namespace

bool DecodeCodePage(std::string_view text, std::uint32_t codePage, std::u32string& characters) {
  characters.clear();
  switch (codePage) {
  case win::CpUtf8:
    return DecodeUtf8(text, characters);
  case WesternCodePage:
    for (const char byte : text) {
      characters.push_back(static_cast<std::uint8_t>(byte));
    }
    return true;
  case CyrillicCodePage:
    for (const char byte : text) {
      characters.push_back(CyrillicCharacter(static_cast<std::uint8_t>(byte)));
    }
    return true;
  default:
    return false;
  }
}

bool EncodeCodePage(const std::u32string& characters, std::uint32_t codePage, std::string& text) {
  text.clear();
  for (const char32_t c : characters) {
    switch (codePage) {
    case win::CpUtf8:
      EncodeUtf8(c, text);
      break;
    case WesternCodePage:
      text += c <= 0xFF ? static_cast<char>(c) : MissingCharacter;
      break;
    case CyrillicCodePage: {
      char byte = c < 0x80 ? static_cast<char>(c) : MissingCharacter;
      for (int b = 0x80; b <= 0xFF; ++b) {
        if (CyrillicCharacter(static_cast<std::uint8_t>(b)) == c) {
          byte = static_cast<char>(b);
        }
      }
      text += byte;
      break;
    }
    default:
      return false;
    }
  }
  return true;
}

} // namespace fake
