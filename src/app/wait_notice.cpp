#include "app/wait_notice.h"

#include "common/texts.h"
#include "ui/application.h"

#include <memory>

namespace {
std::unique_ptr<TFWaitNotice> Notice;
}

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
  Notice = std::make_unique<TFWaitNotice>();
  Notice->SetText(caption);
  Notice->Show();
  SetWaitNoticeText(text);
  ui::ProcessMessages();
}

void SetWaitNoticeText(const std::string& text) {
  if (Notice) {
    Notice->LBText.SetText(text);
  }
}

void CloseWaitNotice() {
  Notice.reset();
}

TFWaitNotice* WaitNotice() {
  return Notice.get();
}
