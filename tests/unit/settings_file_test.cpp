#include "settings/settings_file.h"

#include "common/same_settings.h"
#include "common/texts.h"
#include "fake_world.h"
#include "settings/buffered_file.h"

#include <cstring>
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
    const bool ok = LoadSettings(s, SettingsHeader, SettingsPath);
    if (loaded != nullptr) {
      *loaded = ok;
    }
    return s;
  }
};

TEST_F(SettingsFileTest, DefaultsAreSavedAsTheHeaderAndSeventyThreeKnownBytes) {
  ASSERT_TRUE(SaveSettings(Defaults(), SettingsHeader, SettingsPath));
  const Bytes expected = Concat({
      HeaderBytes(),
      Bytes(24, 0),
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
  EXPECT_EQ(f.size(), h + 73 + 3 + 5 + 7);
  // ConfirmExit follows the password, then LastCheckDay.
  const std::size_t confirm = h + 48 + 3 + 5 + 7;
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
      {h + 63, h + 64,
       [](const Settings& a, const Settings& b) { return a.ConfirmExit == b.ConfirmExit; }},
      {h + 64, h + 68,
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

TEST_F(SettingsFileTest, StoredTextLengthsUpTo261LoadAndLongerOnesLeaveTheTextEmpty) {
  struct Case {
    std::uint16_t length;
    bool accepted;
  };
  const Case cases[] = {{0, true},       {260, true},     {261, true},    {262, false},
                        {0x7FFF, false}, {0x8000, false}, {0xFFFF, false}};
  for (const Case& c : cases) {
    // RemoteComputer with the given length field and that many 'x', then RemoteReboot 1 and
    // UseCredentials 1.
    Bytes file = Concat({HeaderBytes(), Bytes(24, 0), Bytes(16, 0)});
    file.push_back(static_cast<std::uint8_t>(c.length & 0xFF));
    file.push_back(static_cast<std::uint8_t>(c.length >> 8));
    file.insert(file.end(), c.length, 'x');
    file.insert(file.end(), {1, 1});
    File() = file;
    const Settings s = Load();
    if (c.accepted) {
      EXPECT_EQ(std::strlen(s.RemoteComputer), c.length);
      EXPECT_EQ(s.RemoteReboot, 1);
      EXPECT_EQ(s.UseCredentials, 1);
    } else {
      // The text stays empty and the next fields are read right after the length field.
      EXPECT_STREQ(s.RemoteComputer, "") << c.length;
      EXPECT_EQ(s.RemoteReboot, c.length > 0 ? 'x' : 1) << c.length;
    }
  }
}

TEST_F(SettingsFileTest, AFailedSaveKeepsThePreviousFileWhole) {
  ASSERT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath));
  const Bytes previous = File();
  struct Case {
    const char* what;
    void (*breakIt)(fake::World&);
  };
  const Case cases[] = {
      {"disk full", [](fake::World& w) { w.diskSpace = 10; }},
      {"no space at all", [](fake::World& w) { w.diskSpace = 0; }},
      {"folder not writable", [](fake::World& w) { w.filesReadOnly = true; }},
      {"replace refused", [](fake::World& w) { w.moveFails = true; }},
      {"attributes not taken over", [](fake::World& w) { w.results["SetFileAttributesA"] = {0}; }},
      {"permissions not taken over", [](fake::World& w) { w.results["SetFileSecurityA"] = {0}; }},
      {"read-only file",
       [](fake::World& w) { w.fileAttributes[SettingsPath] = win::FileAttributeReadOnly; }},
  };
  for (const Case& c : cases) {
    c.breakIt(world());
    EXPECT_FALSE(SaveSettings(Defaults(), SettingsHeader, SettingsPath)) << c.what;
    EXPECT_EQ(File(), previous) << c.what;
    EXPECT_EQ(world().files.count(TempPath), 0u) << c.what << ": temporary file left behind";
    world().diskSpace.reset();
    world().filesReadOnly = false;
    world().moveFails = false;
    world().results.clear();
    world().fileAttributes.clear();
  }
}

TEST_F(SettingsFileTest, ASaveKeepsTheFilesAttributesAndPermissions) {
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
    EXPECT_TRUE(SaveSettings(Filled(), SettingsHeader, SettingsPath)) << c.what;
    EXPECT_TRUE(SameSettings(Load(), Filled())) << c.what;
    EXPECT_EQ(world().fileAttributes[SettingsPath], c.attributes) << c.what;
    EXPECT_EQ(world().fileSecurity[SettingsPath], ownerOnly) << c.what;
    EXPECT_EQ(world().files.count(TempPath), 0u) << c.what;
  }
}

TEST_F(SettingsFileTest, SavingWritesANewFileAndReplacesTheOldOneInOneStep) {
  ASSERT_TRUE(SaveSettings(Defaults(), SettingsHeader, SettingsPath));
  EXPECT_EQ(fake::CallsNamed({"OpenFileForWriting", "WriteFile", "MoveFileReplacing"}),
            (std::vector<std::string>{
                "OpenFileForWriting(" + TempPath + ")",
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
  const std::string deep = "C:\\" + std::string(240, 'd') + "\\DorvaneShutdown.exe";
  const Case cases[] = {
      {"C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.exe",
       "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.dat"},
      {"C:\\DorvaneShutdown.exe", "C:\\DorvaneShutdown.dat"},
      {"\\\\server\\tools\\ds.exe", "\\\\server\\tools\\DorvaneShutdown.dat"},
      {"C:ds.exe", "C:\\DorvaneShutdown.dat"},
      {deep, ("C:\\" + std::string(240, 'd') + "\\DorvaneShutdown.dat").substr(0, 260)},
  };
  for (const Case& c : cases) {
    world().modulePath = c.module;
    EXPECT_EQ(PathNextToProgram(SettingsFileName), c.expected);
  }
}

} // namespace
