#include "actions/results_log.h"

#include "actions/remote_shutdown.h"
#include "fake_world.h"
#include "settings/settings.h"

#include <string>
#include <vector>

namespace {

constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";
constexpr platform::LocalTime Morning{2026, 12, 2, 8, 3, 4, 5, 0};
constexpr std::size_t LineSize = 1000;
constexpr std::size_t Mib = std::size_t{1} << 20;

class ResultsLogTest : public FakeWindowsTest {
protected:
  // Byte copies: element by element, a log of 16 MiB takes seconds in a debug build.
  std::string Log() {
    const auto& bytes = world().files[LogPath];
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }
  void WriteLog(const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    world().files[LogPath].assign(bytes, bytes + text.size());
  }
  // How many lines of the log name a computer of the unit `name`.
  static std::size_t LinesOf(const std::string& log, char name) {
    std::size_t count = 0;
    const std::string mark = std::string("\t") + name + "-";
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
      ++count;
    }
    return count;
  }
};

// A request line of LineSize bytes for computer `name`-`i`.
std::string RequestLine(char name, std::size_t i) {
  std::string line = FormatResultLine(Morning, LogDomainShutdown,
                                      std::string(1, name) + "-" + std::to_string(i), 0, "");
  line.insert(line.size() - 2, LineSize - line.size(), '.');
  return line;
}

// Runs and lines outside runs, as the log holds them.
struct Unit {
  char name;
  std::size_t kib;  // its size, about
  bool run = true;  // false: that many lines outside any run
  bool ends = true; // a run whose program ended in it has no last line
};

std::string Text(const std::vector<Unit>& units) {
  std::string text;
  for (const Unit& unit : units) {
    const std::size_t lines = unit.kib * 1024 / LineSize;
    if (unit.run) {
      text += FormatRunBeginLine(Morning, LogDomainShutdown, lines, {lines, 0, 0});
    }
    for (std::size_t i = 0; i < lines; ++i) {
      text += RequestLine(unit.name, i);
    }
    if (unit.run && unit.ends) {
      text += FormatRunEndLine(Morning, LogDomainShutdown, {lines, 0, false, 0, 1000, 0});
    }
  }
  return text;
}

TEST_F(ResultsLogTest, RoomIsMadeByDroppingTheOldestWholeRunsNeverTheLastOne) {
  struct Case {
    std::vector<Unit> units;
    std::string kept; // the units left whole, in order; in lower case those left in part
  };
  const std::size_t k = 1024;
  const Case cases[] = {
      {{{'A', 6 * k}, {'B', 6 * k}, {'C', 4 * k + 512}}, "BC"},
      {{{'A', 17 * k}}, "A"},
      {{{'A', 3 * k}, {'B', 14 * k}}, "B"},
      {{{'A', 6 * k, true, false}, {'B', 6 * k}, {'C', 4 * k + 512}}, "BC"},
      {{{'L', 10 * k, false}, {'A', 7 * k}}, "lA"},
      {{{'A', 3 * k}, {'B', 13 * k}, {'L', 1 * k, false}}, "BL"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    WriteLog(Text(c.units));
    const std::string line = RequestLine('N', 0);
    EXPECT_TRUE(AppendToResultsLog(LogPath, line)) << c.kept;
    const std::string log = Log();
    EXPECT_TRUE(log.ends_with(line)) << c.kept;
    EXPECT_TRUE(log.starts_with("2026-12-08 03:04:05\t")) << c.kept << ": cut at a line's start";
    std::string kept;
    for (const Unit& unit : c.units) {
      const std::size_t lines = LinesOf(log, unit.name);
      if (lines == unit.kib * 1024 / LineSize) {
        kept += unit.name;
      } else if (lines > 0) {
        kept += static_cast<char>(unit.name - 'A' + 'a');
      }
    }
    EXPECT_EQ(kept, c.kept);
  }
}

TEST_F(ResultsLogTest, ARunInProgressIsNeverCutAndItsLinesCostNoRereading) {
  // The log is one line short of its bound when a run of 50,000 computers starts.
  const std::string text = Text({{'L', MaxResultsLogSize / 1024 - 1, false}});
  WriteLog(text);
  const std::size_t oldLines = LinesOf(text, 'L');
  const std::size_t computers = 50000;
  LogRunBegin(LogDomainShutdown, computers, {computers, 0, 0});
  for (std::size_t i = 0; i < computers; ++i) {
    LogRequestResult(LogDomainShutdown, "R-" + std::to_string(i), 0, "done");
  }
  LogRunEnd(LogDomainShutdown, {computers, 0, false, 0, 60000, 0});
  std::string log = Log();
  EXPECT_EQ(LinesOf(log, 'L'), oldLines) << "the begin line found room enough";
  EXPECT_EQ(LinesOf(log, 'R'), computers);
  EXPECT_LE(fake::CallsNamed({"OpenFileForReading"}).size(), 1u) << "read once, at the begin";
  EXPECT_GT(log.size(), MaxResultsLogSize) << "the run grew past the bound whole";
  // The next line makes room: the oldest lines go, the run stays whole.
  LogRequestResult(LogRemoteShutdown, "PC1", 0, "done");
  log = Log();
  EXPECT_LT(LinesOf(log, 'L'), oldLines);
  EXPECT_EQ(LinesOf(log, 'R'), computers);
  EXPECT_LE(log.size(), TrimmedResultsLogSize);
  EXPECT_TRUE(log.ends_with("\tremoteshutdown\tPC1\t0\tdone\r\n"));
}

TEST_F(ResultsLogTest, RunLinesNameTheActionSourcesCountOutcomeAndTime) {
  EXPECT_EQ(FormatRunBeginLine(Morning, LogDomainReboot, 1234, {1200, 30, 4}),
            "2026-12-08 03:04:05\tbegin\t-\t0\tdomainreboot: 1234 computers from the browse list "
            "(1200), DorvaneShutdown.computers.txt (30), directory containers (4)\r\n");
  EXPECT_EQ(FormatRunEndLine(Morning, LogDomainReboot, {600, 0, true, 634, 999, 1223}),
            "2026-12-08 03:04:05\tend\t-\t1223\tdomainreboot: 600 asked, 0 failed, cancelled "
            "with 634 not asked, in 0.9 s\r\n");
  EXPECT_EQ(FormatResultLine(Morning, LogAbort, "PC\t1\r\n", 1116, "No shutdown\r\nin progress."),
            "2026-12-08 03:04:05\tabort\tPC 1\t1116\tNo shutdown  in progress.\r\n");
}

TEST_F(ResultsLogTest, ALogThatCantBeWrittenFailsNoRequest) {
  world().filesReadOnly = true;
  EXPECT_FALSE(AppendToResultsLog(LogPath, "new\r\n"));
  Settings settings;
  SetDefaultSettings(settings);
  EXPECT_EQ(RemoteShutdownByName("PC1", settings), 1);
}

} // namespace
