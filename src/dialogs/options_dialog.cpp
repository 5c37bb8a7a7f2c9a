#include "dialogs/options_dialog.h"

#include "actions/dispatcher.h"
#include "common/texts.h"
#include "dialogs/target_request.h"
#include "platform/winconst.h"
#include "settings/run_at_startup.h"
#include "ui/application.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>

namespace {

constexpr int SecondsMinimum = 0;
constexpr int SecondsMaximum = 59;
constexpr int ButtonPanelHeight = 42;
// The arrows sit inside the right end of their edit, which gives up their width to them.
constexpr int ArrowsWidth = 16;
constexpr int SecondsEditWidth = 29 + ArrowsWidth;

// The action each item of the daily action's list stands for, in list order.
constexpr std::int16_t TimerActionCodes[] = {
    ActionShutdown,  ActionReboot, ActionLogOff,       ActionStandby,
    ActionHibernate, ActionLock,   ActionDomainReboot, ActionDomainShutdown,
};
static_assert(std::size(TimerActionCodes) == std::size(TimerActionItems));

} // namespace

std::optional<std::int16_t> SecondsFromText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Past the range's edge the number stays there, however many digits follow.
  constexpr std::int32_t Beyond = std::numeric_limits<std::int16_t>::max() + 2;
  std::int32_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min(value * 10 + (text[i] - '0'), Beyond);
  }
  if (negative) {
    value = -value;
  }
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

int TimerActionIndex(std::int16_t action) {
  for (std::size_t i = 0; i < std::size(TimerActionCodes); ++i) {
    if (TimerActionCodes[i] == action) {
      return static_cast<int>(i);
    }
  }
  return 0;
}

std::int16_t TimerActionFromIndex(int index) {
  return index >= 0 && index < static_cast<int>(std::size(TimerActionCodes))
             ? TimerActionCodes[index]
             : static_cast<std::int16_t>(ActionShutdown);
}

TFOption::TFOption()
    : ui::Form({.name = "TFOption",
                .caption = PreferencesDialogTitle,
                .clientWidth = 384,
                .clientHeight = 314,
                .border = ui::BorderStyle::Dialog}),
      PageControl1(this, "PageControl1", {8, 12, 365, 253}),
      TabSheet1(&PageControl1, "TabSheet1", GeneralPageCaption),
      CBForce(&TabSheet1, "CBForce", {8, 4, 177, 17}),
      CBStartup(&TabSheet1, "CBStartup", {8, 24, 105, 17}),
      CBTray(&TabSheet1, "CBTray", {8, 44, 89, 17}),
      CBShutWar(&TabSheet1, "CBShutWar", {8, 84, 213, 17}),
      Label2(&TabSheet1, "Label2", {292, 88, 0, 0}, ui::Label::Layout::AutoSize),
      EdNSECVAR(&TabSheet1, "EdNSECVAR", {236, 84, SecondsEditWidth, 21}),
      UpDownWar(&TabSheet1, "UpDownWar", {264, 84, ArrowsWidth, 21}, EdNSECVAR, SecondsMinimum,
                SecondsMaximum),
      CBRShutWar(&TabSheet1, "CBRShutWar", {8, 112, 221, 17}),
      Label3(&TabSheet1, "Label3", {292, 116, 0, 0}, ui::Label::Layout::AutoSize),
      EdNRSECVAR(&TabSheet1, "EdNRSECVAR", {236, 112, SecondsEditWidth, 21}),
      UpDownRWar(&TabSheet1, "UpDownRWar", {264, 112, ArrowsWidth, 21}, EdNRSECVAR, SecondsMinimum,
                 SecondsMaximum),
      CBExitConfirm(&TabSheet1, "CBExitConfirm", {8, 140, 137, 17}),
      Label1(&TabSheet1, "Label1", {12, 184, 0, 0}, ui::Label::Layout::AutoSize),
      CBShutAction(&TabSheet1, "CBShutAction", {104, 180, 189, 21}),
      Panel1(this, "Panel1", {0, 314 - ButtonPanelHeight, 384, ButtonPanelHeight}),
      // OK sets its result itself, once the typed seconds are known to fit.
      BOk(&Panel1, "BOk", {182, 8, 89, 25}, {.isDefault = true, .glyph = OkButtonOptions().glyph}),
      BCancel(&Panel1, "BCancel", {284, 8, 89, 25}, CancelButtonOptions()) {
  CBForce.SetText(ForceAppsCaption);
  CBStartup.SetText(RunAtStartupCaption);
  CBTray.SetText(StartInTrayCaption);
  CBShutWar.SetText(ShowWarningCaption);
  Label2.SetText(SecondsLabel);
  CBRShutWar.SetText(ShowRemoteWarningCaption);
  Label3.SetText(SecondsLabel);
  CBExitConfirm.SetText(ConfirmExitCaption);
  Label1.SetText(ShutdownActionLabel);
  BOk.SetText(OkCaption);
  BCancel.SetText(CancelCaption);
  CBShutWar.OnClick = [this] { CBShutWarClick(); };
  CBRShutWar.OnClick = [this] { CBRShutWarClick(); };
  // The arrows follow their edit, so no label can come right before them.
  UpDownWar.SetAccessibleName(SecondsLabel);
  UpDownRWar.SetAccessibleName(SecondsLabel);
  BOk.OnClick = [this] { BOkClick(); };
  Realize();
}

