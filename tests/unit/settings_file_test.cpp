#include "settings/settings_file.h"

#include "common/same_settings.h"
#include "common/texts.h"
#include "fake_world.h"
#include "platform/kernel.h"
#include "settings/buffered_file.h"

#include <cstring>
#include <optional>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes HeaderBytes() {
  return Bytes(SettingsHeader, SettingsHeader + std::strlen(SettingsHeader));
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// The reserved bytes after the header: those an earlier version writes, and this version's, which
// say that the texts are UTF-8.
Bytes EarlierReserved() {
  return Bytes(24, 0);
}
Bytes Utf8Reserved() {
  return Concat({{'U', 'T', 'F', '-', '8'}, Bytes(19, 0)});
}

Settings Defaults() {
  Settings s;
  SetDefaultSettings(s);
  return s;
}

// A record in which every field differs from its default.
Settings Filled() {
  Settings s = Defaults();
  s.ForceApps = 1;
  s.RunAtStartup = 0;
  s.StartInTray = 1;
  s.TimerActive = 1;
  s.TimerHour = 0x0102;
  s.TimerMinute = 45;
  s.ShowWarning = 0;
  s.WarnSeconds = 300;
  s.ShowRemoteWarning = 0;
  s.RemoteWarnSeconds = -5;
  s.TimerAction = 9;
  s.ConfirmExit = 1;
  std::strcpy(s.RemoteComputer, "PC7");
  s.RemoteReboot = 1;
  s.UseCredentials = 1;
  std::strcpy(s.UserName, "admin");
  std::strcpy(s.Password, "se cret");
  s.LastCheckDay = 0x01020304;
  return s;
}

class SettingsFileTest : public FakeWindowsTest {
protected:
  const std::string TempPath = std::string(SettingsPath) + SettingsTempSuffix;

  Bytes& File() { return world().files[SettingsPath]; }
  Settings Load(bool* loaded = nullptr) {
    Settings s = Defaults();
    const bool ok = LoadSettings(s, SettingsHeader, SettingsPath) == SettingsLoad::Read;
    if (loaded != nullptr) {
      *loaded = ok;
    }
    return s;
  }
};

TEST_F(SettingsFileTest, DefaultsAreSavedAsTheHeaderTheUtf8MarkAndSeventyThreeKnownBytes) {
  ASSERT_TRUE(SaveSettings(Defaults(), SettingsHeader, SettingsPath));
  const Bytes expected = Concat({
      HeaderBytes(),
      Utf8Reserved(),
      {0x00, 0x01, 0x00, 0x00}, // ForceApps, RunAtStartup, StartInTray, TimerActive
      {0x00, 0x00, 0x00, 0x00}, // TimerHour, TimerMinute
      {0x01, 0x0A, 0x00},       // ShowWarning, WarnSeconds
      {0x01, 0x14, 0x00},       // ShowRemoteWarning, RemoteWarnSeconds
      {0x01, 0x00},             // TimerAction
      {0x00, 0x00},             // RemoteComputer
      {0x00, 0x00},             // RemoteReboot, UseCredentials
      {0x00, 0x00, 0x00, 0x00}, // UserName, Password
      {0x00},                   // ConfirmExit
      {0x00, 0x00, 0x00, 0x00}, // LastCheckDay
      Bytes(20, 0),
  });
  EXPECT_EQ(File(), expected);
  EXPECT_EQ(File().size(), std::strlen(SettingsHeader) + 73);
}

