#include "dialogs/about_box.h"

#include "common/texts.h"

TFAboutBox::TFAboutBox()
    : ui::Form({.name = "TFAboutBox",
                .caption = AboutCaption,
                .clientWidth = 277,
                .clientHeight = 248,
                .border = ui::BorderStyle::Dialog}),
      Image1(this, "Image1", {12, 12, 32, 32}, ui::ImageId::AboutPicture),
      Id1(this, "Id1", {64, 20, 0, 0}, ui::Label::Layout::AutoSize),
      BitBtn1(this, "BitBtn1", {190, 212, 75, 25},
              {.modalResult = ui::ModalResult::Ok,
               .isDefault = true,
               .isCancel = true,
               .glyph = ui::ImageId::OkGlyph}) {
  BitBtn1.SetText(OkCaption);
  Realize();
}

ui::ModalResult TFAboutBox::Execute(const char* caption, const char* text, int helpContext) {
  SetText(caption);
  SetHelpContext(helpContext);
  Id1.SetText(text);
  return ShowModal();
}
