#include "settings/registry_access.h"

#include "fake_world.h"

#include <cstring>

namespace {

class RegistryAccessTest : public FakeWindowsTest {};

TEST(ParseRegPath, FindsTheRootAndTheSubKey) {
  struct Case {
    const char* path;
    win::RegKey root;
    const char* subKey;
  };
  const Case cases[] = {
      {"HKEY_CLASSES_ROOT\\http\\shell", win::HkeyClassesRoot, "http\\shell"},
      {"HKCR\\http", win::HkeyClassesRoot, "http"},
      {"HKEY_CURRENT_USER\\Software", win::HkeyCurrentUser, "Software"},
      {"HKCU\\AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.Current", win::HkeyCurrentUser,
       "AppEvents\\Schemes\\Apps\\.Default\\CCSelect\\.Current"},
      {"hkcu\\AppEvents", win::HkeyCurrentUser, "AppEvents"},
      {"hkey_current_user\\AppEvents", win::HkeyCurrentUser, "AppEvents"},
      {"HKEY_LOCAL_MACHINE\\Software", win::HkeyLocalMachine, "Software"},
      {"HKLM\\Software", win::HkeyLocalMachine, "Software"},
      {"HKEY_USERS\\.DEFAULT", win::HkeyUsers, ".DEFAULT"},
      {"HKUS\\.DEFAULT", win::HkeyUsers, ".DEFAULT"},
      // Without a root name the path is taken as a sub-key of HKEY_LOCAL_MACHINE.
      {"Software", win::HkeyLocalMachine, "Software"},
      {"HKCU", win::HkeyLocalMachine, "HKCU"},
      {"HKXX\\Software\\Run", win::HkeyLocalMachine, "Software\\Run"},
      {"HKU\\.DEFAULT", win::HkeyLocalMachine, ".DEFAULT"},
      {"HKCU \\Software", win::HkeyLocalMachine, "Software"},
      {"\\Software", win::HkeyLocalMachine, "Software"},
      {"HKCU\\", win::HkeyCurrentUser, ""},
      {"", win::HkeyLocalMachine, ""},
  };
  for (const Case& c : cases) {
    char subKey[RegPathCapacity];
    EXPECT_EQ(ParseRegPath(c.path, subKey, sizeof subKey), c.root) << c.path;
    EXPECT_STREQ(subKey, c.subKey) << c.path;
  }
}

TEST(ParseRegPath, AFirstBackslashFromPosition100OnMakesTheWholePathASubKey) {
  const std::string at99 = std::string(99, 'k') + "\\Sub";
  const std::string at100 = std::string(100, 'k') + "\\Sub";
  char subKey[RegPathCapacity];
  EXPECT_EQ(ParseRegPath(at99.c_str(), subKey, sizeof subKey), win::HkeyLocalMachine);
  EXPECT_STREQ(subKey, "Sub");
  ParseRegPath(at100.c_str(), subKey, sizeof subKey);
  EXPECT_EQ(subKey, at100);
}

TEST(ParseRegPath, ALongSubKeyIsCutToTheBuffer) {
  const std::string path = "HKCU\\" + std::string(400, 's');
  char subKey[16];
  std::memset(subKey, 'x', sizeof subKey);
  EXPECT_EQ(ParseRegPath(path.c_str(), subKey, sizeof subKey), win::HkeyCurrentUser);
  EXPECT_EQ(std::string(subKey), std::string(15, 's'));
}

TEST(JoinRegPath, AddsExactlyOneBackslashAndRefusesToCut) {
  struct Case {
    std::string path;
    std::string name;
    bool joined;
    std::string expected;
  };
  const Case cases[] = {
      {"HKCU\\A", "B", true, "HKCU\\A\\B"},
      {"HKCU\\A\\", "B", true, "HKCU\\A\\B"},
      {"HKCU\\A", "\\B", true, "HKCU\\A\\B"},
      {"HKCU\\" + std::string(250, 'a'), std::string(3, 'b'), true,
       "HKCU\\" + std::string(250, 'a') + "\\bbb"}, // 259 characters
      {"HKCU\\" + std::string(250, 'a'), std::string(4, 'b'), false, ""},
  };
  for (const Case& c : cases) {
    char result[RegPathCapacity];
    EXPECT_EQ(JoinRegPath(c.path.c_str(), c.name.c_str(), result, sizeof result), c.joined);
    EXPECT_EQ(std::string(result), c.expected);
  }
}

TEST_F(RegistryAccessTest, WritingCreatesMissingKeysAndReadingTerminatesTheText) {
  ASSERT_TRUE(WriteRegValue(win::HkeyCurrentUser, "Software\\Dorvane\\Deep", "Name", "value", 5,
                            win::RegSz));
  EXPECT_EQ(fake::GetRegValue("HKCU\\Software\\Dorvane\\Deep", "Name"),
            fake::RegValue::Text("value"));
  char text[16];
  std::memset(text, 'x', sizeof text);
  win::RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_TRUE(ReadRegValue(win::HkeyCurrentUser, "Software\\Dorvane\\Deep", "Name", text,
                           sizeof text, &type, &size));
  EXPECT_STREQ(text, "value");
  EXPECT_EQ(type, win::RegSz);
  EXPECT_EQ(size, 5u);
}

TEST_F(RegistryAccessTest, ReadingFailsWithAnEmptyDestination) {
  fake::PutRegValue("HKCU\\K", "Exact", fake::RegValue::Text("12345678"));
  fake::PutRegValue("HKCU\\K", "Terminated", fake::RegValue{win::RegSz, {'1', '2', '3', 0}});
  struct Case {
    const char* subKey;
    const char* value;
    std::uint32_t capacity;
    bool ok;
    const char* text;
  };
  const Case cases[] = {
      {"K", "Missing", 16, false, ""},
      {"NoKey", "Exact", 16, false, ""},
      {"K", "Exact", 9, true, "12345678"},
      {"K", "Exact", 8, false, ""}, // no room left for the terminator
      {"K", "Exact", 4, false, ""},
      {"K", "Terminated", 4, true, "123"},
  };
  for (const Case& c : cases) {
    char text[32];
    std::strcpy(text, "stale");
    EXPECT_EQ(
        ReadRegValue(win::HkeyCurrentUser, c.subKey, c.value, text, c.capacity, nullptr, nullptr),
        c.ok)
        << c.value << " " << c.capacity;
    EXPECT_STREQ(text, c.text);
  }
}

TEST_F(RegistryAccessTest, ANullValueNameReadsTheDefaultValue) {
  fake::PutRegValue("HKCR\\http\\shell\\open\\command", "", fake::RegValue::Text("browser.exe"));
  char text[258];
  EXPECT_TRUE(ReadRegValue(win::HkeyClassesRoot, "http\\shell\\open\\command", nullptr, text,
                           sizeof text, nullptr, nullptr));
  EXPECT_STREQ(text, "browser.exe");
}

TEST_F(RegistryAccessTest, DeletingWhatIsNotThereReportsFalse) {
  fake::PutRegValue("HKCU\\K", "V", fake::RegValue::Text("x"));
  EXPECT_FALSE(DeleteRegValue(win::HkeyCurrentUser, "K", "Other"));
  EXPECT_FALSE(DeleteRegValue(win::HkeyCurrentUser, "NoKey", "V"));
  EXPECT_TRUE(DeleteRegValue(win::HkeyCurrentUser, "K", "V"));
  EXPECT_FALSE(fake::GetRegValue("HKCU\\K", "V"));
  EXPECT_FALSE(DeleteRegKey(win::HkeyCurrentUser, "NoKey"));
  EXPECT_TRUE(DeleteRegKey(win::HkeyCurrentUser, "K"));
  EXPECT_FALSE(fake::RegKeyPresent("HKCU\\K"));
}

TEST_F(RegistryAccessTest, AReadOnlyRootRefusesWritesAndDeletions) {
  fake::PutRegValue("HKLM\\Software\\Run", "V", fake::RegValue::Text("x"));
  world().readOnlyRoots.insert(win::HkeyLocalMachine);
  EXPECT_FALSE(WriteRegValue(win::HkeyLocalMachine, "Software\\Run", "W", "y", 1, win::RegSz));
  EXPECT_FALSE(DeleteRegValue(win::HkeyLocalMachine, "Software\\Run", "V"));
  EXPECT_TRUE(RegKeyExists("HKLM\\Software\\Run"));
}

TEST_F(RegistryAccessTest, TreeDeletionRemovesThreeLevelsAndTheKey) {
  for (const char* key :
       {"HKCU\\T\\A\\A1\\A11", "HKCU\\T\\A\\A2", "HKCU\\T\\B\\B1\\B11", "HKCU\\T\\C"}) {
    fake::MakeRegKey(key);
    fake::PutRegValue(key, "V", fake::RegValue::Text("x"));
  }
  fake::MakeRegKey("HKCU\\Tx"); // a sibling whose name begins the same
  EXPECT_TRUE(DeleteRegKeyTree("HKCU\\T"));
  EXPECT_FALSE(fake::RegKeyPresent("HKCU\\T"));
  EXPECT_TRUE(fake::RegKeyPresent("HKCU\\Tx"));
  EXPECT_FALSE(DeleteRegKeyTree("HKCU\\T"));
  EXPECT_FALSE(RegKeyExists("HKCU\\T"));
}

TEST_F(RegistryAccessTest, AnUndeletableSubKeyIsSteppedOverAndReportedAtTheEnd) {
  for (const char* key : {"HKCU\\T\\A", "HKCU\\T\\B\\B1", "HKCU\\T\\C"}) {
    fake::MakeRegKey(key);
  }
  world().undeletableKeys.insert("HKCU\\T\\B\\B1");
  EXPECT_FALSE(DeleteRegKeyTree("HKCU\\T"));
  EXPECT_FALSE(fake::RegKeyPresent("HKCU\\T\\A"));
  EXPECT_FALSE(fake::RegKeyPresent("HKCU\\T\\C"));
  EXPECT_TRUE(fake::RegKeyPresent("HKCU\\T\\B\\B1"));
  // Every opened key was closed again.
  EXPECT_TRUE(world().openKeys.empty());
}

TEST_F(RegistryAccessTest, ASubKeyWhosePathWouldBeCutIsNeverMistakenForAnother) {
  const std::string parent = "HKCU\\" + std::string(250, 'p');
  fake::MakeRegKey(parent + "\\" + std::string(20, 'c'));
  fake::MakeRegKey(parent + "\\cccc"); // what a cut path would name
  EXPECT_FALSE(DeleteRegKeyTree(parent.c_str()));
  EXPECT_TRUE(fake::RegKeyPresent(parent + "\\" + std::string(20, 'c')));
}

TEST_F(RegistryAccessTest, EveryOperationClosesTheKeysItOpened) {
  fake::PutRegValue("HKCU\\K", "V", fake::RegValue::Text("x"));
  char text[8];
  RegKeyExists("HKCU\\K");
  ReadRegValue(win::HkeyCurrentUser, "K", "V", text, sizeof text, nullptr, nullptr);
  ReadRegValue(win::HkeyCurrentUser, "K", "V", text, 1, nullptr, nullptr);
  WriteRegValue(win::HkeyCurrentUser, "K\\New", "V", "y", 1, win::RegSz);
  DeleteRegValue(win::HkeyCurrentUser, "K", "Missing");
  DeleteRegKeyTree("HKCU\\K");
  EXPECT_TRUE(world().openKeys.empty());
}

} // namespace