TEST_F(SettingsFileTest, NumbersAndCountedStringsAreLittleEndian) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  const std::size_t h = std::strlen(SettingsHeader);
  const Bytes& f = File();
  EXPECT_EQ(Bytes(f.begin() + h + 28, f.begin() + h + 30), (Bytes{0x02, 0x01})); // TimerHour
  EXPECT_EQ(Bytes(f.begin() + h + 33, f.begin() + h + 35), (Bytes{0x2C, 0x01})); // 300
  EXPECT_EQ(Bytes(f.begin() + h + 36, f.begin() + h + 38), (Bytes{0xFB, 0xFF})); // -5
  EXPECT_EQ(Bytes(f.begin() + h + 40, f.begin() + h + 45), (Bytes{0x03, 0x00, 'P', 'C', '7'}));
  // The password's field stays, empty: the password is in the credential store.
  EXPECT_EQ(f.size(), h + 73 + 3 + 5);
  const std::size_t password = h + 46 + 3 + 5;
  EXPECT_EQ(Bytes(f.begin() + password, f.begin() + password + 2), (Bytes{0x00, 0x00}));
  // ConfirmExit follows the password, then LastCheckDay.
  const std::size_t confirm = h + 48 + 3 + 5;
  EXPECT_EQ(Bytes(f.begin() + confirm, f.begin() + confirm + 5),
            (Bytes{0x01, 0x04, 0x03, 0x02, 0x01}));
}

TEST_F(SettingsFileTest, RecordsSurviveASaveAndALoad) {
  Settings longest = Filled();
  std::memset(longest.RemoteComputer, 'R', 261);
  longest.RemoteComputer[261] = '\0';
  std::memset(longest.Password, 'p', 261);
  longest.Password[261] = '\0';
  Settings extremes = Defaults();
  extremes.TimerHour = -32768;
  extremes.WarnSeconds = 32767;
  extremes.LastCheckDay = -1;
  for (const Settings& original : {Defaults(), Filled(), longest, extremes}) {
    ASSERT_TRUE(SaveSettings(original, SettingsHeader, SettingsPath));
    bool loaded = false;
    EXPECT_TRUE(SameSettings(Load(&loaded), original));
    EXPECT_TRUE(loaded);
  }
}

TEST_F(SettingsFileTest, AMissingOrForeignFileLeavesEveryField) {
  bool loaded = true;
  EXPECT_TRUE(SameSettings(Load(&loaded), Defaults()));
  EXPECT_FALSE(loaded);

  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  world().credentials.clear();
  const Bytes good = File();
  for (std::size_t i = 0; i < std::strlen(SettingsHeader); ++i) {
    File() = good;
    File()[i] ^= 0x20; // another letter case, or another byte altogether
    EXPECT_TRUE(SameSettings(Load(&loaded), Defaults())) << "header byte " << i;
    EXPECT_FALSE(loaded);
  }
}

TEST_F(SettingsFileTest, AFileCutAnywhereKeepsTheDefaultsAfterTheCut) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  const Bytes whole = File();
  const std::size_t h = std::strlen(SettingsHeader);
  const Settings saved = Filled();
  const Settings defaults = Defaults();
  struct Field {
    std::size_t start;
    std::size_t end;
    bool (*same)(const Settings&, const Settings&);
  };
  const Field fields[] = {
      {h + 24, h + 25,
       [](const Settings& a, const Settings& b) { return a.ForceApps == b.ForceApps; }},
      {h + 27, h + 28,
       [](const Settings& a, const Settings& b) { return a.TimerActive == b.TimerActive; }},
      {h + 28, h + 30,
       [](const Settings& a, const Settings& b) { return a.TimerHour == b.TimerHour; }},
      {h + 38, h + 40,
       [](const Settings& a, const Settings& b) { return a.TimerAction == b.TimerAction; }},
      {h + 40, h + 45,
       [](const Settings& a, const Settings& b) {
         return !std::strcmp(a.RemoteComputer, b.RemoteComputer);
       }},
      {h + 47, h + 54,
       [](const Settings& a, const Settings& b) { return !std::strcmp(a.UserName, b.UserName); }},
      {h + 56, h + 57,
       [](const Settings& a, const Settings& b) { return a.ConfirmExit == b.ConfirmExit; }},
      {h + 57, h + 61,
       [](const Settings& a, const Settings& b) { return a.LastCheckDay == b.LastCheckDay; }},
  };
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    File() = Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    bool loaded = false;
    const Settings s = Load(&loaded);
    EXPECT_EQ(loaded, cut >= h) << "cut at " << cut;
    for (const Field& field : fields) {
      if (cut >= field.end) {
        EXPECT_TRUE(field.same(s, saved)) << "cut at " << cut << ", field at " << field.start;
      } else if (cut <= field.start) {
        EXPECT_TRUE(field.same(s, defaults)) << "cut at " << cut << ", field at " << field.start;
      }
    }
  }
}

