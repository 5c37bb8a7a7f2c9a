#include "dialogs/domain_dialog.h"

#include "actions/computer_list.h"
#include "common/texts.h"
#include "settings/settings_file.h"

#include <cstdio>
#include <string>

namespace {

constexpr std::size_t ListLineCapacity = 64;

// The explanation, and below it how many computers and directory containers the list file adds
// when there is one, and how many of its lines name none.
std::string Explanation() {
  std::string text = DomainDialogText;
  const ComputerListFile list =
      ReadComputerListFile(PathNextToProgram(ComputerListFileName).c_str());
  if (list.state == ListFileState::Read) {
    const std::size_t count = CountPossibleComputers(list.computers);
    char line[ListLineCapacity];
    std::snprintf(line, sizeof line, count == 1 ? ListedComputerFormat : ListedComputersFormat,
                  static_cast<unsigned long>(count));
    text += '\n';
    text += line;
    if (const std::size_t containers = CountDirectoryContainers(list.computers); containers > 0) {
      std::snprintf(line, sizeof line,
                    containers == 1 ? ListedContainerFormat : ListedContainersFormat,
                    static_cast<unsigned long>(containers));
      text += line;
    }
    if (const std::size_t bad = CountImpossibleLines(list.computers); bad > 0) {
      std::snprintf(line, sizeof line, bad == 1 ? BadListLineFormat : BadListLinesFormat,
                    static_cast<unsigned long>(bad));
      text += line;
    }
  }
  return text;
}

} // namespace

TFRNetwork::TFRNetwork()
    : ui::Form({.name = "TFRNetwork",
                .caption = DomainDialogTitle,
                .clientWidth = 276,
                .clientHeight = 341,
                .border = ui::BorderStyle::Dialog}),
      LBMsg(this, "LBMsg", {24, 24, 0, 0}, ui::Label::Layout::AutoSize),
      CBReboot(this, "CBReboot", {32, 132, 97, 17}), CBPass(this, "CBPass", {32, 164, 169, 17}),
      GBPass(this, "GBPass", {16, 164, 241, 121}), Label2(&GBPass, "Label2", {8, 24, 51, 13}),
      EdUser(&GBPass, "EdUser", {8, 40, 225, 21}), Label3(&GBPass, "Label3", {8, 72, 49, 13}),
      EdPass(&GBPass, "EdPass", {8, 88, 225, 21}, ui::PasswordMask),
      BOk(this, "BOk", {58, 304, 89, 25}, OkButtonOptions()),
      BCancel(this, "BCancel", {170, 304, 89, 25}, CancelButtonOptions()) {
  CaptionTargetControls(Shared());
  CBPass.OnClick = [this] { CBPassClick(); };
  Realize();
}

bool TFRNetwork::Execute(TargetRequest& request, const char* title, int helpContext) {
  LBMsg.SetText(Explanation());
  FillTargetControls(request, Shared());
  SetHelpContext(helpContext);
  SetText(title);
  if (ShowModal() != ui::ModalResult::Ok) {
    return false;
  }
  ReadTargetControls(request, Shared());
  return true;
}

void TFRNetwork::CBPassClick() {
  ApplyCredentialsRule(Shared());
}
