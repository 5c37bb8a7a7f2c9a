// A name longer than any computer's is refused whole with ERROR_INVALID_NAME wherever it comes
// from, and logged whole: a cut name would reach another computer.

#include "actions/computer_list.h"
#include "actions/remote_shutdown.h"
#include "actions/results_log.h"
#include "app/main_window.h"
#include "common/texts.h"
#include "dialogs/remote_dialog.h"
#include "ui_world.h"

#include <functional>

namespace {

constexpr char LogPath[] = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.log";
const std::string LongestName(MaxComputerNameCharacters, 'n');
const std::string TooLongName = LongestName + "n";

class LongNameTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    Settings stored;
    SetDefaultSettings(stored);
    stored.ShowWarning = 0;
    stored.ConfirmExit = 0;
    StoreSettings(stored);
  }
  std::string Log() {
    const auto& bytes = world().files[LogPath];
    return std::string(bytes.begin(), bytes.end());
  }
  static std::vector<std::string> Requests() {
    return fake::CallsNamed({"InitiateSystemShutdownA", "AbortSystemShutdownA"});
  }
  // The remote dialog answered with the name and OK.
  static void AnswerDialog(const std::string& name) {
    ui::headless::OnNextModal([name](ui::Form& form) {
      ui::headless::Type(static_cast<TFRComp&>(form).EdComp, name);
      return ui::ModalResult::Ok;
    });
  }
};

TEST_F(LongNameTest, EveryEntryRefusesTheNameWholeAndLogsIt) {
  struct Case {
    const char* entry;
    const char* logged; // the action the log line names
    // Runs the entry with the name; returns its exit code where it has one, else 123.
    std::function<int(const std::string&)> run;
  };
  const auto keyword = [](const char* word) {
    return [word](const std::string& name) {
      return RunProgram({"DorvaneShutdown.exe", word, name});
    };
  };
  const auto dialog = [this](const char* item) {
    return [this, item](const std::string& name) {
      auto window = StartMainWindow();
      AnswerDialog(name);
      ui::headless::ClickMenuItem(window->MainMenu1, item);
      return static_cast<int>(platform::GetLastError());
    };
  };
  const Case cases[] = {
      {"remote keyword", LogRemoteShutdown, keyword("remoteshutdown")},
      {"restart keyword", LogRemoteReboot, keyword("remotereboot")},
      {"abort keyword", LogAbort, keyword("abort")},
      {"remote dialog", LogRemoteShutdown, dialog("RemoteReboot1")},
      {"abort dialog", LogAbort, dialog("AbortRemoteShutdown1")},
  };
  for (const Case& c : cases) {
    for (const std::string& name : {TooLongName, "\\\\" + TooLongName}) {
      SetUp();
      world().parentConsole = true;
      EXPECT_EQ(c.run(name), static_cast<int>(win::ErrorInvalidName)) << c.entry;
      EXPECT_TRUE(Requests().empty()) << c.entry;
      const std::string log = Log();
      EXPECT_NE(log.find(std::string("\t") + c.logged + "\t" + name + "\t123\t"), std::string::npos)
          << c.entry << ": " << log;
      EXPECT_NE(std::string(AppSettings.RemoteComputer), name.substr(0, 261)) << c.entry;
      ui::headless::Reset();
    }
  }
}

TEST_F(LongNameTest, TheLongestNameGoesAndAListLineTooLongIsNoComputer) {
  EXPECT_FALSE(ComputerNameTooLong("\\\\" + LongestName + "."));
  const std::vector<ListedComputer> listed = ParseComputerList(TooLongName + "\r\n");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_FALSE(listed[0].possible);
}

} // namespace
