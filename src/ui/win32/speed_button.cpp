// Speed buttons are drawn by the program: flat, with the glyph left of the caption and the two
// centred together, a frame only while the mouse is over the button or it is pressed, and the
// focus mark while it has the keyboard focus. In high contrast the button under the mouse stands
// on the highlight, and each state's glyph is in the ink of its text.

#include "ui/win32/internal.h"

namespace ui::win32 {

namespace {

// The pressed button's face moves by this much, as pushed in.
constexpr int PressedShift = 1;
constexpr UINT_PTR HoverSubclassId = 2;
// The focus mark lies this far inside the button's edge, clear of its frame.
constexpr int FocusMarkInset = 3;

// Only one button can be under the mouse.
HWND HoverButton = nullptr;

void SetHoverButton(HWND button) {
  if (HoverButton == button) {
    return;
  }
  const HWND previous = HoverButton;
  HoverButton = button;
  if (previous != nullptr) {
    ::InvalidateRect(previous, nullptr, FALSE);
  }
  if (button != nullptr) {
    ::InvalidateRect(button, nullptr, FALSE);
  }
}

LRESULT CALLBACK HoverSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
  switch (message) {
  case WM_MOUSEMOVE:
    if (HoverButton != window) {
      TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window, 0};
      ::TrackMouseEvent(&leave);
      SetHoverButton(window);
    }
    break;
  case WM_MOUSELEAVE:
    if (HoverButton == window) {
      SetHoverButton(nullptr);
    }
    break;
  case WM_NCDESTROY:
    if (HoverButton == window) {
      HoverButton = nullptr;
    }
    ::RemoveWindowSubclass(window, HoverSubclass, id);
    break;
  default:
    break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void TrackHover(HWND button) {
  ::SetWindowSubclass(button, HoverSubclass, HoverSubclassId, 0);
}

bool DrawOwnerButton(Form& form, const DRAWITEMSTRUCT& item) {
  const Control* control = ControlOf(item.hwndItem);
  if (control == nullptr || control->Kind() != ControlKind::SpeedButton) {
    return false;
  }
  const auto& button = static_cast<const SpeedButton&>(*control);
  const HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool hot = item.hwndItem == HoverButton;
  const GlyphState state = disabled ? GlyphState::Disabled
                           : hot    ? GlyphState::Hot
                                    : GlyphState::Normal;
  // A glyph of the state's own exists only in high contrast.
  const HIMAGELIST stateGlyph = ImagesOf(DataOf(form), *control, state);
  const bool highlighted = state == GlyphState::Hot && stateGlyph != nullptr;
  ::FillRect(dc, &face, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  if (pressed) {
    ::DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
  } else if (hot && !disabled) {
    ::DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT);
  }
  const int shift = pressed ? PressedShift : 0;

  const HIMAGELIST glyph = stateGlyph != nullptr ? stateGlyph : ImagesOf(DataOf(form), *control);
  const bool faded = disabled && stateGlyph == nullptr;
  int glyphWidth = 0;
  int glyphHeight = 0;
  if (glyph != nullptr) {
    ::ImageList_GetIconSize(glyph, &glyphWidth, &glyphHeight);
  }

  const std::string& caption = button.Text();
  const auto font = reinterpret_cast<HFONT>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  const HGDIOBJ previousFont = ::SelectObject(dc, font);
  RECT textArea{};
  if (!caption.empty()) {
    ::DrawTextA(dc, caption.c_str(), -1, &textArea, DT_CALCRECT | DT_SINGLELINE);
  }
  const int textWidth = textArea.right - textArea.left;
  const int gap = glyph != nullptr && !caption.empty() ? form.FormScaling().X(button.Spacing()) : 0;
  const int width = face.right - face.left;
  const int height = face.bottom - face.top;
  const int left = face.left + (width - (glyphWidth + gap + textWidth)) / 2 + shift;

  if (glyph != nullptr) {
    // A disabled glyph in the drawing's colours is faded into the button face.
    ::ImageList_DrawEx(glyph, 0, dc, left, face.top + (height - glyphHeight) / 2 + shift, 0, 0,
                       CLR_NONE, ::GetSysColor(COLOR_BTNFACE), faded ? ILD_BLEND50 : ILD_NORMAL);
  }
  if (!caption.empty()) {
    RECT text{left + glyphWidth + gap, face.top + shift, face.right, face.bottom + shift};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(disabled      ? COLOR_GRAYTEXT
                                     : highlighted ? COLOR_HIGHLIGHTTEXT
                                                   : COLOR_BTNTEXT));
    ::DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  }
  ::SelectObject(dc, previousFont);
  // Reached by the keyboard: the dotted frame, unless Windows hides focus marks until a key is
  // used.
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT mark = item.rcItem;
    const int inset = form.FormScaling().X(FocusMarkInset);
    ::InflateRect(&mark, -inset, -inset);
    ::DrawFocusRect(dc, &mark);
  }
  return true;
}

} // namespace ui::win32
