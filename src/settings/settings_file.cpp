#include "settings/settings_file.h"

#include "common/bounded.h"
#include "common/path.h"
#include "common/secret_text.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/buffered_file.h"
#include "settings/registry_access.h"
#include "settings/remote_password.h"

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr std::uint32_t LeadingReserved = 24;
constexpr std::uint32_t TrailingReserved = 20;
// A code page's number as decimal text, with room to spare.
constexpr std::uint32_t CodePageTextCapacity = 16;
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

// Texts are written in UTF-8 whatever the program's ANSI code page, and the file says so with
// this mark at the start of the reserved bytes after the header. An earlier version wrote zeros
// there and its texts in the ANSI code page of its machine; it skips the mark when it reads a
// newer file.
constexpr std::uint8_t Utf8Mark[] = {'U', 'T', 'F', '-', '8'};
static_assert(sizeof Utf8Mark <= LeadingReserved);

// The most bytes a text of the file may have for load to take it whole.
constexpr std::size_t FileTextLimit = SettingsTextCapacity - 1;

bool IsUtf8Continuation(char byte) {
  return (static_cast<std::uint8_t>(byte) & 0xC0) == 0x80;
}

// A converted text that grew beyond the record's capacity is cut there, in UTF-8 never inside a
// character.
void CutToFit(std::string& text, std::uint32_t codePage) {
  if (text.size() <= FileTextLimit) {
    return;
  }
  std::size_t cut = FileTextLimit;
  while (codePage == win::CpUtf8 && cut > 0 && IsUtf8Continuation(text[cut])) {
    --cut;
  }
  text.resize(cut);
}

// The text in another code page; unchanged when the code pages are the same or Windows can't
// convert it.
std::string InCodePage(const char* text, std::uint32_t from, std::uint32_t to) {
  std::string converted;
  if (from == to || !platform::ConvertCodePage(text, from, to, converted)) {
    return text;
  }
  CutToFit(converted, to);
  return converted;
}

// The code page a file of an earlier version holds its texts in: the machine's ANSI code page,
// which a program with the UTF-8 manifest no longer gets from GetACP.
std::uint32_t MachineAnsiCodePage() {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(AnsiCodePageKey, subKey, sizeof subKey);
  char number[CodePageTextCapacity] = {};
  std::uint32_t codePage = 0;
  if (ReadRegValue(root, subKey, AnsiCodePageValue, number, sizeof number, nullptr, nullptr)) {
    for (const char* digit = number; *digit >= '0' && *digit <= '9'; ++digit) {
      codePage = codePage * 10 + static_cast<std::uint32_t>(*digit - '0');
    }
  }
  return codePage != 0 ? codePage : platform::GetACP();
}

bool WriteFileText(BufferedFile& file, const char* text) {
  const std::string utf8 = InCodePage(text, platform::GetACP(), win::CpUtf8);
  return file.WriteCountedString(utf8.c_str(), SettingsTextCapacity);
}

// False when the load ends at this text: its stored length is beyond what a text may hold, so the
// bytes after it are no fields, or the file ends inside it.
bool ReadFileText(BufferedFile& file, char* text, std::uint32_t fileCodePage) {
  const bool whole = file.ReadCountedString(text, SettingsTextCapacity);
  std::string converted = InCodePage(text, fileCodePage, platform::GetACP());
  CopyBounded(text, converted.c_str(), SettingsTextCapacity);
  // An earlier version's file holds the password among its texts.
  WipeString(converted);
  return whole;
}

bool WriteFields(BufferedFile& file, const Settings& s, const char* headerText) {
  bool ok = file.WriteText(headerText);
  ok = file.Write(Utf8Mark, sizeof Utf8Mark) == static_cast<std::int32_t>(sizeof Utf8Mark) && ok;
  ok = WriteZeros(file, LeadingReserved - sizeof Utf8Mark) && ok;
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
  ok = WriteFileText(file, s.RemoteComputer) && ok;
  ok = WriteLittleEndian(file, s.RemoteReboot) && ok;
  ok = WriteLittleEndian(file, s.UseCredentials) && ok;
  ok = WriteFileText(file, s.UserName) && ok;
  // The password is kept in the user's credential store; the field stays for the layout.
  ok = file.WriteCountedString("", SettingsTextCapacity) && ok;
  ok = WriteLittleEndian(file, s.ConfirmExit) && ok;
  ok = WriteLittleEndian(file, s.LastCheckDay) && ok;
  ok = WriteZeros(file, TrailingReserved) && ok;
  return ok;
}

