#include "settings/run_at_startup.h"

#include "common/texts.h"
#include "fake_world.h"

namespace {

constexpr char UserRun[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char MachineRun[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct ClassCase {
  const char* name;
  std::uint32_t platformId;
  std::uint32_t major;
  std::uint32_t minor;
  std::uint8_t productType;
  bool perUser; // the Run value per user, and the sound key cleared
};

const ClassCase ClassCases[] = {
    {"undetermined", 0, 0, 0, 1, false},
    {"Windows 98", win::VerPlatformWin32Windows, 4, 10, 0, false},
    {"NT 4.0", win::VerPlatformWin32Nt, 4, 0, 1, false},
    {"Windows 2000", win::VerPlatformWin32Nt, 5, 0, 1, false},
    {"Windows XP", win::VerPlatformWin32Nt, 5, 1, 1, false},
    {"Server 2003", win::VerPlatformWin32Nt, 5, 2, 3, true},
    {"Vista", win::VerPlatformWin32Nt, 6, 0, 1, true},
    {"Windows 7", win::VerPlatformWin32Nt, 6, 1, 1, true},
    {"Windows 10", win::VerPlatformWin32Nt, 10, 0, 1, true},
};

class RunAtStartupTest : public FakeWindowsTest {};

TEST_F(RunAtStartupTest, RegistersUnderTheRunKeyOfTheWindowsClass) {
  for (const ClassCase& c : ClassCases) {
    fake::ResetWorld();
    fake::SetVersion(c.platformId, c.major, c.minor, c.productType);
    world().modulePath = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.exe";
    EXPECT_TRUE(ApplyRunAtStartup(true, RunValueName)) << c.name;
    const auto value = fake::GetRegValue(c.perUser ? UserRun : MachineRun, RunValueName);
    ASSERT_TRUE(value) << c.name;
    // The bare path: no quotes around the spaces, no arguments, no terminator.
    EXPECT_EQ(*value, fake::RegValue::Text(world().modulePath)) << c.name;
    EXPECT_FALSE(fake::GetRegValue(c.perUser ? MachineRun : UserRun, RunValueName)) << c.name;
  }
}

TEST_F(RunAtStartupTest, SwitchingOffDeletesTheValueAndFailsQuietlyWhenThereIsNone) {
  ASSERT_TRUE(ApplyRunAtStartup(true, RunValueName));
  EXPECT_TRUE(ApplyRunAtStartup(false, RunValueName));
  EXPECT_FALSE(fake::GetRegValue(UserRun, RunValueName));
  EXPECT_FALSE(ApplyRunAtStartup(false, RunValueName));
  EXPECT_TRUE(world().messageBoxes.empty());
}

TEST_F(RunAtStartupTest, AMachineKeyTheUserCannotWriteFailsQuietly) {
  fake::SetVersion(win::VerPlatformWin32Nt, 5, 1);
  world().readOnlyRoots.insert(win::HkeyLocalMachine);
  EXPECT_FALSE(ApplyRunAtStartup(true, RunValueName));
  EXPECT_TRUE(world().messageBoxes.empty());
}

TEST_F(RunAtStartupTest, AMovedProgramIsRegisteredUnderItsNewPath) {
  ApplyRunAtStartup(true, RunValueName);
  world().modulePath = "D:\\Tools\\DorvaneShutdown.exe";
  ApplyRunAtStartup(true, RunValueName);
  EXPECT_EQ(fake::GetRegValue(UserRun, RunValueName)->AsText(), "D:\\Tools\\DorvaneShutdown.exe");
}

TEST_F(RunAtStartupTest, TheSelectSoundIsClearedOnlyAfterXp) {
  constexpr char Sound[] = "HKCU\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.Current";
  for (const ClassCase& c : ClassCases) {
    fake::ResetWorld();
    fake::SetVersion(c.platformId, c.major, c.minor, c.productType);
    fake::PutRegValue(Sound, "", fake::RegValue::Text("select.wav"));
    fake::MakeRegKey(std::string(Sound) + "\\Nested");
    ClearSelectSound();
    EXPECT_EQ(fake::RegKeyPresent(Sound), !c.perUser) << c.name;
    EXPECT_TRUE(fake::RegKeyPresent("HKCU\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect"));
  }
}

TEST_F(RunAtStartupTest, NoSoundKeyMeansNothingIsDeleted) {
  ClearSelectSound();
  EXPECT_TRUE(fake::CallsNamed({"RegDeleteKeyA"}).empty());
}

} // namespace
