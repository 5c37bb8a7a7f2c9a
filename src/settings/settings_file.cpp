#include "settings/settings_file.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/buffered_file.h"

#include <cstring>
#include <type_traits>
#include <vector>

namespace {

constexpr std::uint32_t ModulePathCapacity = 262;
constexpr std::uint32_t LeadingReserved = 24;
constexpr std::uint32_t TrailingReserved = 20;
// The attributes a user may set on a file that still apply to its replacement.
constexpr std::uint32_t KeptAttributes = win::FileAttributeReadOnly | win::FileAttributeHidden |
                                         win::FileAttributeSystem | win::FileAttributeArchive |
                                         win::FileAttributeNotContentIndexed;

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

// What the user may have set on the settings file and a save must keep: its attributes
// (hidden, for one) and who may read it, since it holds the remote password.
struct FileProtection {
  std::uint32_t attributes = win::InvalidFileAttributes; // none: there is no file yet
  std::vector<std::uint8_t> access;                      // empty: not readable, left as it comes
};

FileProtection ProtectionOf(const char* path) {
  FileProtection protection;
  protection.attributes = platform::GetFileAttributesA(path);
  if (protection.attributes != win::InvalidFileAttributes) {
    platform::GetFileSecurityA(path, win::DaclSecurityInformation, protection.access);
  }
  return protection;
}

// The attributes first: a restricted access list may no longer let the program change them.
bool GiveProtection(const std::string& path, const FileProtection& protection) {
  if (protection.attributes == win::InvalidFileAttributes) {
    return true;
  }
  const std::uint32_t attributes = protection.attributes & KeptAttributes;
  return platform::SetFileAttributesA(path.c_str(),
                                      attributes != 0 ? attributes : win::FileAttributeNormal) &&
         (protection.access.empty() ||
          platform::SetFileSecurityA(path.c_str(), win::DaclSecurityInformation,
                                     protection.access));
}

// Removes a temporary file, also one that already carries the attributes of the file it was to
// replace: Windows won't delete a read-only file nor overwrite a hidden one.
void Discard(const std::string& path) {
  platform::SetFileAttributesA(path.c_str(), win::FileAttributeNormal);
  platform::DeleteFileA(path.c_str());
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
  const FileProtection protection = ProtectionOf(path);
  // A save cut off before its last step may have left its file behind.
  Discard(temporary);
  bool written = false;
  {
    BufferedFile file(temporary.c_str(), BufferedFile::Mode::Writing);
    if (!file.IsOpen()) {
      return false;
    }
    written = WriteFields(file, settings, headerText);
    written = file.Close() && written;
  }
  // Moving a file keeps its own attributes and access list, not those of the file it replaces.
  if (!written || !GiveProtection(temporary, protection) ||
      !platform::MoveFileReplacing(temporary.c_str(), path)) {
    Discard(temporary);
    return false;
  }
  return true;
}
