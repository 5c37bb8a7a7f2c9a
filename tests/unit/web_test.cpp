#include "common/texts.h"
#include "fake_world.h"
#include "ui/application.h"
#include "ui/headless/script.h"
#include "web/browser.h"
#include "web/help.h"
#include "web/update_check.h"

#include <climits>
#include <cstring>
#include <random>

namespace {

constexpr char Url[] = "http://127.0.0.1:47321/version.txt";
constexpr char Home[] = "http://127.0.0.1:47321/";
constexpr char BrowserKey[] = "HKCR\\http\\shell\\open\\command";

class WebTest : public FakeWindowsTest {
protected:
  void SetUp() override {
    FakeWindowsTest::SetUp();
    ui::headless::Reset();
    fake::SetClock(2026, 12, 7, 9, 0, 0);
    fake::PutRegValue(BrowserKey, "", fake::RegValue::Text("\"C:\\Web\\browser.exe\" \"%1\""));
  }
  void Reply(std::uint32_t status, std::string body) {
    world().web[Url] = fake::HttpReply{status, std::move(body), false};
  }
  int Check(std::int32_t& lastCheckDay) {
    return CheckForUpdate(Url, "2.0.9", MessageCaption, UpdateQuestionText, Home, lastCheckDay, 2);
  }
  std::size_t Requests() { return fake::CallsNamed({"InternetOpenUrlA"}).size(); }
  std::size_t Questions() { return world().messageBoxes.size(); }
};

TEST(DayNumber, ConsecutiveDaysGetConsecutiveNumbers) {
  const int daysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int previous = DayNumber(31, 12, 1899);
  for (int year = 1900; year <= 2104; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (int month = 1; month <= 12; ++month) {
      const int days = daysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
      for (int day = 1; day <= days; ++day) {
        const int number = DayNumber(day, month, year);
        ASSERT_EQ(number, previous + 1) << day << "." << month << "." << year;
        previous = number;
      }
    }
  }
  EXPECT_EQ(DayNumber(0, 0, 0), 0);
  EXPECT_EQ(DayNumber(1, 3, 2024) - DayNumber(28, 2, 2024), 2) << "29 February 2024";
  EXPECT_EQ(DayNumber(1, 3, 2100) - DayNumber(28, 2, 2100), 1) << "no 29 February 2100";
}

TEST(CompareVersions, ComparesComponentByComponentThenByCount) {
  struct Case {
    const char* offered;
    const char* own;
    int expected;
  };
  const Case cases[] = {
      {"2.1", "2.0.9", 1},
      {"2.0.0", "2.0", 1},
      {"2.0", "2.0.1", -1},
      {"2.0", "2.0", 0},
      {"", "1.0.0", -1},
      {"10.0", "9.9", 1},
      {"1.0.0.5", "1.0.0.4", 1},
      {"1.2.3.4.9", "1.2.3.4", 0}, // a fifth component is not read
      {"..3..", "3", 0},
      {" 1 . 2", "1.2", 0},
      {"99999999999999999999", "2147483647", 0}, // held at the largest number
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareVersions(c.offered, c.own), c.expected) << c.offered << " vs " << c.own;
  }
}

TEST(ExtractVersion, KeepsDigitsAndDotsOnly) {
  struct Case {
    std::string reply;
    int maxChars;
    std::string expected;
  };
  const Case cases[] = {
      {"version 1.2.3\r\n", 50, "1.2.3"},
      {std::string("1\0.2\xff"
                   "3",
                   6),
       50, "1.23"},
      {"no digits here", 50, ""},
      {std::string(60, '.'), 50, std::string(50, '.')},
      {"123456789", 4, "1234"},
  };
  for (const Case& c : cases) {
    char out[64];
    const int kept =
        ExtractVersion(out, c.maxChars, c.reply.data(), static_cast<int>(c.reply.size()));
    EXPECT_EQ(std::string(out), c.expected);
    EXPECT_EQ(kept, static_cast<int>(c.expected.size()));
  }
}