// What the user may have set on the settings file and a save must keep: its attributes
// (hidden, for one), and its owner and access list, since it tells about the remote connection.
struct FileProtection {
  std::uint32_t attributes = win::InvalidFileAttributes; // none: there is no file yet
  std::vector<std::uint8_t> security;                    // empty: the folder's, for a new file
};

// False, with the reason as the last error, when the file is there but its protection can't
// be read: a replacement would then be less protected than the file it replaces.
bool ReadProtection(const char* path, FileProtection& protection) {
  protection.attributes = platform::GetFileAttributesA(path);
  if (protection.attributes == win::InvalidFileAttributes) {
    const win::ErrorCode reason = platform::GetLastError();
    return reason == win::ErrorFileNotFound || reason == win::ErrorPathNotFound;
  }
  return platform::GetFileSecurityA(
      path, win::OwnerSecurityInformation | win::DaclSecurityInformation, protection.security);
}

bool GiveAttributes(const std::string& path, const FileProtection& protection) {
  if (protection.attributes == win::InvalidFileAttributes) {
    return true;
  }
  const std::uint32_t attributes = protection.attributes & KeptAttributes;
  return platform::SetFileAttributesA(path.c_str(),
                                      attributes != 0 ? attributes : win::FileAttributeNormal);
}

// Removes a temporary file, also one that already carries the attributes of the file it was to
// replace: Windows won't delete a read-only file nor overwrite a hidden one. The last error
// stays the reason the save failed.
void Discard(const std::string& path) {
  const win::ErrorCode reason = platform::GetLastError();
  platform::SetFileAttributesA(path.c_str(), win::FileAttributeNormal);
  platform::DeleteFileA(path.c_str());
  platform::SetLastError(reason);
}

// Reads the fields in file order over the record, up to the end of the file or the first text
// whose length can't be right.
void ReadFields(BufferedFile& file, Settings& s, std::uint32_t fileCodePage) {
  ReadLittleEndian(file, s.ForceApps);
  ReadLittleEndian(file, s.RunAtStartup);
  ReadLittleEndian(file, s.StartInTray);
  ReadLittleEndian(file, s.TimerActive);
  ReadLittleEndian(file, s.TimerHour);
  ReadLittleEndian(file, s.TimerMinute);
  ReadLittleEndian(file, s.ShowWarning);
  ReadLittleEndian(file, s.WarnSeconds);
  ReadLittleEndian(file, s.ShowRemoteWarning);
  ReadLittleEndian(file, s.RemoteWarnSeconds);
  ReadLittleEndian(file, s.TimerAction);
  if (!ReadFileText(file, s.RemoteComputer, fileCodePage)) {
    return;
  }
  ReadLittleEndian(file, s.RemoteReboot);
  ReadLittleEndian(file, s.UseCredentials);
  if (!ReadFileText(file, s.UserName, fileCodePage) ||
      !ReadFileText(file, s.Password, fileCodePage)) {
    return;
  }
  ReadLittleEndian(file, s.ConfirmExit);
  ReadLittleEndian(file, s.LastCheckDay);
  Skip(file, TrailingReserved);
}

// One try to read the file over the record, its texts into the program's code page. The record
// changes only when the whole file could be read.
SettingsLoad ReadSettingsFile(Settings& settings, const char* headerText, const char* path) {
  // No path: Windows could not tell where the program is. Nothing may be read or written
  // anywhere else, and a relative name would be found in the current folder.
  if (*path == '\0') {
    platform::SetLastError(win::ErrorInvalidName);
    return SettingsLoad::Unreadable;
  }
  BufferedFile file(path, BufferedFile::Mode::Reading);
  if (!file.IsOpen()) {
    const win::ErrorCode reason = platform::GetLastError();
    return reason == win::ErrorFileNotFound || reason == win::ErrorPathNotFound
               ? SettingsLoad::Missing
               : SettingsLoad::Unreadable;
  }
  Settings read = settings;
  if (file.MatchText(headerText)) {
    std::uint8_t reserved[LeadingReserved] = {};
    file.Read(reserved, sizeof reserved);
    const std::uint32_t fileCodePage =
        std::memcmp(reserved, Utf8Mark, sizeof Utf8Mark) == 0 ? win::CpUtf8 : MachineAnsiCodePage();
    ReadFields(file, read, fileCodePage);
  } else if (!file.ReadFailed()) {
    platform::SetLastError(win::ErrorInvalidData);
    return SettingsLoad::Unreadable;
  }
  if (file.ReadFailed()) {
    platform::SetLastError(file.ReadError());
    return SettingsLoad::Unreadable;
  }
  settings = read;
  return SettingsLoad::Read;
}