bool TFOption::EditSettings(Settings& settings, int helpContext) {
  SetHelpContext(helpContext);
  CBShutAction.SetItems(
      std::vector<std::string>(std::begin(TimerActionItems), std::end(TimerActionItems)));
  CBShutAction.SetItemIndex(TimerActionIndex(settings.TimerAction));
  // The arrows first: they show their position in their edits, which then show the stored
  // number even where it lies beyond the arrows' range.
  UpDownWar.SetPosition(settings.WarnSeconds);
  UpDownRWar.SetPosition(settings.RemoteWarnSeconds);
  CBForce.SetChecked(settings.ForceApps != 0);
  CBStartup.SetChecked(settings.RunAtStartup != 0);
  CBTray.SetChecked(settings.StartInTray != 0);
  CBExitConfirm.SetChecked(settings.ConfirmExit != 0);
  CBShutWar.SetChecked(settings.ShowWarning != 0);
  EdNSECVAR.SetText(std::to_string(settings.WarnSeconds));
  CBShutWarClick();
  CBRShutWar.SetChecked(settings.ShowRemoteWarning != 0);
  EdNRSECVAR.SetText(std::to_string(settings.RemoteWarnSeconds));
  CBRShutWarClick();
  if (ShowModal() != ui::ModalResult::Ok) {
    return false;
  }

  settings.ForceApps = CBForce.Checked() ? 1 : 0;
  settings.RunAtStartup = CBStartup.Checked() ? 1 : 0;
  settings.StartInTray = CBTray.Checked() ? 1 : 0;
  settings.TimerAction = TimerActionFromIndex(CBShutAction.ItemIndex());
  ApplyRunAtStartup(settings.RunAtStartup != 0, RunValueName);
  settings.ShowWarning = CBShutWar.Checked() ? 1 : 0;
  // OK let an unticked warning's seconds through unchecked; one that doesn't fit stays as it was.
  settings.WarnSeconds = SecondsFromText(EdNSECVAR.Text()).value_or(settings.WarnSeconds);
  settings.ShowRemoteWarning = CBRShutWar.Checked() ? 1 : 0;
  settings.RemoteWarnSeconds =
      SecondsFromText(EdNRSECVAR.Text()).value_or(settings.RemoteWarnSeconds);
  settings.ConfirmExit = CBExitConfirm.Checked() ? 1 : 0;
  return true;
}

void TFOption::BOkClick() {
  const struct {
    const ui::CheckBox& warning;
    ui::Edit& seconds;
  } fields[] = {{CBShutWar, EdNSECVAR}, {CBRShutWar, EdNRSECVAR}};
  for (const auto& field : fields) {
    if (field.warning.Checked() && !SecondsFromText(field.seconds.Text())) {
      char text[256];
      std::snprintf(text, sizeof text, SecondsOutOfRangeFormat, field.warning.Text().c_str());
      ui::ShowMessageBox(this, text, MessageCaption, win::MbOk | win::MbIconError);
      field.seconds.SetFocus();
      return;
    }
  }
  SetModalResult(ui::ModalResult::Ok);
}

void TFOption::CBShutWarClick() {
  SetEditsUsable(CBShutWar.Checked(), {&EdNSECVAR});
  UpDownWar.SetEnabled(CBShutWar.Checked());
}

void TFOption::CBRShutWarClick() {
  SetEditsUsable(CBRShutWar.Checked(), {&EdNRSECVAR});
  UpDownRWar.SetEnabled(CBRShutWar.Checked());
}
