// What a screen reader learns: the name of every input of every window and by which means, the
// countdown's first line and its spoken seconds, and the pace of the spoken progress.

#include "actions/announcement.h"
#include "actions/domain_action.h"
#include "common/texts.h"
#include "dialogs/about_box.h"
#include "dialogs/domain_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/remote_dialog.h"
#include "logon/auto_logon_dialog.h"
#include "ui_world.h"

#include <gtest/gtest.h>

namespace {

using ui::NameMeans;

struct ExpectedName {
  const char* form;
  const char* control;
  const char* name;
  NameMeans means;
};

// Every input of every window, and the buttons whose caption is all a screen reader has.
const ExpectedName ExpectedNames[] = {
    {"TFMain", "DateTimePicker1", TimerCheckCaption, NameMeans::Annotation},
    {"TFMain", "SBPreferences", OptionsButtonCaption, NameMeans::Caption},
    {"TFMain", "SBAutoLogon", AutoLogonOffCaption, NameMeans::Caption},
    {"TFOption", "EdNSECVAR", SecondsLabel, NameMeans::LabelBefore},
    {"TFOption", "UpDownWar", SecondsLabel, NameMeans::Annotation},
    {"TFOption", "EdNRSECVAR", SecondsLabel, NameMeans::LabelBefore},
    {"TFOption", "UpDownRWar", SecondsLabel, NameMeans::Annotation},
    {"TFOption", "CBShutAction", ShutdownActionLabel, NameMeans::LabelBefore},
    {"TFRComp", "EdComp", ComputerNameLabel, NameMeans::LabelBefore},
    {"TFRComp", "EdUser", UserNameLabel, NameMeans::LabelBefore},
    {"TFRComp", "EdPass", PasswordLabel, NameMeans::LabelBefore},
    {"TFRNetwork", "EdUser", UserNameLabel, NameMeans::LabelBefore},
    {"TFRNetwork", "EdPass", PasswordLabel, NameMeans::LabelBefore},
    {"TFALogon", "EdUser", LogonUserNameLabel, NameMeans::LabelBefore},
    {"TFALogon", "EdPass", PasswordLabel, NameMeans::LabelBefore},
    {"TFALogon", "EdDomain", LogonDomainLabel, NameMeans::LabelBefore},
    {"TFDomainResult", "MemoFailures", "1 of 2 computers took the request.",
     NameMeans::LabelBefore},
    {"TTFPro3", "PBar", CountdownBarName, NameMeans::Annotation},
    {"TFDomainProgress", "PBar", DomainBarName, NameMeans::Annotation},
};

void CollectNamed(ui::Control& control, std::vector<ui::Control*>& found) {
  const bool named = ui::IsInput(control) || control.Kind() == ui::ControlKind::SpeedButton ||
                     control.Kind() == ui::ControlKind::ProgressBar;
  if (named) {
    found.push_back(&control);
  }
  for (ui::Control* child : control.Children()) {
    CollectNamed(*child, found);
  }
}

class AccessibilityTest : public WindowsTest {};

TEST_F(AccessibilityTest, EveryInputOfEveryWindowIsNamedByItsLabelOrAnAnnotation) {
  auto main = StartMainWindow();
  TFOption options;
  TFRComp remote;
  TFRNetwork domain;
  TFALogon logon;
  TFAboutBox about;
  TFDomainResult result;
  // The list is named by the summary above it, which the result writes.
  result.LBSummary.SetText("1 of 2 computers took the request.");
  TTFPro3 countdown(10, CountdownShutdownText);
  TFDomainProgress progress;
  const std::vector<std::string> annotations = fake::CallsNamed({"Annotate"});
  std::size_t checked = 0;
  for (ui::Form* form : std::vector<ui::Form*>{main.get(), &options, &remote, &domain, &logon,
                                               &about, &result, &countdown, &progress}) {
    std::vector<ui::Control*> controls;
    CollectNamed(*form, controls);
    for (ui::Control* control : controls) {
      const std::string where = form->Name() + "." + control->Name();
      const ExpectedName* expected = nullptr;
      for (const ExpectedName& e : ExpectedNames) {
        if (form->Name() == e.form && control->Name() == e.control) {
          expected = &e;
        }
      }
      ASSERT_NE(expected, nullptr) << where << " is missing from the table";
      ++checked;
      const ui::AccessibleName name = ui::AccessibleNameOf(*control);
      EXPECT_EQ(name.means, expected->means) << where;
      EXPECT_EQ(name.text, expected->name) << where;
      const bool annotated =
          std::count_if(annotations.begin(), annotations.end(), [&](const std::string& call) {
            return call.rfind("Annotate(" + control->Name() + ", " + name.text + ",", 0) == 0;
          }) > 0;
      EXPECT_EQ(annotated, expected->means == NameMeans::Annotation) << where;
    }
  }
  EXPECT_EQ(checked, std::size(ExpectedNames));
}

TEST(AnnouncementPace, SecondsLeftAreSpokenEveryFiveSecondsThenEachOfTheLastFive) {
  const std::pair<int, bool> cases[] = {
      {60, true}, {31, false}, {30, true}, {12, false}, {11, false}, {10, true}, {9, false},
      {6, false}, {5, true},   {4, true},  {3, true},   {2, true},   {1, true},  {0, false},
  };
  for (const auto& [secondsLeft, spoken] : cases) {
    EXPECT_EQ(AnnouncesSecondsLeft(secondsLeft), spoken) << secondsLeft;
  }
}

TEST(AnnouncementPace, ProgressIsSpokenWhenChangedAndFiveSecondsAfterTheLastReading) {
  struct Case {
    bool changed;
    std::uint32_t since;
    bool spoken;
  };
  const Case cases[] = {
      {true, 0, false},    {true, 4999, false},  {true, 5000, true},
      {true, 60000, true}, {false, 5000, false}, {false, 60000, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnnouncesProgress(c.changed, c.since), c.spoken) << c.changed << " " << c.since;
  }
}

class CountdownSpeechTest : public WindowsTest {};

TEST_F(CountdownSpeechTest, TheFirstLineNamesTheActionAboutToRun) {
  struct Case {
    std::uint32_t code;
    const char* computer; // given to the dispatcher
    const char* stored;   // the remote computer of the settings
    const char* line;
  };
  const Case cases[] = {
      {ActionShutdown, "", "", "Shutting down this computer"},
      {ActionReboot, "", "", "Restarting this computer"},
      {ActionLogOff, "", "", "Logging off"},
      {ActionStandby, "", "", "Putting this computer on standby"},
      {ActionHibernate, "", "", "Hibernating this computer"},
      {ActionLock, "", "", "Locking this computer"},
      {ActionRemoteShutdown, "PC1", "OLD", "Shutting down PC1"},
      {ActionRemoteReboot, "PC1", "OLD", "Restarting PC1"},
      {ActionRemoteReboot, "", "PC2", "Restarting PC2"},
      {ActionDomainShutdown, "", "", "Shutting down every computer of the domain"},
      {ActionDomainReboot, "", "", "Restarting every computer of the domain"},
  };
  for (const Case& c : cases) {
    ui::headless::Reset();
    AppSettings.ShowWarning = 1;
    AppSettings.WarnSeconds = 10;
    std::snprintf(AppSettings.RemoteComputer, sizeof AppSettings.RemoteComputer, "%s", c.stored);
    std::string line;
    std::string caption;
    ui::headless::WhileProcessingMessages([&] {
      auto* dialog = static_cast<TTFPro3*>(ui::headless::FindForm("TTFPro3"));
      line = dialog->Label1.Text();
      caption = dialog->Text();
      ui::headless::Click(dialog->BCancel);
    });
    EXPECT_EQ(RunAction(c.code, AppSettings, {}, c.computer), 0) << c.line;
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(caption, MessageCaption) << c.line;
  }
}

TEST_F(CountdownSpeechTest, AScreenReaderHearsTheDialogThenTheSecondsAtTheirPace) {
  EXPECT_FALSE(RunWarningCountdown(12, CountdownRebootText));
  EXPECT_EQ(fake::CallsNamed({"Annotate"}),
            (std::vector<std::string>{
                "Annotate(TTFPro3, Dorvane Shutdown: Restarting this computer, dialog, off)",
                "Annotate(PBar, Time until the action, default, off)",
                "Annotate(Label2, , default, polite)"}));
  std::vector<std::string> expected;
  for (int left : {10, 5, 4, 3, 2, 1}) {
    char text[128];
    std::snprintf(text, sizeof text, CountdownFormat, left);
    expected.push_back("Announce(Label2, " + std::string(text) + ")");
  }
  // 12 and 11 come with the opening dialog; 12 is read with it.
  EXPECT_EQ(fake::CallsNamed({"Announce"}), expected);
}

TEST_F(CountdownSpeechTest, TheDomainProgressIsSpokenWhenItChangedAtMostEveryFiveSeconds) {
  struct Step {
    std::uint32_t after; // milliseconds since the step before
    const char* text;
    bool spoken;
  };
  const Step steps[] = {
      {1000, "1 of 9 computers asked, 0 failed", false},
      {4000, "2 of 9 computers asked, 0 failed", true},
      {1000, "3 of 9 computers asked, 1 failed", false},
      {4000, "3 of 9 computers asked, 1 failed", true},
      {9000, "3 of 9 computers asked, 1 failed", false},
      {0, "4 of 9 computers asked, 1 failed", true},
  };
  TFDomainProgress progress;
  for (const Step& step : steps) {
    world().calls.clear();
    world().tickCount += step.after;
    progress.LBProgress.SetText(step.text);
    ui::headless::FireTimers(progress);
    EXPECT_EQ(fake::CallsNamed({"Announce"}).size(), step.spoken ? 1u : 0u) << step.text;
  }
}

} // namespace
