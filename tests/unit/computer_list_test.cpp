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
      {"PC1", true},
      {"\\\\PC1", true},
      {"pc-1.corp.example", true},
      {"192.168.0.10", true},
      {label63, true},
      {name255, true},
      {label63 + "l", false},
      {name255 + "x", false},
      {"", false},
      {"\\\\", false},
      {"\\PC1", false},
      {"\\\\\\\\PC1", false},
      {"P C", false},
      {"a..b", false},
      {".a", false},
      {"::1", false},
      {"PC\x01", false},
      {"PC\x7F", false},
      // One dot at the end is the root of a fully qualified name; it adds no label.
      {"a.", true},
      {"pc.corp.example.", true},
      {name255 + ".", true},
      {"a..", false},
      {".", false},
      {"\\.", false},
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
  // The root's dot names the same computer.
  EXPECT_EQ(Describe(MergeComputers({"pc.corp.example"}, {{"PC.corp.example.", true}})),
            std::vector<std::string>{"pc.corp.example"});
}

class ComputerListTextTest : public FakeWindowsTest {};

TEST_F(ComputerListTextTest, AUtf8ListIsDecodedAndANameTheAnsiCodePageLacksIsNeverSent) {
  // The fake's ANSI code page holds the Latin-1 letters, as a Western Windows does.
  const std::string zurichUtf8 = "Z\xC3\xBCrich";           // Zürich in UTF-8
  const std::string zurichAnsi = "Z\xFCrich";               // Zürich in the ANSI code page
  const std::string tokyoUtf8 = "\xE6\x9D\xB1\xE4\xBA\xAC"; // 東京, no ANSI letter
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"UTF-8 with mark",
       "\xEF\xBB\xBF" + zurichUtf8 + "\n" + tokyoUtf8,
       {zurichAnsi, "?? (impossible)"}},
      {"UTF-8 without mark", zurichUtf8 + "\r\nPC1", {zurichAnsi, "PC1"}},
      {"ANSI as before", zurichAnsi + "\nPC1", {zurichAnsi, "PC1"}},
      // A mark promises UTF-8: a line that breaks it is no name at all.
      {"broken UTF-8 after a mark",
       "\xEF\xBB\xBF"
       "PC\xC3\n" +
           zurichUtf8,
       {"PC\xC3 (impossible)", zurichAnsi}},
      {"overlong form",
       "\xEF\xBB\xBF"
       "PC\xC0\xAE",
       {"PC\xC0\xAE (impossible)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ParseComputerList(c.text)), c.names) << c.what;
  }
}

TEST_F(ComputerListTextTest, Utf8DecodingTakesValidTextOnly) {
  struct Case {
    std::string text;
    std::optional<std::u16string> decoded;
  };
  const Case cases[] = {
      {"PC", u"PC"},
      {"\xC3\xBC", u"\u00FC"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC3", std::nullopt},             // cut short
      {"\xC0\xAF", std::nullopt},         // overlong slash
      {"\xED\xA0\x80", std::nullopt},     // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt}, // past U+10FFFF
      {"\x80", std::nullopt},             // a lone continuation
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeUtf8(c.text), c.decoded) << c.text;
  }
}

TEST_F(ComputerListTextTest, BadLinesAreToldOnceWithTheirLineNumbersUpToTen) {
  std::string text = "GOOD1\n# note\n";
  for (int i = 0; i < 5000; ++i) {
    text += "bad name " + std::to_string(i) + "\n";
  }
  const std::vector<ListedComputer> listed = ParseComputerList(text);
  EXPECT_EQ(CountImpossibleLines(listed), 5000u);
  EXPECT_EQ(listed[1].line, 3u) << "line numbers count comments and blank lines";
  const std::string report = ImpossibleLinesReport(listed);
  EXPECT_EQ(report.find("5000 lines"), 0u) << report;
  EXPECT_NE(report.find("\nline 3: bad name 0"), std::string::npos) << report;
  EXPECT_NE(report.find("\nline 12: bad name 9"), std::string::npos) << report;
  EXPECT_EQ(report.find("line 13:"), std::string::npos) << "ten lines named";
  EXPECT_NE(report.find("and 4990 more."), std::string::npos) << report;
  EXPECT_EQ(ImpossibleLinesReport(ParseComputerList("PC1\nPC2")), "");
  // A damaged line of any length is named by its start.
  const std::string longLine = ImpossibleLinesReport(ParseComputerList(std::string(100000, '*')));
  EXPECT_LT(longLine.size(), 200u);
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
      // A list of a large directory's names is read whole; past the limit it is no list.
      {std::string(MaxListFileSize - 4, '\n') + "PC1\n", std::nullopt, false, ListFileState::Read,
       0, 1},
      {std::string(MaxListFileSize + 1, '\n'), std::nullopt, false, ListFileState::Unreadable,
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
