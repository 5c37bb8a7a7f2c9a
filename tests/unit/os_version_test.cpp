#include "actions/os_version.h"

#include "fake_world.h"

namespace {

struct VersionCase {
  const char* name;
  std::uint32_t platformId;
  std::uint32_t major;
  std::uint32_t minor;
  const char* servicePack;
  std::uint8_t productType;
  int serverR2;
  bool hasNativeSystemInfo;
  std::uint16_t architecture;
  bool extendedRefused;
  OsVersionClass expected;
};

constexpr std::uint32_t Nine = win::VerPlatformWin32Windows;
constexpr std::uint32_t Nt = win::VerPlatformWin32Nt;
constexpr std::uint8_t Work = win::VerNtWorkstation;
constexpr std::uint8_t Server = 3;
constexpr std::uint16_t Amd64 = win::ProcessorArchitectureAmd64;

const VersionCase VersionCases[] = {
    {"Windows 95", Nine, 4, 0, "", 0, 0, true, 0, false, OsWin95},
    {"Windows 98", Nine, 4, 10, "", 0, 0, true, 0, false, OsWin98},
    {"Windows 98 with a service pack letter C", Nine, 4, 10, " C", 0, 0, true, 0, false, OsWin98},
    {"Windows 98 SE (A)", Nine, 4, 10, " A", 0, 0, true, 0, false, OsWin98SE},
    {"Windows 98 SE (B)", Nine, 4, 10, " B", 0, 0, true, 0, false, OsWin98SE},
    {"Windows Me", Nine, 4, 90, "", 0, 0, true, 0, false, OsWinMe},
    {"9x with an unknown minor", Nine, 4, 3, "", 0, 0, true, 0, false, OsUnknown},
    {"9x with major 5", Nine, 5, 0, "", 0, 0, true, 0, false, OsUnknown},
    {"NT 3.51", Nt, 3, 51, "", Work, 0, true, 0, false, OsWinNT4},
    {"NT 4.0", Nt, 4, 0, "", Work, 0, true, 0, false, OsWinNT4},
    {"NT with 9x numbers 4.90", Nt, 4, 90, "", Work, 0, true, 0, false, OsWinNT4},
    {"Windows 2000", Nt, 5, 0, "", Work, 0, true, 0, false, OsWin2000},
    {"Windows XP", Nt, 5, 1, "", Work, 0, true, 0, false, OsWinXP},
    {"Server 2003", Nt, 5, 2, "", Server, 0, true, Amd64, false, OsServer2003},
    {"5.2 workstation on x86", Nt, 5, 2, "", Work, 0, true, 0, false, OsServer2003},
    {"XP x64", Nt, 5, 2, "", Work, 0, true, Amd64, false, OsWinXPx64},
    {"XP x64 without GetNativeSystemInfo", Nt, 5, 2, "", Work, 0, false, Amd64, false,
     OsServer2003},
    {"Server 2003 R2 on a workstation AMD64", Nt, 5, 2, "", Work, 1, true, Amd64, false,
     OsServer2003R2},
    {"Server 2003 R2 without GetNativeSystemInfo", Nt, 5, 2, "", Server, 1, false, 0, false,
     OsServer2003R2},
    {"5.3 does not exist", Nt, 5, 3, "", Work, 0, true, 0, false, OsUnknown},
    {"Vista", Nt, 6, 0, "", Work, 0, true, 0, false, OsVista},
    {"Server 2008", Nt, 6, 0, "", Server, 0, true, 0, false, OsServer2008},
    {"6.0 answered only in the short form", Nt, 6, 0, "", Work, 0, true, 0, true, OsServer2008},
    {"Windows 7", Nt, 6, 1, "", Work, 0, true, Amd64, false, OsWin7},
    {"Server 2008 R2 takes the Windows 7 class", Nt, 6, 1, "", Server, 0, true, Amd64, false,
     OsWin7},
    {"Windows 8", Nt, 6, 2, "", Work, 0, true, Amd64, false, OsWin8},
    {"Windows 8.1", Nt, 6, 3, "", Work, 0, true, Amd64, false, OsWin81},
    {"Server 2012 R2 takes the 8.1 class", Nt, 6, 3, "", Server, 0, true, Amd64, false, OsWin81},
    {"Windows 10", Nt, 10, 0, "", Work, 0, true, Amd64, false, OsWin10},
    {"Windows 11 reports 10.0 too", Nt, 10, 0, "", Work, 0, true, Amd64, false, OsWin10},
    {"Server 2022", Nt, 10, 0, "", Server, 0, true, Amd64, false, OsWin10},
    {"a later NT release", Nt, 11, 0, "", Work, 0, true, Amd64, false, OsWin10},
    {"an NT 6.4 preview", Nt, 6, 4, "", Work, 0, true, Amd64, false, OsWin10},
    {"Win32s", 0, 3, 10, "", 0, 0, true, 0, false, OsUnknown},
    {"Windows CE", 3, 5, 0, "", 0, 0, true, 0, false, OsUnknown},
};

class OsVersionTest : public FakeWindowsTest {};

TEST_F(OsVersionTest, ClassifiesEveryRelease) {
  for (const VersionCase& c : VersionCases) {
    fake::ResetWorld();
    fake::VersionScript& v = world().version;
    v.platformId = c.platformId;
    v.major = c.major;
    v.minor = c.minor;
    v.servicePack = c.servicePack;
    v.productType = c.productType;
    v.serverR2 = c.serverR2;
    v.hasNativeSystemInfo = c.hasNativeSystemInfo;
    v.architecture = c.architecture;
    v.extendedRefused = c.extendedRefused;
    EXPECT_EQ(DetectOsVersion(), c.expected) << c.name;
  }
}

TEST_F(OsVersionTest, AFailedQueryIsUnknownAfterTryingBothForms) {
  world().version.queryFails = true;
  EXPECT_EQ(DetectOsVersion(), OsUnknown);
  EXPECT_EQ(fake::CallsNamed({"GetVersionExA"}),
            (std::vector<std::string>{"GetVersionExA(156)", "GetVersionExA(148)"}));
}

TEST_F(OsVersionTest, LooksForNativeSystemInfoOnlyOnTheServer2003Family) {
  fake::SetVersion(win::VerPlatformWin32Nt, 6, 1);
  DetectOsVersion();
  EXPECT_TRUE(fake::CallsNamed({"GetModuleHandleA", "GetSystemMetrics"}).empty());

  fake::SetVersion(win::VerPlatformWin32Nt, 5, 2);
  DetectOsVersion();
  EXPECT_EQ(
      fake::CallsNamed({"GetModuleHandleA", "GetNativeSystemInfo", "GetSystemMetrics"}).size(), 3u);
}

} // namespace