// Reads the file, and tries again while another program holds it, for a while.
SettingsLoad ReadSettingsFileWhenFree(Settings& settings, const char* headerText,
                                      const char* path) {
  const std::uint32_t start = platform::GetTickCount();
  for (;;) {
    const SettingsLoad result = ReadSettingsFile(settings, headerText, path);
    const win::ErrorCode reason = platform::GetLastError();
    const bool held = result == SettingsLoad::Unreadable &&
                      (reason == win::ErrorSharingViolation || reason == win::ErrorLockViolation);
    if (!held || platform::GetTickCount() - start >= SettingsLockWaitMilliseconds) {
      return result;
    }
    platform::Sleep(SettingsLockRetryMilliseconds);
  }
}

// Writes a new file beside the old one with the old one's owner and access list from its
// creation on, gives it the old one's attributes and moves it over the old one in one step.
bool WriteSettingsFile(const Settings& settings, const char* headerText, const char* path) {
  if (*path == '\0') {
    platform::SetLastError(win::ErrorInvalidName);
    return false;
  }
  FileProtection protection;
  if (!ReadProtection(path, protection)) {
    return false;
  }
  const std::string temporary = std::string(path) + SettingsTempSuffix;
  // A save cut off before its last step may have left its file behind.
  Discard(temporary);
  bool written = false;
  {
    BufferedFile file(temporary.c_str(), protection.security);
    if (!file.IsOpen()) {
      return false;
    }
    written = WriteFields(file, settings, headerText);
    written = file.Close() && written;
  }
  // Moving a file keeps its own attributes, not those of the file it replaces.
  if (!written || !GiveAttributes(temporary, protection) ||
      !platform::MoveFileReplacing(temporary.c_str(), path)) {
    Discard(temporary);
    return false;
  }
  return true;
}

} // namespace

std::string PathNextToProgram(const char* fileName) {
  std::string program;
  if (!platform::GetProgramPath(program)) {
    return {};
  }
  // The directory is everything up to the last backslash; a drive without a directory ("C:")
  // stands for itself.
  const std::size_t lastSlash = program.rfind('\\');
  std::string folder;
  if (lastSlash != std::string::npos) {
    folder = program.substr(0, lastSlash + 1);
  } else if (program.size() >= 2 && program[1] == ':') {
    folder = program.substr(0, 2);
  }
  return PathInFolder(folder, fileName);
}

SettingsLoad LoadSettings(Settings& settings, const char* headerText, const char* path) {
  const SettingsLoad result = ReadSettingsFileWhenFree(settings, headerText, path);
  const win::ErrorCode reason = platform::GetLastError();
  // A file of an earlier version still holds the password; it moves to the credential store at
  // the next save. The store's password also stays with a file that could not be read, so that a
  // save over that file doesn't remove it.
  if (settings.Password[0] == '\0') {
    LoadRemotePassword(settings);
  }
  platform::SetLastError(reason);
  return result;
}

bool KeepSettingsBackup(const char* path) {
  if (platform::GetFileAttributesA(path) == win::InvalidFileAttributes) {
    const win::ErrorCode reason = platform::GetLastError();
    return reason == win::ErrorFileNotFound || reason == win::ErrorPathNotFound;
  }
  return platform::CopyFileReplacing(path, (std::string(path) + SettingsBackupSuffix).c_str());
}

bool SaveSettings(const Settings& settings, const char* headerText, const char* path) {
  const bool saved = WriteSettingsFile(settings, headerText, path);
  const win::ErrorCode fileError = platform::GetLastError();
  const win::ErrorCode stored = StoreRemotePassword(settings);
  platform::SetLastError(!saved ? fileError : stored);
  return saved && stored == win::ErrorSuccess;
}