TEST_F(SettingsFileTest, ANumberCutByTheEndOfTheFileHasOnlyItsLeadingBytesReplaced) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  File().resize(std::strlen(SettingsHeader) + 29); // inside TimerHour, after its low byte
  EXPECT_EQ(Load().TimerHour, 0x0002);
}

TEST_F(SettingsFileTest, AnOverLongTextLengthEndsTheLoadThere) {
  const std::size_t h = std::strlen(SettingsHeader);
  // Filled()'s file: RemoteComputer's length at h + 40, UserName's at h + 47, Password's at
  // h + 54; Password is in the store, so its stored length is 0.
  struct Case {
    std::size_t lengthAt;
    std::uint16_t length;
    bool remoteRebootRead, userNameRead, confirmExitRead;
  };
  const Case cases[] = {
      {h + 40, 261, true, true, true},       {h + 40, 262, false, false, false},
      {h + 40, 0xFFFF, false, false, false}, {h + 47, 262, true, false, false},
      {h + 54, 0x8000, true, true, false},
  };
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  world().credentials.clear();
  const Bytes whole = File();
  const Settings filled = Filled();
  const Settings defaults = Defaults();
  for (const Case& c : cases) {
    Bytes file = whole;
    const std::uint16_t stored =
        static_cast<std::uint16_t>(file[c.lengthAt] | file[c.lengthAt + 1] << 8);
    file[c.lengthAt] = static_cast<std::uint8_t>(c.length & 0xFF);
    file[c.lengthAt + 1] = static_cast<std::uint8_t>(c.length >> 8);
    // A length the record can take brings that many bytes with it.
    if (c.length <= SettingsTextCapacity - 1) {
      file.insert(file.begin() + static_cast<std::ptrdiff_t>(c.lengthAt + 2 + stored),
                  c.length - stored, 'x');
    }
    File() = file;
    bool loaded = false;
    const Settings s = Load(&loaded);
    EXPECT_TRUE(loaded) << c.length;
    EXPECT_EQ(s.WarnSeconds, filled.WarnSeconds) << "fields before the text are read";
    EXPECT_EQ(s.RemoteReboot, (c.remoteRebootRead ? filled : defaults).RemoteReboot) << c.length;
    EXPECT_EQ(s.UseCredentials, (c.remoteRebootRead ? filled : defaults).UseCredentials);
    EXPECT_STREQ(s.UserName, (c.userNameRead ? filled : defaults).UserName) << c.length;
    EXPECT_EQ(s.ConfirmExit, (c.confirmExitRead ? filled : defaults).ConfirmExit) << c.length;
    EXPECT_EQ(s.LastCheckDay, (c.confirmExitRead ? filled : defaults).LastCheckDay) << c.length;
  }
}

TEST_F(SettingsFileTest, AFileHeldByAnotherProgramIsTriedAgainForTwoSeconds) {
  struct Case {
    win::ErrorCode held;
    std::optional<std::uint32_t> freedAfter; // milliseconds; none: never
    SettingsLoad result;
  };
  const Case cases[] = {
      {win::ErrorSharingViolation, 0, SettingsLoad::Read},
      {win::ErrorSharingViolation, 1000, SettingsLoad::Read},
      {win::ErrorLockViolation, 1900, SettingsLoad::Read},
      {win::ErrorSharingViolation, 2500, SettingsLoad::Unreadable},
      {win::ErrorSharingViolation, std::nullopt, SettingsLoad::Unreadable},
      {win::ErrorAccessDenied, std::nullopt, SettingsLoad::Unreadable},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
    const std::uint32_t start = world().tickCount;
    world().unopenableFiles[SettingsPath] = c.held;
    if (c.freedAfter) {
      world().filesFreedAtTick[SettingsPath] = start + *c.freedAfter;
    }
    Settings s = Defaults();
    EXPECT_EQ(LoadSettings(s, SettingsHeader, SettingsPath), c.result) << c.held;
    const Settings expected = c.result == SettingsLoad::Read ? Filled() : Defaults();
    EXPECT_EQ(s.WarnSeconds, expected.WarnSeconds) << c.held;
    EXPECT_STREQ(s.UserName, expected.UserName) << c.held;
    const std::uint32_t waited = world().tickCount - start;
    EXPECT_LE(waited, c.held == win::ErrorAccessDenied ? 0 : SettingsLockWaitMilliseconds)
        << c.held;
    if (c.result == SettingsLoad::Unreadable) {
      EXPECT_EQ(platform::GetLastError(), c.held);
    }
  }
}

