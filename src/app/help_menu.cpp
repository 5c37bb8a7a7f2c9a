// The Help menu: contents, the home page and the About box.

#include "app/main_window.h"
#include "common/texts.h"
#include "common/web_config.h"
#include "dialogs/about_box.h"
#include "platform/winconst.h"
#include "web/browser.h"
#include "web/help.h"

#include <cstdio>
#include <vector>

namespace {
constexpr int AboutHelpContext = 100;
constexpr std::size_t AboutTextCapacity = 4000;
} // namespace

void TFMain::Index1Click() {
  bool callHelp = true;
  AppHelp(0, 0, callHelp);
}

void TFMain::ProgramHomePage1Click() {
  if (!OpenUrl(HomePageUrl)) {
    ShowFormattedMessage(win::MbIconInformation, MessageCaption, HomePageFailedFormat, HomePageUrl);
  }
}

void TFMain::About1Click() {
  std::vector<char> text(AboutTextCapacity);
  std::snprintf(text.data(), text.size(), AboutFormat, CurrentVersionText);
  TFAboutBox box;
  box.Execute(AboutCaption, text.data(), AboutHelpContext);
}
