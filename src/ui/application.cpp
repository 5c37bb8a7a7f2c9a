// What the application keeps, whichever backend runs its windows: its title, main form and help.

#include "ui/application.h"

#include "platform/user.h"
#include "ui/backend.h"

#include <utility>

namespace ui {

namespace {

struct Application {
  std::string title;
  Form* mainForm = nullptr;
  HelpHandler helpHandler;
  std::string helpFile;
  Form* liveForm = nullptr;
  bool sessionEnding = false;
  bool exceptionShown = false;
  CreationFailureHandler creationFailureHandler;
  std::uint32_t autoCloseAfter = 0;
};

Application& TheApplication() {
  static Application application;
  return application;
}

} // namespace

namespace backend {

void ResetApplication() {
  TheApplication() = Application{};
}

} // namespace backend

void SetApplicationTitle(const std::string& title) {
  TheApplication().title = title;
}

const std::string& ApplicationTitle() {
  return TheApplication().title;
}

void SetCreationFailureHandler(CreationFailureHandler handler) {
  TheApplication().creationFailureHandler = std::move(handler);
}

void ReportCreationFailure(std::uint32_t error) {
  if (TheApplication().creationFailureHandler) {
    TheApplication().creationFailureHandler(error);
  }
}

void SetMainForm(Form* form) {
  TheApplication().mainForm = form;
}

Form* MainForm() {
  return TheApplication().mainForm;
}

void SetHelpHandler(HelpHandler handler) {
  TheApplication().helpHandler = std::move(handler);
}

void SetHelpFile(const std::string& path) {
  TheApplication().helpFile = path;
}

const std::string& HelpFile() {
  return TheApplication().helpFile;
}

void RequestHelp(std::uint16_t command, std::uintptr_t data) {
  if (TheApplication().helpHandler) {
    TheApplication().helpHandler(command, data);
  }
}

void ShowException(const std::string& text) {
  TheApplication().exceptionShown = true;
  backend::ShowExceptionBox(text);
}

bool ExceptionShown() {
  return TheApplication().exceptionShown;
}

void SetAutoCloseAfter(std::uint32_t milliseconds) {
  TheApplication().autoCloseAfter = milliseconds;
  platform::SetMessageBoxTimeout(milliseconds);
}

std::uint32_t AutoCloseAfter() {
  return TheApplication().autoCloseAfter;
}

void SetFormLiveUnderModal(Form* form) {
  TheApplication().liveForm = form;
}

Form* FormLiveUnderModal() {
  return TheApplication().liveForm;
}

void EndSession(bool ending) {
  // Another program may have refused: then the session goes on, and so does the program.
  TheApplication().sessionEnding = ending;
  if (Form* mainForm = MainForm(); ending && mainForm != nullptr) {
    mainForm->Destroy();
    TerminateApplication();
  }
}

bool SessionEnding() {
  return TheApplication().sessionEnding;
}

} // namespace ui
