#pragma once
// The About box: the program's picture, name, version and copyright.

#include "ui/form.h"

class TFAboutBox : public ui::Form {
public:
  TFAboutBox();
  ~TFAboutBox() override { Destroy(); }

  ui::Image Image1;
  ui::Label Id1;
  ui::Button BitBtn1;

  ui::ModalResult Execute(const char* caption, const char* text, int helpContext);
};