TEST_F(SettingsFileTest, WithoutTheProgramsPathNothingIsReadOrWrittenElsewhere) {
  world().modulePath.clear();
  const std::string path = PathNextToProgram(SettingsFileName);
  Settings s = Defaults();
  EXPECT_EQ(LoadSettings(s, SettingsHeader, path.c_str()), SettingsLoad::Unreadable);
  EXPECT_FALSE(SaveSettings(Filled(), SettingsHeader, path.c_str()));
  EXPECT_EQ(platform::GetLastError(), win::ErrorInvalidName);
  EXPECT_TRUE(world().files.empty());
}

TEST_F(SettingsFileTest, AFailedSaveKeepsThePreviousFileWhole) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  const Bytes previous = File();
  struct Case {
    const char* what;
    void (*breakIt)(fake::World&);
    win::ErrorCode reason; // the last error, whose text the user is shown
  };
  const Case cases[] = {
      {"disk full", [](fake::World& w) { w.diskSpace = 10; }, win::ErrorDiskFull},
      {"no space at all", [](fake::World& w) { w.diskSpace = 0; }, win::ErrorDiskFull},
      {"folder not writable", [](fake::World& w) { w.filesReadOnly = true; },
       win::ErrorAccessDenied},
      {"replace refused", [](fake::World& w) { w.moveFails = true; }, win::ErrorAccessDenied},
      {"attributes not taken over", [](fake::World& w) { w.results["SetFileAttributesA"] = {0}; },
       win::ErrorAccessDenied},
      {"owner and access list not readable",
       [](fake::World& w) { w.results["GetFileSecurityA"] = {0}; }, win::ErrorAccessDenied},
      {"read-only file",
       [](fake::World& w) { w.fileAttributes[SettingsPath] = win::FileAttributeReadOnly; },
       win::ErrorAccessDenied},
  };
  for (const Case& c : cases) {
    c.breakIt(world());
    EXPECT_FALSE(SaveSettings(Defaults(), SettingsHeader, SettingsPath)) << c.what;
    EXPECT_EQ(platform::GetLastError(), c.reason) << c.what;
    EXPECT_EQ(File(), previous) << c.what;
    EXPECT_EQ(world().files.count(TempPath), 0u) << c.what << ": temporary file left behind";
    world().diskSpace.reset();
    world().filesReadOnly = false;
    world().moveFails = false;
    world().results.clear();
    world().fileAttributes.clear();
  }
}