TEST_F(WebTest, ChecksOnTheFirstStartAndThenEveryOtherDay) {
  Reply(200, "2.0.9\n");
  struct Case {
    std::int32_t lastCheckOffset; // days before today; none for "never"
    bool never;
    bool requested;
  };
  const Case cases[] = {
      {0, true, true}, {1, false, false}, {2, false, true}, {30, false, true}, {0, false, false}};
  const std::int32_t today = TodayDayNumber();
  for (const Case& c : cases) {
    world().calls.clear();
    std::int32_t last = c.never ? 0 : today - c.lastCheckOffset;
    Check(last);
    EXPECT_EQ(Requests(), c.requested ? 1u : 0u) << c.lastCheckOffset;
    EXPECT_EQ(last, c.requested ? today : today - c.lastCheckOffset);
  }
}

TEST_F(WebTest, AClockSetBackSkipsTheCheckAndRestartsFromToday) {
  Reply(200, "9.9");
  std::int32_t last = TodayDayNumber() + 1;
  Check(last);
  EXPECT_EQ(Requests(), 0u);
  EXPECT_EQ(last, TodayDayNumber());
}

TEST_F(WebTest, ADamagedLastCheckDayMeansCheckNow) {
  Reply(200, "2.0.9");
  const std::int32_t today = TodayDayNumber();
  for (const std::int32_t damaged :
       {INT32_MIN, INT32_MIN + today - 1, -1, 1, INT32_MAX, DayNumber(1, 1, 30828)}) {
    world().calls.clear();
    std::int32_t last = damaged;
    Check(last);
    EXPECT_EQ(Requests(), 1u) << damaged;
    EXPECT_EQ(last, today) << damaged;
  }
}

TEST_F(WebTest, ANewerVersionAsksAndOkOpensTheHomePage) {
  Reply(200, "Dorvane Shutdown 2.1\r\n");
  world().messageBoxAnswers = {win::IdOk};
  std::int32_t last = 0;
  Check(last);
  ASSERT_EQ(Questions(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, UpdateQuestionText);
  EXPECT_EQ(world().messageBoxes[0].style, win::MbOkCancel | win::MbIconQuestion);
  EXPECT_EQ(
      fake::CallsNamed({"WinExec"}),
      std::vector<std::string>{"WinExec(\"C:\\Web\\browser.exe\" " + std::string(Home) + ", 1)"});
  EXPECT_EQ(last, TodayDayNumber());
}

TEST_F(WebTest, CancelOpensNothingButCountsTheCheck) {
  Reply(200, "3.0");
  world().messageBoxAnswers = {win::IdCancel};
  std::int32_t last = 0;
  Check(last);
  EXPECT_EQ(Questions(), 1u);
  EXPECT_TRUE(fake::CallsNamed({"WinExec", "ShellExecuteA"}).empty());
  EXPECT_EQ(last, TodayDayNumber());
}

TEST_F(WebTest, AnEqualOlderOrEmptyVersionAsksNothingAndCountsTheCheck) {
  for (const char* body : {"2.0.9", "2.0", "", "no version", "\x01\x02\x03"}) {
    Reply(200, body);
    world().messageBoxes.clear();
    std::int32_t last = 0;
    Check(last);
    EXPECT_EQ(Questions(), 0u) << body;
    EXPECT_EQ(last, TodayDayNumber()) << body;
  }
}

TEST_F(WebTest, AFailedCheckLeavesTheLastCheckDay) {
  struct Case {
    const char* what;
    std::function<void(fake::World&)> breakIt;
  };
  const Case cases[] = {
      {"404",
       [](fake::World& w) {
         w.web[Url] = fake::HttpReply{404, "9.9", false};
       }},
      {"500",
       [](fake::World& w) {
         w.web[Url] = fake::HttpReply{500, "9.9", false};
       }},
      {"failed read",
       [](fake::World& w) {
         w.web[Url] = fake::HttpReply{200, "9.9", true};
       }},
      {"no status",
       [](fake::World& w) {
         w.web[Url] = fake::HttpReply{std::nullopt, "9.9"};
       }},
      {"no server", [](fake::World& w) { w.web.clear(); }},
      {"no internet", [](fake::World& w) { w.results["InternetOpenA"] = {0}; }},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    c.breakIt(world());
    std::int32_t last = 0;
    Check(last);
    EXPECT_EQ(last, 0) << c.what;
    EXPECT_EQ(Questions(), 0u) << c.what;
  }
}

TEST_F(WebTest, TheRequestIsMadeExactlyAsWinInetExpectsIt) {
  Reply(200, "1.0");
  std::int32_t received = 0;
  char buffer[1000];
  EXPECT_EQ(HttpGetToBuffer(Url, buffer, received, sizeof buffer), 2);
  EXPECT_EQ(received, 3);
  const auto calls = fake::CallsNamed(
      {"InternetOpenA", "InternetOpenUrlA", "HttpQueryInfoA", "InternetCloseHandle"});
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "InternetOpenA(Mozilla, 0, null, null, 0)",
                       std::string("InternetOpenUrlA(") + Url + ", null, 0, 2214593024, 0)",
                       "HttpQueryInfoA(536870931, 4)", "InternetCloseHandle(request)",
                       "InternetCloseHandle(internet)"}));
  // Windows may dial up once per run, never again.
  HttpGetToBuffer(Url, buffer, received, sizeof buffer);
  EXPECT_LE(fake::CallsNamed({"InternetAttemptConnect"}).size(), 1u);
}

