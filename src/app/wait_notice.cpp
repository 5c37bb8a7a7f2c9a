#include "app/wait_notice.h"

#include "common/texts.h"
#include "ui/application.h"

#include <memory>

namespace {
// The notice while it exists.
std::unique_ptr<TFWaitNotice> WaitNotice;
} // namespace

TFWaitNotice::TFWaitNotice()
    : ui::Form({.name = "TFWaitNotice",
                .caption = WaitNoticeDesignCaption,
                .clientWidth = 316,
                .clientHeight = 70,
                .border = ui::BorderStyle::Dialog,
                .systemMenu = false,
                .stayOnTop = true}),
      LBText(this, "LBText", {16, 16, 0, 0}, ui::Label::Layout::AutoSize) {
  LBText.SetText(WaitNoticeDesignText);
  Realize();
}

void ShowWaitNotice(const std::string& caption, const std::string& text) {
  CloseWaitNotice();
  WaitNotice = std::make_unique<TFWaitNotice>();
  WaitNotice->SetText(caption);
  WaitNotice->Show();
  SetWaitNoticeText(text);
  ui::ProcessMessages();
}

void SetWaitNoticeText(const std::string& text) {
  if (WaitNotice) {
    WaitNotice->LBText.SetText(text);
  }
}

void CloseWaitNotice() {
  WaitNotice.reset();
}