TEST_F(SettingsFileTest, ASaveKeepsTheFilesAttributesAndItsOwnerAndAccessListFromTheFirstByte) {
  const Bytes ownerOnly = {'o', 'w', 'n', 'e', 'r'};
  struct Case {
    const char* what;
    std::uint32_t attributes;
    bool temporaryLeft; // by a save that was cut off after taking the attributes over
  };
  const Case cases[] = {
      {"hidden", win::FileAttributeHidden | win::FileAttributeArchive, false},
      {"hidden system file, not indexed",
       win::FileAttributeHidden | win::FileAttributeSystem | win::FileAttributeNotContentIndexed,
       false},
      {"hidden, after an interrupted save", win::FileAttributeHidden, true},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ASSERT_TRUE(SaveSettings(Defaults(), SettingsHeader, SettingsPath));
    world().fileAttributes[SettingsPath] = c.attributes;
    world().fileSecurity[SettingsPath] = ownerOnly;
    if (c.temporaryLeft) {
      world().files[TempPath] = {0};
      world().fileAttributes[TempPath] = c.attributes;
    }
    world().calls.clear();
    EXPECT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath)) << c.what;
    EXPECT_TRUE(SameSettings(Load(), Filled())) << c.what;
    EXPECT_EQ(world().fileAttributes[SettingsPath], c.attributes) << c.what;
    EXPECT_EQ(world().fileSecurity[SettingsPath], ownerOnly) << c.what;
    // Never a moment with the folder's permissions: the file is made with the old ones.
    EXPECT_EQ(fake::CallsNamed({"GetFileSecurityA", "CreateNewFile"}),
              (std::vector<std::string>{"GetFileSecurityA(" + std::string(SettingsPath) + ", 5)",
                                        "CreateNewFile(" + TempPath + ", owner)"}))
        << c.what;
    EXPECT_EQ(world().files.count(TempPath), 0u) << c.what;
  }
}

TEST_F(SettingsFileTest, SavingWritesANewFileAndReplacesTheOldOneInOneStep) {
  ASSERT_TRUE(SaveSettings(Defaults(), SettingsHeader, SettingsPath));
  EXPECT_EQ(fake::CallsNamed({"CreateNewFile", "WriteFile", "MoveFileReplacing"}),
            (std::vector<std::string>{
                "CreateNewFile(" + TempPath + ", inherited)",
                "WriteFile(" + std::to_string(std::strlen(SettingsHeader) + 73) + ")",
                "MoveFileReplacing(" + TempPath + ", " + SettingsPath + ")"}));
}

TEST_F(SettingsFileTest, AnyBytesLoadWithoutOverrunAndWithTerminatedTexts) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  const Bytes valid = File();
  std::mt19937 random(20261207);
  for (int round = 0; round < 4000; ++round) {
    Bytes file;
    switch (round % 3) {
    case 0: // noise after a good header
      file = HeaderBytes();
      file.resize(file.size() + random() % 1200);
      for (std::size_t i = std::strlen(SettingsHeader); i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>(random());
      }
      break;
    case 1: // a valid file with a few bytes changed and cut somewhere
      file = valid;
      for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
        file[std::strlen(SettingsHeader) +
             random() % (valid.size() - std::strlen(SettingsHeader))] =
            static_cast<std::uint8_t>(random());
      }
      file.resize(random() % (file.size() + 1));
      break;
    default: // pure noise
      file.resize(random() % 400);
      for (auto& byte : file) {
        byte = static_cast<std::uint8_t>(random());
      }
    }
    File() = file;
    const Settings s = Load();
    EXPECT_LT(strnlen(s.RemoteComputer, SettingsTextCapacity), SettingsTextCapacity);
    EXPECT_LT(strnlen(s.UserName, SettingsTextCapacity), SettingsTextCapacity);
    EXPECT_LT(strnlen(s.Password, SettingsTextCapacity), SettingsTextCapacity);
  }
}