TEST_F(WebTest, OnlyTheFirstThousandBytesAreRead) {
  Reply(200, std::string(1'000'000, '7'));
  world().chunk = 4096;
  std::int32_t received = 0;
  std::vector<char> buffer(1000);
  EXPECT_EQ(HttpGetToBuffer(Url, buffer.data(), received, 1000), 2);
  EXPECT_EQ(received, 1000);
  std::int32_t last = 0;
  Check(last);
  EXPECT_EQ(Questions(), 1u) << "fifty sevens are newer than 2.0.9";
}

TEST_F(WebTest, AnyReplyIsHandledAndOnlyTheConfiguredAddressAsked) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string body(random() % 3000, '\0');
    for (char& c : body) {
      c = static_cast<char>(random());
    }
    Reply(200, body);
    world().messageBoxAnswers = {win::IdCancel};
    std::int32_t last = 0;
    Check(last);
  }
  for (const std::string& call : fake::CallsNamed({"InternetOpenUrlA"})) {
    EXPECT_EQ(call.rfind(std::string("InternetOpenUrlA(") + Url + ",", 0), 0u) << call;
  }
}

TEST_F(WebTest, TheBrowserCommandIsCutBeforeItsArguments) {
  struct Case {
    std::string registered;
    bool found;
    std::string command;
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\Web\\web.exe\" -osint -url \"%1\"", true,
       "\"C:\\Program Files\\Web\\web.exe\""},
      {"C:\\Web\\web.exe %1", true, "C:\\Web\\web.exe"},
      {"\"C:\\Web\\web.exe\" \"%1\"", true, "\"C:\\Web\\web.exe\""}, // no stray quote
      {"\"%1\"", false, ""},
      {"C:\\Web-Browser\\web.exe \"%1\"", true, "C:\\Web"},
      {"C:\\Web\\web.exe\t\r\n", true, "C:\\Web\\web.exe"},
      {"%1", false, ""},
      {"  -x", false, ""},
      {"", false, ""},
      {std::string(300, 'w'), false, ""}, // longer than the 258 bytes read
  };
  for (const Case& c : cases) {
    fake::PutRegValue(BrowserKey, "", fake::RegValue::Text(c.registered));
    char command[BrowserCommandCapacity];
    EXPECT_EQ(GetBrowserCommand(command), c.found) << c.registered;
    EXPECT_EQ(std::string(command), c.command) << c.registered;
  }
}

