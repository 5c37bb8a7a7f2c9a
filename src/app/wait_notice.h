#pragma once
// A small always-on-top notice without buttons, shown while the program does blocking work on
// its only thread.

#include "ui/form.h"

#include <string>

class TFWaitNotice : public ui::Form {
public:
  TFWaitNotice();
  ~TFWaitNotice() override { Destroy(); }

  ui::Label LBText;
};

// Creates and shows the notice and lets it be painted before the caller goes on.
void ShowWaitNotice(const std::string& caption, const std::string& text);
void SetWaitNoticeText(const std::string& text);
// Removes the notice if there is one.
void CloseWaitNotice();
