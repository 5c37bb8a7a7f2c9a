#include "actions/computer_list.h"

#include "fake_world.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<ListedComputer>;

std::vector<std::string> Describe(const Names& computers) {
  std::vector<std::string> described;
  for (const ListedComputer& computer : computers) {
    described.push_back(computer.name + (computer.possible ? "" : " (impossible)"));
  }
  return described;
}

TEST(ComputerList, OnlyNamesAComputerCanBearArePossible) {
  const std::string label63(63, 'l');
  const std::string name255 = label63 + '.' + label63 + '.' + label63 + '.' + label63;
  struct Case {
    std::string name;
    bool possible;
  };
  const Case cases[] = {
      {"PC1", true},          {"\\\\PC1", true},      {"pc-1.corp.example", true},
      {"192.168.0.10", true}, {label63, true},        {name255, true},
      {label63 + "l", false}, {name255 + "x", false}, {"", false},
      {"\\\\", false},        {"\\PC1", false},       {"\\\\\\\\PC1", false},
      {"P C", false},         {"a..b", false},        {".a", false},
      {"a.", false},          {"::1", false},         {"PC\x01", false},
      {"PC\x7F", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPossibleComputerName(c.name), c.possible) << c.name;
  }
  for (const char c : std::string("\\/:*?\"<>|,")) {
    EXPECT_FALSE(IsPossibleComputerName(std::string("PC") + c)) << c;
  }
}

TEST(ComputerList, OneNameALineWithoutBlanksCommentsOrSurroundingSpaces) {
  struct Case {
    std::string text;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"PC1\r\n\\\\PC2\n# lab\n\n  \t\npc3 \t\r\n   # indented note\nLAST",
       {"PC1", "\\\\PC2", "pc3", "LAST"}},
      {"\xEF\xBB\xBFPC1\r\nPC1\r\n", {"PC1", "PC1"}},
      {"PC1 # note\npc\rx\n", {"PC1 # note (impossible)", "pc\rx (impossible)"}},
      {"", {}},
      {"\n\r\n", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ParseComputerList(c.text)), c.names) << c.text;
  }
}

TEST(ComputerList, TheListJoinsTheBrowseListOnceByNameWhateverCaseAndPrefix) {
  const Names listed = {{"alpha", true}, {"\\\\Beta", true},  {"BETA", true},     {"x y", false},
                        {"X Y", false},  {"\\\\ALPHA", true}, {"\\gamma", false}, {"gamma", true}};
  EXPECT_EQ(Describe(MergeComputers({"\\\\ALPHA", "\\\\delta", "delta"}, listed)),
            (std::vector<std::string>{"\\\\ALPHA", "\\\\delta", "delta", "\\\\Beta",
                                      "x y (impossible)", "\\gamma (impossible)", "gamma"}));
  EXPECT_EQ(Describe(MergeComputers({"\\\\A"}, {})), std::vector<std::string>{"\\\\A"});
  EXPECT_EQ(CountPossibleComputers(listed), 3u);
}

class ComputerListFileTest : public FakeWindowsTest {};

TEST_F(ComputerListFileTest, AMissingFileIsNoListAndOneThatWontReadIsReportedWithItsError) {
  constexpr char path[] = "C:\\Dorvane\\list.txt";
  struct Case {
    std::optional<std::string> content;
    std::optional<win::ErrorCode> openError;
    bool readFails;
    ListFileState state;
    win::ErrorCode error;
    std::size_t names;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, false, ListFileState::Missing, 0, 0},
      {"PC1\nPC2\n", std::nullopt, false, ListFileState::Read, 0, 2},
      {std::string(5000, 'a') + "\nPC2", std::nullopt, false, ListFileState::Read, 0, 2},
      {"PC1\n", win::ErrorSharingViolation, false, ListFileState::Unreadable,
       win::ErrorSharingViolation, 0},
      {"PC1\n", win::ErrorPathNotFound, false, ListFileState::Missing, 0, 0},
      {"PC1\n", std::nullopt, true, ListFileState::Unreadable, 0, 0},
      {std::string((1 << 20) + 1, '\n'), std::nullopt, false, ListFileState::Unreadable,
       win::ErrorFileTooLarge, 0},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    if (c.content) {
      world().files[path].assign(c.content->begin(), c.content->end());
    }
    if (c.openError) {
      world().unopenableFiles[path] = *c.openError;
    }
    world().readFails = c.readFails;
    const ComputerListFile list = ReadComputerListFile(path);
    EXPECT_EQ(list.state, c.state) << c.names;
    EXPECT_EQ(list.error, c.error) << c.names;
    EXPECT_EQ(list.computers.size(), c.names);
    EXPECT_TRUE(world().openFiles.empty()) << "closed";
  }
}

} // namespace
