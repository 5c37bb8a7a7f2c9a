// The flat toolbar: buttons with captions under their images, a narrow separator between
// neighbours, etched edge lines above and below inside a thin border, a tooltip for each button's
// hint, the keyboard with a focus mark, and clicks reported by command id. In high contrast its
// images are glyphs in the scheme's text colours, and the button under the mouse is drawn in the
// highlight colours.

#include "ui/win32/internal.h"

#include <type_traits>

namespace ui::win32 {

namespace {

// The bar places itself at the top of the form's client area, at the height of its buttons and
// edges; the edges are its own, not the divider line of the control.
// Tab reaches the bar like any other control.
constexpr DWORD ToolBarStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | TBSTYLE_FLAT |
                               TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
// Designed lengths: the separator between neighbouring buttons, each etched edge line (a shadow
// line over a light one) and the border between the edges and the buttons.
constexpr int SeparatorWidth = 2;
constexpr int EdgeLineWidth = 1;
constexpr int EdgeWidth = 2 * EdgeLineWidth;
constexpr int BorderWidth = 1;
constexpr UINT_PTR EdgeSubclassId = 3;
constexpr UINT_PTR KeyboardSubclassId = 4;
// The focus mark lies this far inside the button's edge, clear of its frame.
constexpr int FocusMarkInset = 3;

// The frame around the buttons, in pixels at the form's scaling.
struct Frame {
  int line = 0;
  int top = 0;
  int side = 0;
};

Frame FrameOf(Control& bar) {
  const Scaling scaling = bar.OwnerForm()->FormScaling();
  return Frame{scaling.Y(EdgeLineWidth), scaling.Y(EdgeWidth + BorderWidth),
               scaling.X(BorderWidth)};
}

void FillBand(HDC dc, int left, int top, int right, int bottom, int colour) {
  const RECT band{left, top, right, bottom};
  ::FillRect(dc, &band, ::GetSysColorBrush(colour));
}

// The edges and the border are the bar's non-client area, so that the control lays its buttons
// out inside them.
void PaintFrame(HWND window, const Frame& frame) {
  const HDC dc = ::GetWindowDC(window);
  if (dc == nullptr) {
    return;
  }
  RECT outer{};
  ::GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  FillBand(dc, 0, 0, width, frame.top, COLOR_BTNFACE);
  FillBand(dc, 0, height - frame.top, width, height, COLOR_BTNFACE);
  FillBand(dc, 0, 0, frame.side, height, COLOR_BTNFACE);
  FillBand(dc, width - frame.side, 0, width, height, COLOR_BTNFACE);
  for (const int top : {0, height - 2 * frame.line}) {
    FillBand(dc, 0, top, width, top + frame.line, COLOR_BTNSHADOW);
    FillBand(dc, 0, top + frame.line, width, top + 2 * frame.line, COLOR_BTNHIGHLIGHT);
  }
  ::ReleaseDC(window, dc);
}

LRESULT CALLBACK EdgeSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR) {
  Control* bar = ControlOf(window);
  switch (message) {
  case WM_NCCALCSIZE:
    if (bar != nullptr) {
      const Frame frame = FrameOf(*bar);
      RECT& client = *reinterpret_cast<RECT*>(lParam);
      client.left += frame.side;
      client.right -= frame.side;
      client.top += frame.top;
      client.bottom -= frame.top;
      return 0;
    }
    break;
  case WM_NCPAINT:
    if (bar != nullptr) {
      PaintFrame(window, FrameOf(*bar));
      return 0;
    }
    break;
  case WM_NCDESTROY:
    ::RemoveWindowSubclass(window, EdgeSubclass, id);
    break;
  default:
    break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

bool IsSeparator(const TBBUTTON& button) {
  return (button.fsStyle & BTNS_SEP) != 0;
}

TBBUTTON ButtonAt(HWND window, LRESULT index) {
  TBBUTTON button{};
  ::SendMessageA(window, TB_GETBUTTON, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&button));
  return button;
}

RECT ButtonRect(HWND window, LRESULT index) {
  RECT rect{};
  ::SendMessageA(window, TB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
  return rect;
}

// With its background: the flat bar paints only a button's face over it.
void RepaintButton(HWND window, LRESULT index) {
  const RECT rect = ButtonRect(window, index);
  ::InvalidateRect(window, &rect, TRUE);
}

LRESULT CALLBACK KeyboardSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR keyboardButton);

// The button the keyboard is on, by its index among the buttons and separators, is the data of
// the bar's keyboard subclass: the first button until an arrow moves it. It is the keyboard's own,
// as the hot button follows the mouse.
void MoveKeyboardButton(HWND window, LRESULT from, int step) {
  const auto count = static_cast<LRESULT>(::SendMessageA(window, TB_BUTTONCOUNT, 0, 0));
  LRESULT index = from;
  for (LRESULT tried = 0; tried < count; ++tried) {
    index = (index + step + count) % count;
    if (!IsSeparator(ButtonAt(window, index))) {
      ::SetWindowSubclass(window, KeyboardSubclass, KeyboardSubclassId,
                          static_cast<DWORD_PTR>(index));
      RepaintButton(window, from);
      RepaintButton(window, index);
      return;
    }
  }
}

// Enter and Space press the button as a click does: its command goes to the form.
void PressKeyboardButton(HWND window, LRESULT index) {
  const TBBUTTON button = ButtonAt(window, index);
  ::SendMessageA(::GetParent(window), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

// The dotted frame inside the keyboard's button while the bar has the focus, drawn over what the
// bar painted; that button is painted whole first.
void PaintWithFocusMark(HWND window, LRESULT index, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool focused = ::GetFocus() == window;
  if (focused) {
    RepaintButton(window, index);
  }
  ::DefSubclassProc(window, message, wParam, lParam);
  if (focused) {
    RECT mark = ButtonRect(window, index);
    Control* bar = ControlOf(window);
    const int inset =
        bar != nullptr ? bar->OwnerForm()->FormScaling().X(FocusMarkInset) : FocusMarkInset;
    ::InflateRect(&mark, -inset, -inset);
    const HDC dc = ::GetDC(window);
    ::DrawFocusRect(dc, &mark);
    ::ReleaseDC(window, dc);
  }
}

bool IsKeyDown(const MSG* message, WPARAM key) {
  return message != nullptr && message->message == WM_KEYDOWN && message->wParam == key;
}

// The bar from the keyboard: the arrows move along its buttons, Enter and Space press one.
LRESULT CALLBACK KeyboardSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR keyboardButton) {
  const auto index = static_cast<LRESULT>(keyboardButton);
  switch (message) {
  case WM_GETDLGCODE: {
    LRESULT code = ::DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTARROWS;
    // Enter would otherwise go to the form's default button.
    if (IsKeyDown(reinterpret_cast<const MSG*>(lParam), VK_RETURN)) {
      code |= DLGC_WANTMESSAGE;
    }
    return code;
  }
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    RepaintButton(window, index);
    break;
  case WM_KEYDOWN:
    switch (wParam) {
    case VK_RETURN:
    case VK_SPACE:
      PressKeyboardButton(window, index);
      return 0;
    case VK_LEFT:
    case VK_UP:
      MoveKeyboardButton(window, index, -1);
      return 0;
    case VK_RIGHT:
    case VK_DOWN:
      MoveKeyboardButton(window, index, 1);
      return 0;
    default:
      break;
    }
    break;
  case WM_CHAR:
    if (wParam == ' ' || wParam == '\r') {
      return 0;
    }
    break;
  case WM_PAINT:
    PaintWithFocusMark(window, index, message, wParam, lParam);
    return 0;
  case WM_NCDESTROY:
    ::RemoveWindowSubclass(window, KeyboardSubclass, id);
    break;
  default:
    break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

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

// In high contrast the hot button stands on the highlight, under which its glyph has the
// highlight text's ink; otherwise the bar draws as Windows does.
LRESULT DrawHotInHighlight(NMTBCUSTOMDRAW& draw) {
  if (!InkFor(GlyphState::Hot).has_value()) {
    return CDRF_DODEFAULT;
  }
  switch (draw.nmcd.dwDrawStage) {
  case CDDS_PREPAINT:
    return CDRF_NOTIFYITEMDRAW;
  case CDDS_ITEMPREPAINT:
    draw.clrHighlightHotTrack = ::GetSysColor(COLOR_HIGHLIGHT);
    draw.clrTextHighlight = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    return TBCDRF_HILITEHOTTRACK;
  default:
    return CDRF_DODEFAULT;
  }
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
  // Known before the first message that asks for the frame.
  bar.native = reinterpret_cast<std::uintptr_t>(window);
  Remember(window, bar);
  ::SetWindowSubclass(window, EdgeSubclass, EdgeSubclassId, 0);
  ::SetWindowSubclass(window, KeyboardSubclass, KeyboardSubclassId, 0);
  ::SendMessageA(window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(data.font), FALSE);

  std::vector<TBBUTTON> buttons;
  for (std::size_t index = 0; index < bar.Buttons().size(); ++index) {
    if (index > 0) {
      TBBUTTON separator{};
      separator.fsStyle = BTNS_SEP;
      buttons.push_back(separator);
    }
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
  ScaleToolBar(bar, data);
  return window;
}

void ScaleToolBar(ToolBar& bar, FormData& data) {
  const HWND window = WindowOf(bar);
  const Form& form = *bar.OwnerForm();
  const Scaling scaling = form.FormScaling();
  LoadToolBarImages(bar, data);

  const int buttonWidth = scaling.X(bar.ButtonWidth());
  const int buttonHeight = scaling.Y(bar.ButtonHeight());
  ::SendMessageA(window, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth, buttonHeight));
  // Every button keeps its designed width, whatever its caption would ask for.
  ::SendMessageA(window, TB_SETBUTTONWIDTH, 0, MAKELPARAM(buttonWidth, buttonWidth));
  const auto count = static_cast<int>(::SendMessageA(window, TB_BUTTONCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TBBUTTON button{};
    ::SendMessageA(window, TB_GETBUTTON, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&button));
    if (IsSeparator(button)) {
      TBBUTTONINFOA info{};
      info.cbSize = sizeof info;
      info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
      info.cx = static_cast<WORD>(scaling.X(SeparatorWidth));
      ::SendMessageA(window, TB_SETBUTTONINFOA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&info));
    }
  }

  // Across the form's client area at the top, above the panels that fill it; from the form's
  // size, as a minimised window's client area has none.
  const int height = buttonHeight + 2 * FrameOf(bar).top;
  ::SetWindowPos(window, HWND_TOP, 0, 0, scaling.X(form.Bounds().width), height,
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void LoadToolBarImages(ToolBar& bar, FormData& data) {
  const HWND window = WindowOf(bar);
  const int dpi = bar.OwnerForm()->FormScaling().dpi;
  const HIMAGELIST images = LoadImageStrip(bar.Images(), dpi, InkFor(GlyphState::Normal));
  const HIMAGELIST previous = KeepImages(data, bar, images);
  ::SendMessageA(window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  FreeImages(previous);
  // Without a list of its own the hot button shows the normal images.
  const std::optional<COLORREF> hotInk = InkFor(GlyphState::Hot);
  const HIMAGELIST hot = hotInk.has_value() ? LoadImageStrip(bar.Images(), dpi, hotInk) : nullptr;
  const HIMAGELIST previousHot = KeepImages(data, bar, hot, GlyphState::Hot);
  ::SendMessageA(window, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot));
  FreeImages(previousHot);
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

bool HandleToolBarNotify(Form& form, NMHDR& header, LRESULT& result) {
  switch (header.code) {
  case NM_CUSTOMDRAW: {
    const Control* bar = ControlOf(header.hwndFrom);
    if (bar == nullptr || bar->Kind() != ControlKind::ToolBar) {
      return false;
    }
    result = DrawHotInHighlight(reinterpret_cast<NMTBCUSTOMDRAW&>(header));
    return true;
  }
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
