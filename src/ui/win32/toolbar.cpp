// The flat toolbar: buttons with captions under their images, a tooltip for each button's
// hint, and clicks reported by command id.

#include "ui/win32/internal.h"

#include <type_traits>

namespace ui::win32 {

namespace {

constexpr DWORD ToolBarStyle =
    WS_CHILD | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP;

const ToolBar::ToolButton* FindButton(Form& form, int id) {
  const auto& commands = DataOf(form).toolCommands;
  const auto found = commands.find(id);
  if (found == commands.end()) {
    return nullptr;
  }
  const ToolCommand& command = found->second;
  const auto& buttons = command.bar->Buttons();
  return command.index < buttons.size() ? &buttons[command.index] : nullptr;
}

// The toolbar asks for a button's tip in ANSI or in UTF-16, with the same request otherwise.
template <typename Request> bool AnswerInfoTip(Form& form, NMHDR& header) {
  const auto& tip = reinterpret_cast<const Request&>(header);
  const ToolBar::ToolButton* button = FindButton(form, tip.iItem);
  if (button == nullptr) {
    return false;
  }
  CopyTipText(button->hint, std::is_same_v<Request, NMTBGETINFOTIPW>, tip.pszText, tip.cchTextMax);
  return true;
}

} // namespace

HWND CreateToolBar(ToolBar& bar, HWND parentWindow, FormData& data) {
  const DWORD style = ToolBarStyle | (bar.Visible() ? WS_VISIBLE : 0);
  const HWND window = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style, 0, 0, 0, 0, parentWindow,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(data.NewId())),
                                        Instance(), nullptr);
  if (window == nullptr) {
    return nullptr;
  }
  ::SendMessageA(window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(data.font), FALSE);
  if (const HIMAGELIST images = LoadImageStrip(bar.Images())) {
    data.imageLists.push_back(images);
    ::SendMessageA(window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  }
  ::SendMessageA(window, TB_SETBUTTONSIZE, 0, MAKELPARAM(bar.ButtonWidth(), bar.ButtonHeight()));

  std::vector<TBBUTTON> buttons;
  for (std::size_t index = 0; index < bar.Buttons().size(); ++index) {
    const ToolBar::ToolButton& source = bar.Buttons()[index];
    TBBUTTON button{};
    button.iBitmap = source.image;
    button.idCommand = data.NewId();
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    // The toolbar keeps its own copy of the caption.
    button.iString = reinterpret_cast<INT_PTR>(source.caption.c_str());
    data.toolCommands[button.idCommand] = ToolCommand{&bar, index};
    buttons.push_back(button);
  }
  ::SendMessageA(window, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageA(window, TB_AUTOSIZE, 0, 0);
  // The toolbar lies over the top of the client area, above the panels that fill it.
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return window;
}

bool HandleToolBarCommand(Form& form, int id) {
  const ToolBar::ToolButton* button = FindButton(form, id);
  if (button == nullptr) {
    return false;
  }
  ToolBar& bar = *DataOf(form).toolCommands[id].bar;
  // Copied: the click may change the toolbar's buttons.
  const std::string name = button->name;
  bar.ClickButton(name);
  return true;
}

bool HandleToolBarNotify(Form& form, NMHDR& header) {
  switch (header.code) {
  case TBN_GETINFOTIPA:
    return AnswerInfoTip<NMTBGETINFOTIPA>(form, header);
  case TBN_GETINFOTIPW:
    return AnswerInfoTip<NMTBGETINFOTIPW>(form, header);
  case TTN_GETDISPINFOA:
  case TTN_GETDISPINFOW: {
    const ToolBar::ToolButton* button = FindButton(form, static_cast<int>(header.idFrom));
    if (button == nullptr) {
      return false;
    }
    AnswerTipRequest(DataOf(form), header, button->hint);
    return true;
  }
  default:
    return false;
  }
}

} // namespace ui::win32