TEST_F(WebTest, ABrowserCommandOfAnotherTypeThanTextIsNoCommand) {
  struct Case {
    win::RegType type;
    std::string data;
    bool found;
    std::string command;
  };
  const std::string full(258, 'w'); // fills the read and leaves no terminator
  const Case cases[] = {
      {win::RegSz, "C:\\Web\\web.exe %1", true, "C:\\Web\\web.exe"},
      {win::RegExpandSz, "C:\\Web\\web.exe %1", true, "C:\\Web\\web.exe"},
      {win::RegNone, full, false, ""},
      {3, full, false, ""}, // REG_BINARY
      {win::RegDword, std::string("\x01\0\0\0", 4), false, ""},
      {7, std::string("C:\\Web\\web.exe\0\0", 16), false, ""}, // REG_MULTI_SZ
      {50, std::string(29, '2') + "\x01", false, ""},
  };
  for (const Case& c : cases) {
    fake::RegValue value;
    value.type = c.type;
    value.data.assign(c.data.begin(), c.data.end());
    fake::PutRegValue(BrowserKey, "", value);
    // As on the stack: no terminator where the value ends.
    char command[BrowserCommandCapacity];
    std::memset(command, 'x', sizeof command);
    EXPECT_EQ(GetBrowserCommand(command), c.found) << c.type << " " << c.data;
    EXPECT_EQ(std::string(command), c.command) << c.type << " " << c.data;
  }
}

TEST_F(WebTest, LongCommandLinesGoToTheShellWithTheBareAddress) {
  const std::string command = "C:\\Web\\web.exe";
  const std::string at254(254 - command.size() - 1, 'u');
  const std::string at255(255 - command.size() - 1, 'u');
  EXPECT_TRUE(LaunchBrowser(command.c_str(), at254.c_str()));
  EXPECT_EQ(fake::CallsNamed({"WinExec", "ShellExecuteA"}),
            std::vector<std::string>{"WinExec(" + command + " " + at254 + ", 1)"});
  world().calls.clear();
  EXPECT_TRUE(LaunchBrowser(command.c_str(), at255.c_str()));
  EXPECT_EQ(fake::CallsNamed({"WinExec", "ShellExecuteA"}),
            std::vector<std::string>{"ShellExecuteA(0, open, " + at255 + ", null, , 1)"});
}

TEST_F(WebTest, ARefusedLaunchFails) {
  world().results["WinExec"] = {31};
  EXPECT_FALSE(OpenUrl(Home));
  world().results["ShellExecuteA"] = {32};
  EXPECT_FALSE(LaunchBrowser("web.exe", std::string(300, 'u').c_str()));
  fake::ResetWorld();
  EXPECT_FALSE(OpenUrl(Home)) << "no browser registered";
  EXPECT_TRUE(fake::CallsNamed({"WinExec", "ShellExecuteA"}).empty());
}

TEST_F(WebTest, AFormattedMessageIsCutToItsBuffer) {
  const std::string huge(10'000, 'h');
  ShowFormattedMessage(win::MbIconInformation, MessageCaption, HomePageFailedFormat, huge.c_str());
  ASSERT_EQ(Questions(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text.size(), 3999u);
}

TEST_F(WebTest, EveryHelpRequestOpensTheContentsAndNoneCallsAnotherEngine) {
  ui::SetHelpFile("C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.chm");
  struct Case {
    std::uint16_t command;
    std::intptr_t data;
    bool opens;
  };
  const Case cases[] = {{0, 0, true},  {1, 10, true}, {1, 100, true}, {1, 1301, true},
                        {0, 5, false}, {2, 0, false}, {3, 10, false}};
  for (const Case& c : cases) {
    world().calls.clear();
    bool callHelp = true;
    EXPECT_FALSE(AppHelp(c.command, c.data, callHelp));
    EXPECT_FALSE(callHelp);
    const auto calls = fake::CallsNamed({"HtmlHelpA"});
    EXPECT_EQ(calls.size(), c.opens ? 1u : 0u) << c.command << " " << c.data;
    if (c.opens && !calls.empty()) {
      EXPECT_EQ(calls[0],
                "HtmlHelpA(0, C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.chm, 1, 0)");
    }
  }
}

} // namespace
