#include "web/help.h"

#include "platform/help.h"
#include "ui/application.h"

bool AppHelp(std::uint16_t command, std::intptr_t data, bool& callHelp) {
  if ((command == 0 && data == 0) || command == ui::HelpContextRequest) {
    ui::Form* main = ui::MainForm();
    // Every context leads to the same page: the help file's contents.
    platform::HtmlHelpA(main != nullptr ? main->native : win::NoHandle, ui::HelpFile().c_str(),
                        win::HhDisplayToc, 0);
  }
  callHelp = false;
  return false;
}