TEST_F(SettingsFileTest, TheStreamCarriesRequestsLargerThanItsBuffer) {
  Bytes data(25'000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7);
  }
  {
    BufferedFile out(SettingsPath, BufferedFile::Mode::Writing);
    EXPECT_EQ(out.Write(data.data(), 25'000), 25'000);
    EXPECT_TRUE(out.Close());
  }
  EXPECT_EQ(File(), data);
  BufferedFile in(SettingsPath, BufferedFile::Mode::Reading);
  Bytes back(30'000);
  EXPECT_EQ(in.Read(back.data(), 3), 3);
  EXPECT_EQ(in.Read(back.data() + 3, 29'997), 24'997);
  back.resize(25'000);
  EXPECT_EQ(back, data);
}

TEST_F(SettingsFileTest, TheSettingsPathIsNextToTheProgram) {
  struct Case {
    std::string module;
    std::string expected;
  };
  // 166 Cyrillic letters: 332 bytes in UTF-8, still under MAX_PATH characters.
  std::string cyrillic;
  for (int i = 0; i < 166; ++i) {
    cyrillic += "\xD0\x96";
  }
  const Case cases[] = {
      {"C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.exe",
       "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat"},
      {"C:\\DorvaneShutdown.exe", "C:\\DorvaneShutdown.dat"},
      {"\\\\server\\tools\\ds.exe", "\\\\server\\tools\\DorvaneShutdown.dat"},
      {"C:ds.exe", "C:\\DorvaneShutdown.dat"},
      {"C:\\" + cyrillic + "\\DorvaneShutdown.exe", "C:\\" + cyrillic + "\\DorvaneShutdown.dat"},
      {"C:\\" + std::string(400, 'd') + "\\DorvaneShutdown.exe",
       "C:\\" + std::string(400, 'd') + "\\DorvaneShutdown.dat"},
      {"", ""},
  };
  for (const Case& c : cases) {
    world().modulePath = c.module;
    EXPECT_EQ(PathNextToProgram(SettingsFileName), c.expected);
  }
}

// A file with the given reserved bytes and UserName, every other field at its default.
Bytes FileWithUserName(const Bytes& reserved, const std::string& userName) {
  Bytes file = Concat({HeaderBytes(), reserved});
  const Bytes beforeName = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x0A,
                            0x00, 0x01, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  file.insert(file.end(), beforeName.begin(), beforeName.end());
  file.push_back(static_cast<std::uint8_t>(userName.size()));
  file.push_back(static_cast<std::uint8_t>(userName.size() >> 8));
  file.insert(file.end(), userName.begin(), userName.end());
  return file;
}

constexpr char MachineCodePageKey[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
// "Иван" in the Cyrillic code page and in UTF-8; "Jürgen" in the Western code page and in UTF-8.
const std::string IvanCyrillic = "\xC8\xE2\xE0\xED";
const std::string IvanUtf8 = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";
const std::string JuergenWestern = "J\xFCrgen";
const std::string JuergenUtf8 = "J\xC3\xBCrgen";

TEST_F(SettingsFileTest, TextsReadRightFromFilesOfEitherVersionUnderEitherCodePage) {
  struct Case {
    const char* what;
    std::uint32_t programCodePage; // GetACP: UTF-8 where the manifest is honoured
    const char* machineCodePage;   // the registry's ACP, in which an earlier version wrote
    bool utf8Mark;
    std::string stored;
    std::string loaded;
  };
  const Case cases[] = {
      {"earlier file, Cyrillic machine, UTF-8 program", win::CpUtf8, "1251", false, IvanCyrillic,
       IvanUtf8},
      {"earlier file, Western machine, UTF-8 program", win::CpUtf8, "1252", false, JuergenWestern,
       JuergenUtf8},
      {"earlier file, older Windows", 1252, "1252", false, JuergenWestern, JuergenWestern},
      {"this version's file, UTF-8 program", win::CpUtf8, "1251", true, IvanUtf8, IvanUtf8},
      {"this version's file, older Cyrillic Windows", 1251, "1251", true, IvanUtf8, IvanCyrillic},
      {"this version's file, older Western Windows", 1252, "1252", true, IvanUtf8, "????"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().ansiCodePage = c.programCodePage;
    fake::PutRegValue(MachineCodePageKey, "ACP", fake::RegValue::Text(c.machineCodePage));
    File() = FileWithUserName(c.utf8Mark ? Utf8Reserved() : EarlierReserved(), c.stored);
    EXPECT_EQ(Load().UserName, c.loaded) << c.what;
  }
}

TEST_F(SettingsFileTest, TextsAreSavedInUtf8WhateverTheProgramsCodePage) {
  struct Case {
    std::uint32_t programCodePage;
    std::string userName;
  };
  const Case cases[] = {{win::CpUtf8, IvanUtf8}, {1251, IvanCyrillic}, {1252, JuergenWestern}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().ansiCodePage = c.programCodePage;
    Settings settings = Defaults();
    std::strcpy(settings.UserName, c.userName.c_str());
    ASSERT_TRUE(SaveSettings(settings, SettingsHeader, SettingsPath));
    const Bytes expected =
        FileWithUserName(Utf8Reserved(), c.userName == JuergenWestern ? JuergenUtf8 : IvanUtf8);
    EXPECT_EQ(Bytes(File().begin(), File().begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected)
        << c.programCodePage;
    EXPECT_STREQ(Load().UserName, c.userName.c_str()) << c.programCodePage;
  }
}

TEST_F(SettingsFileTest, ATextThatGrowsInUtf8IsCutBetweenCharacters) {
  world().ansiCodePage = win::CpUtf8;
  fake::PutRegValue(MachineCodePageKey, "ACP", fake::RegValue::Text("1251"));
  // 200 letters of an earlier version's file take two bytes each in UTF-8: as many whole
  // letters as the record holds arrive, and the text saves and loads again as it is.
  File() = FileWithUserName(EarlierReserved(), std::string(200, '\xE0'));
  const Settings loaded = Load();
  std::string expected;
  for (int i = 0; i < 130; ++i) {
    expected += "\xD0\xB0";
  }
  EXPECT_EQ(loaded.UserName, expected);
  ASSERT_TRUE(SaveSettings(loaded, SettingsHeader, SettingsPath));
  EXPECT_EQ(Load().UserName, expected);
}

TEST_F(SettingsFileTest, ThePasswordLivesInTheCredentialStoreAndNeverInTheFile) {
  Settings settings = Filled();
  std::strcpy(settings.Password, "pa55-word");
  ASSERT_TRUE(SaveSettings(settings, SettingsHeader, SettingsPath));
  const std::string bytes(File().begin(), File().end());
  EXPECT_EQ(bytes.find("pa55"), std::string::npos);
  ASSERT_EQ(world().credentials.count(RemoteCredentialTarget), 1u);
  EXPECT_EQ(world().credentials[RemoteCredentialTarget],
            (std::pair<std::string, std::string>{"pa55-word", "admin"}));
  EXPECT_STREQ(Load().Password, "pa55-word");

  // An emptied password leaves nothing behind in the store.
  settings.Password[0] = '\0';
  ASSERT_TRUE(SaveSettings(settings, SettingsHeader, SettingsPath));
  EXPECT_EQ(world().credentials.count(RemoteCredentialTarget), 0u);
  EXPECT_STREQ(Load().Password, "");
}

TEST_F(SettingsFileTest, AnEarlierVersionsPasswordIsReadAndMovesToTheStoreAtTheNextSave) {
  world().credentials[RemoteCredentialTarget] = {"older", ""};
  Bytes file = FileWithUserName(EarlierReserved(), "admin");
  file.insert(file.end(), {0x06, 0x00, 's', 'e', 'c', 'r', 'e', 't'});
  File() = file;
  const Settings loaded = Load();
  EXPECT_STREQ(loaded.Password, "secret") << "the file's password comes first";
  ASSERT_TRUE(SaveSettings(loaded, SettingsHeader, SettingsPath));
  EXPECT_EQ(std::string(File().begin(), File().end()).find("secret"), std::string::npos);
  EXPECT_EQ(world().credentials[RemoteCredentialTarget].first, "secret");
  EXPECT_STREQ(Load().Password, "secret");
}

TEST_F(SettingsFileTest, AStoreThatRefusesThePasswordFailsTheSaveWithItsReason) {
  constexpr win::ErrorCode NoLogonSession = 1312;
  world().credentialRefusal = NoLogonSession;
  EXPECT_FALSE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  EXPECT_EQ(platform::GetLastError(), NoLogonSession);
  world().credentialRefusal.reset();
  EXPECT_EQ(Load().WarnSeconds, 300) << "the other settings are saved";
}

} // namespace
