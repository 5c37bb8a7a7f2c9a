#include "actions/countdown.h"
#include "app/main_window.h"
#include "app/wait_notice.h"
#include "common/texts.h"
#include "common/web_config.h"
#include "dialogs/about_box.h"
#include "ui/application.h"
#include "ui_world.h"
#include "web/update_check.h"

#include <memory>

namespace {

class HelpMenuTest : public WindowsTest {
protected:
  std::vector<std::string> TocCalls() {
    std::vector<std::string> toc;
    for (const std::string& call : fake::CallsNamed({"HtmlHelpA"})) {
      if (call.find(", 1, 0)") != std::string::npos) {
        toc.push_back(call);
      }
    }
    return toc;
  }
};

TEST_F(HelpMenuTest, HelpIsSetUpAtStartAndTakenDownAtTheEnd) {
  auto window = StartMainWindow();
  const auto start = fake::CallsNamed({"HtmlHelpA"});
  ASSERT_EQ(start.size(), 1u);
  EXPECT_EQ(start[0].substr(0, 23), "HtmlHelpA(0, null, 28, ");
  EXPECT_EQ(ui::HelpFile(), "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.chm");
  world().calls.clear();
  window.reset();
  EXPECT_EQ(fake::CallsNamed({"HtmlHelpA"}).size(), 1u);
  EXPECT_EQ(fake::CallsNamed({"HtmlHelpA"})[0].substr(0, 23), "HtmlHelpA(0, null, 29, ");
}

TEST_F(HelpMenuTest, IndexF1AndF1InEveryDialogOpenTheContents) {
  auto window = StartMainWindow();
  world().calls.clear();
  ui::headless::ClickMenuItem(window->MainMenu1, "Index1");
  ui::headless::PressKey(*window, ui::ShortcutF1);
  ui::headless::OnNextModal([](ui::Form& about) {
    ui::headless::PressKey(about, ui::ShortcutF1);
    return ui::ModalResult::Ok;
  });
  ui::headless::PressKey(*window, ui::ShortcutCtrlA);
  ui::headless::OnNextModal([](ui::Form& preferences) {
    ui::headless::PressKey(preferences, ui::ShortcutF1);
    return ui::ModalResult::Cancel;
  });
  ui::headless::Click(window->SBPreferences);
  const std::string expected = "HtmlHelpA(" + std::to_string(window->native) +
                               ", C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.chm, 1, 0)";
  EXPECT_EQ(TocCalls(), std::vector<std::string>(4, expected));
}

TEST_F(HelpMenuTest, F1OpensNothingInAWindowWithoutAHelpContext) {
  auto window = StartMainWindow();
  world().calls.clear();
  TTFPro3 countdown(10, CountdownShutdownText);
  ui::headless::PressKey(countdown, ui::ShortcutF1);
  EXPECT_TRUE(fake::CallsNamed({"HtmlHelpA"}).empty());
}

TEST_F(HelpMenuTest, AboutShowsTheProgramsVersion) {
  auto window = StartMainWindow();
  std::string text;
  int context = 0;
  ui::headless::OnNextModal([&](ui::Form& form) {
    auto& about = static_cast<TFAboutBox&>(form);
    text = about.Id1.Text();
    context = about.HelpContext();
    EXPECT_EQ(about.Text(), AboutCaption);
    ui::headless::PressKey(about, ui::ShortcutEsc);
    return ui::ModalResult::None;
  });
  ui::headless::ClickMenuItem(window->MainMenu1, "About1");
  EXPECT_NE(text.find(CurrentVersionText), std::string::npos) << text;
  EXPECT_EQ(context, 100);
}

TEST_F(HelpMenuTest, AHomePageThatCannotOpenIsReportedWithItsAddress) {
  auto window = StartMainWindow();
  ui::headless::ClickMenuItem(window->MainMenu1, "ProgramHomePage1");
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_NE(world().messageBoxes[0].text.find(HomePageUrl), std::string::npos);
  EXPECT_EQ(world().messageBoxes[0].style, win::MbIconInformation);
}

TEST_F(HelpMenuTest, TheUpdateCheckRunsWhileTheWaitNoticeIsUp) {
  world().web[VersionInfoUrl] = fake::HttpReply{200, "99.0", false};
  world().messageBoxAnswers = {win::IdCancel};
  // The notice is painted once before the check starts, and removed after it.
  std::string noticeText;
  ui::headless::WhileProcessingMessages([&] {
    if (auto* notice = static_cast<TFWaitNotice*>(ui::headless::FindForm("TFWaitNotice"))) {
      noticeText = notice->Text() + " / " + notice->LBText.Text();
    }
  });
  auto window = StartMainWindow();
  EXPECT_EQ(noticeText, std::string(MessageCaption) + " / " + StartupNoticeText);
  const auto order = fake::CallsNamed({"InternetOpenUrlA", "ShowMessageBox"});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[1].substr(0, 15), "ShowMessageBox(");
  EXPECT_EQ(world().messageBoxes[0].text, UpdateQuestionText);
  EXPECT_EQ(AppSettings.LastCheckDay, TodayDayNumber());
  EXPECT_EQ(ui::headless::FindForm("TFWaitNotice"), nullptr);
}

} // namespace
