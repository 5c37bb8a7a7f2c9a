#include "settings/settings_file.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/buffered_file.h"

#include <cstring>
#include <type_traits>

namespace {

constexpr std::uint32_t ModulePathCapacity = 262;
constexpr std::uint32_t LeadingReserved = 24;
constexpr std::uint32_t TrailingReserved = 20;

// Numbers are replaced byte by byte from the low end, so that a file cut inside a number
// changes only the bytes it still holds.
template <typename Integer> void ReadLittleEndian(BufferedFile& file, Integer& value) {
  std::uint8_t bytes[sizeof(Integer)] = {};
  const std::int32_t got = file.Read(bytes, sizeof bytes);
  auto bits = static_cast<std::make_unsigned_t<Integer>>(value);
  for (std::int32_t i = 0; i < got; ++i) {
    const unsigned shift = 8u * static_cast<unsigned>(i);
    bits = static_cast<decltype(bits)>((bits & ~(decltype(bits){0xFF} << shift)) |
                                       (decltype(bits){bytes[i]} << shift));
  }
  value = static_cast<Integer>(bits);
}

template <typename Integer> bool WriteLittleEndian(BufferedFile& file, Integer value) {
  std::uint8_t bytes[sizeof(Integer)];
  auto bits = static_cast<std::make_unsigned_t<Integer>>(value);
  for (std::size_t i = 0; i < sizeof(Integer); ++i) {
    bytes[i] = static_cast<std::uint8_t>(bits >> (8u * i));
  }
  return file.Write(bytes, sizeof bytes) == static_cast<std::int32_t>(sizeof bytes);
}

void Skip(BufferedFile& file, std::uint32_t count) {
  std::uint8_t ignored[LeadingReserved];
  while (count > 0) {
    const std::uint32_t piece = count < sizeof ignored ? count : sizeof ignored;
    file.Read(ignored, piece);
    count -= piece;
  }
}

bool WriteZeros(BufferedFile& file, std::uint32_t count) {
  const std::uint8_t zeros[LeadingReserved] = {};
  bool ok = true;
  while (count > 0) {
    const std::uint32_t piece = count < sizeof zeros ? count : sizeof zeros;
    ok = file.Write(zeros, piece) == static_cast<std::int32_t>(piece) && ok;
    count -= piece;
  }
  return ok;
}

bool WriteFields(BufferedFile& file, const Settings& s, const char* headerText) {
  bool ok = file.WriteText(headerText);
  ok = WriteZeros(file, LeadingReserved) && ok;
  ok = WriteLittleEndian(file, s.ForceApps) && ok;
  ok = WriteLittleEndian(file, s.RunAtStartup) && ok;
  ok = WriteLittleEndian(file, s.StartInTray) && ok;
  ok = WriteLittleEndian(file, s.TimerActive) && ok;
  ok = WriteLittleEndian(file, s.TimerHour) && ok;
  ok = WriteLittleEndian(file, s.TimerMinute) && ok;
  ok = WriteLittleEndian(file, s.ShowWarning) && ok;
  ok = WriteLittleEndian(file, s.WarnSeconds) && ok;
  ok = WriteLittleEndian(file, s.ShowRemoteWarning) && ok;
  ok = WriteLittleEndian(file, s.RemoteWarnSeconds) && ok;
  ok = WriteLittleEndian(file, s.TimerAction) && ok;
  ok = file.WriteCountedString(s.RemoteComputer, SettingsTextCapacity) && ok;
  ok = WriteLittleEndian(file, s.RemoteReboot) && ok;
  ok = WriteLittleEndian(file, s.UseCredentials) && ok;
  ok = file.WriteCountedString(s.UserName, SettingsTextCapacity) && ok;
  ok = file.WriteCountedString(s.Password, SettingsTextCapacity) && ok;
  ok = WriteLittleEndian(file, s.ConfirmExit) && ok;
  ok = WriteLittleEndian(file, s.LastCheckDay) && ok;
  ok = WriteZeros(file, TrailingReserved) && ok;
  return ok;
}

} // namespace

std::string PathNextToProgram(const char* fileName) {
  char module[ModulePathCapacity] = {};
  const std::uint32_t length = platform::GetModuleFileNameA(module, ModulePathCapacity - 1);
  module[length < ModulePathCapacity ? length : ModulePathCapacity - 1] = '\0';

  // The directory is everything up to the last backslash; a drive without a directory ("C:")
  // stands for itself.
  const char* lastSlash = std::strrchr(module, '\\');
  std::size_t prefixLength = 0;
  if (lastSlash != nullptr) {
    prefixLength = static_cast<std::size_t>(lastSlash - module) + 1;
  } else if (module[0] != '\0' && module[1] == ':') {
    prefixLength = 2;
  }
  char result[ModulePathCapacity] = {};
  module[prefixLength] = '\0';
  AppendBounded(result, module, sizeof result);
  if (prefixLength > 0 && module[prefixLength - 1] != '\\') {
    AppendBounded(result, "\\", sizeof result);
  }
  AppendBounded(result, fileName, sizeof result);
  return result;
}

bool LoadSettings(Settings& settings, const char* headerText, const char* path) {
  BufferedFile file(path, BufferedFile::Mode::Reading);
  if (!file.IsOpen()) {
    return false;
  }
  if (!file.MatchText(headerText)) {
    return false;
  }
  Skip(file, LeadingReserved);
  ReadLittleEndian(file, settings.ForceApps);
  ReadLittleEndian(file, settings.RunAtStartup);
  ReadLittleEndian(file, settings.StartInTray);
  ReadLittleEndian(file, settings.TimerActive);
  ReadLittleEndian(file, settings.TimerHour);
  ReadLittleEndian(file, settings.TimerMinute);
  ReadLittleEndian(file, settings.ShowWarning);
  ReadLittleEndian(file, settings.WarnSeconds);
  ReadLittleEndian(file, settings.ShowRemoteWarning);
  ReadLittleEndian(file, settings.RemoteWarnSeconds);
  ReadLittleEndian(file, settings.TimerAction);
  file.ReadCountedString(settings.RemoteComputer, SettingsTextCapacity);
  ReadLittleEndian(file, settings.RemoteReboot);
  ReadLittleEndian(file, settings.UseCredentials);
  file.ReadCountedString(settings.UserName, SettingsTextCapacity);
  file.ReadCountedString(settings.Password, SettingsTextCapacity);
  ReadLittleEndian(file, settings.ConfirmExit);
  ReadLittleEndian(file, settings.LastCheckDay);
  Skip(file, TrailingReserved);
  return true;
}

bool SaveSettings(const Settings& settings, const char* headerText, const char* path) {
  const std::string temporary = std::string(path) + SettingsTempSuffix;
  bool written = false;
  {
    BufferedFile file(temporary.c_str(), BufferedFile::Mode::Writing);
    if (!file.IsOpen()) {
      return false;
    }
    written = WriteFields(file, settings, headerText);
    written = file.Close() && written;
  }
  if (!written || !platform::MoveFileReplacing(temporary.c_str(), path)) {
    platform::DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}
