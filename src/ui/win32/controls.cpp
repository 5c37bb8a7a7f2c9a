// The controls of a form as child windows of the standard and common-control classes: their
// creation, the program's changes applied to them, and what the user does with them.

#include "ui/win32/internal.h"

#include <algorithm>

namespace ui::win32 {

namespace {

constexpr char PanelClassName[] = "DorvanePanel";
// A check box's glyph and the gap between it and the caption, at the design DPI.
constexpr int CheckBoxGlyphWidth = 13;
constexpr int CheckBoxTextGap = 4;
// The window of a drop-down list includes the opened list; this is how far the list reaches.
constexpr int DropDownHeight = 160;
constexpr UINT_PTR ForwardingSubclassId = 1;

// Messages a container receives about its children. The controls are handled by the form, so
// containers pass these on to it.
bool IsChildNotification(UINT message) {
  switch (message) {
  case WM_COMMAND:
  case WM_NOTIFY:
  case WM_DRAWITEM:
    return true;
  default:
    return false;
  }
}

LRESULT ForwardToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
}

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsChildNotification(message)) {
    return ForwardToForm(window, message, wParam, lParam);
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// For containers of a system class, such as a group box holding a time picker.
LRESULT CALLBACK ForwardingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR) {
  if (IsChildNotification(message)) {
    return ForwardToForm(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, ForwardingSubclass, id);
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

void RegisterPanelClass() {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(Instance(), PanelClassName, &existing)) {
    return;
  }
  WNDCLASSEXA panel{};
  panel.cbSize = sizeof panel;
  panel.lpfnWndProc = PanelProcedure;
  panel.hInstance = Instance();
  panel.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panel.lpszClassName = PanelClassName;
  ::RegisterClassExA(&panel);
}

struct NativeKind {
  const char* className = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
};

NativeKind NativeKindOf(const Control& control) {
  switch (control.Kind()) {
  case ControlKind::Panel:
  case ControlKind::TabSheet:
    return {PanelClassName, 0, WS_EX_CONTROLPARENT};
  case ControlKind::Label: {
    // A left-aligned label is one line: a word that does not fit is cut off rather than moved
    // to a line below its bounds, where it would not show at all.
    const bool centred = static_cast<const Label&>(control).TextLayout() == Label::Layout::Centred;
    return {WC_STATICA, static_cast<DWORD>(centred ? SS_CENTER : SS_LEFTNOWORDWRAP)};
  }
  case ControlKind::Button: {
    const bool isDefault = static_cast<const Button&>(control).ButtonOptions().isDefault;
    return {WC_BUTTONA,
            static_cast<DWORD>(WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
  }
  case ControlKind::CheckBox:
    return {WC_BUTTONA, WS_TABSTOP | BS_AUTOCHECKBOX};
  case ControlKind::Edit: {
    const Edit& edit = static_cast<const Edit&>(control);
    if (edit.ReadOnlyLines()) {
      return {
          WC_EDITA,
          static_cast<DWORD>(WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL),
          WS_EX_CLIENTEDGE};
    }
    const bool hidden = edit.PasswordChar() != '\0';
    return {WC_EDITA, static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL | (hidden ? ES_PASSWORD : 0)),
            WS_EX_CLIENTEDGE};
  }
  case ControlKind::GroupBox:
    return {WC_BUTTONA, BS_GROUPBOX, WS_EX_CONTROLPARENT};
  case ControlKind::UpDown:
    // Attached to their edit, which Tab reaches instead: they read and write its number, and the
    // arrow keys pressed in it move them.
    return {UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT};
  case ControlKind::ComboBox:
    return {WC_COMBOBOXA, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
  case ControlKind::DateTimePicker:
    return {DATETIMEPICK_CLASSA, WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN};
  case ControlKind::ProgressBar:
    return {PROGRESS_CLASSA};
  case ControlKind::StatusBar:
    return {STATUSCLASSNAMEA, CCS_BOTTOM};
  case ControlKind::SpeedButton:
    return {WC_BUTTONA, WS_TABSTOP | BS_OWNERDRAW};
  case ControlKind::PageControl:
    return {WC_TABCONTROLA, WS_TABSTOP, WS_EX_CONTROLPARENT};
  case ControlKind::Image:
    return {WC_STATICA, SS_BITMAP};
  case ControlKind::Form:
  case ControlKind::ToolBar:
    break;
  }
  return {};
}

std::size_t SheetIndex(const Control& sheet) {
  std::size_t index = 0;
  for (const Control* sibling : sheet.Parent()->Children()) {
    if (sibling == &sheet) {
      break;
    }
    if (sibling->Kind() == ControlKind::TabSheet) {
      ++index;
    }
  }
  return index;
}

// Whether the sheet is the tab control's selected one (TCM_GETCURSEL's answer, -1 for none).
bool IsSelectedSheet(LRESULT selected, const Control& sheet) {
  return selected >= 0 && static_cast<std::size_t>(selected) == SheetIndex(sheet);
}

// The tab of a sheet, as the tab control takes it; it copies the text.
TCITEMA TabItemOf(const Control& sheet) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(sheet.Text().c_str());
  return item;
}

// Where the control's window goes inside its parent window. Bars place themselves along the
// form's edges and sheets fill the display area of their tabs.
RECT NativeBounds(Control& control, HWND parentWindow) {
  if (control.Kind() == ControlKind::TabSheet) {
    RECT area{};
    ::GetClientRect(parentWindow, &area);
    ::SendMessageA(parentWindow, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
  }
  const Rect bounds = control.ScaledBounds();
  const Form* form = control.OwnerForm();
  const int extra = control.Kind() != ControlKind::ComboBox ? 0
                    : form != nullptr                       ? form->FormScaling().Y(DropDownHeight)
                                                            : DropDownHeight;
  return RECT{bounds.left, bounds.top, bounds.left + bounds.width,
              bounds.top + bounds.height + extra};
}

bool PlacedByItself(const Control& control) {
  switch (control.Kind()) {
  case ControlKind::ToolBar:
  case ControlKind::StatusBar:
  case ControlKind::TabSheet:
    return true;
  default:
    return false;
  }
}

bool InitiallyShown(const Control& control, HWND parentWindow) {
  if (control.Kind() == ControlKind::TabSheet) {
    return IsSelectedSheet(::SendMessageA(parentWindow, TCM_GETCURSEL, 0, 0), control);
  }
  return control.Visible();
}

SIZE TextExtent(HWND window, const std::string& text) {
  const HDC dc = ::GetDC(window);
  const auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = ::SelectObject(dc, font);
  RECT area{};
  // An empty text still takes the height of a line.
  ::DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &area,
              DT_CALCRECT | DT_EXPANDTABS | DT_NOCLIP);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return SIZE{text.empty() ? 0 : area.right - area.left, area.bottom - area.top};
}

// The designed bounds of the control's siblings that lie beside it; bars and sheets place
// themselves.
std::vector<Rect> SiblingBounds(Control& control) {
  std::vector<Rect> siblings;
  for (Control* sibling : control.Parent()->Children()) {
    if (sibling != &control && !PlacedByItself(*sibling)) {
      siblings.push_back(sibling->ScaledBounds());
    }
  }
  return siblings;
}

// An auto-sized label's window takes the size of its text in its own font; its designed bounds
// keep only its place, so that a change of DPI measures the text again. A left-aligned label and
// a check box widen to their caption, so that a face whose letters run wider than the average
// that scaled the form still shows the whole caption, but no further than their neighbours: an
// earlier control lies above a later one and would hide it and take its clicks. A label is as
// tall as its lines, which may be taller in the face the system gives than in the designed one.
void FitCaption(Control& control, HWND window) {
  const bool isLabel = control.Kind() == ControlKind::Label;
  if (!isLabel && control.Kind() != ControlKind::CheckBox) {
    return;
  }
  const Label::Layout layout =
      isLabel ? static_cast<const Label&>(control).TextLayout() : Label::Layout::Left;
  const SIZE text = TextExtent(window, control.Text());
  SIZE size = text;
  if (layout != Label::Layout::AutoSize) {
    const Rect designed = control.ScaledBounds();
    size =
        SIZE{designed.width, isLabel ? std::max<LONG>(text.cy, designed.height) : designed.height};
    if (layout == Label::Layout::Left) {
      const int box =
          isLabel ? 0 : control.OwnerForm()->FormScaling().Y(CheckBoxGlyphWidth + CheckBoxTextGap);
      RECT parent{};
      ::GetClientRect(::GetParent(window), &parent);
      const int room = CaptionRoom(designed, SiblingBounds(control), parent.right);
      size.cx = std::clamp<LONG>(text.cx + box, designed.width, room);
    }
  }
  ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowSelectedSheet(PageControl& page) {
  const LRESULT selected = ::SendMessageA(WindowOf(page), TCM_GETCURSEL, 0, 0);
  for (Control* child : page.Children()) {
    if (child->Kind() == ControlKind::TabSheet && child->native != 0) {
      ::ShowWindow(WindowOf(*child), IsSelectedSheet(selected, *child) ? SW_SHOW : SW_HIDE);
    }
  }
}

void ApplyText(Control& control, HWND window) {
  switch (control.Kind()) {
  case ControlKind::TabSheet: {
    TCITEMA item = TabItemOf(control);
    ::SendMessageA(WindowOf(*control.Parent()), TCM_SETITEMA, SheetIndex(control),
                   reinterpret_cast<LPARAM>(&item));
    break;
  }
  case ControlKind::Label:
  case ControlKind::CheckBox:
    ::SetWindowTextA(window, control.Text().c_str());
    FitCaption(control, window);
    break;
  default:
    ::SetWindowTextA(window, control.Text().c_str());
    break;
  }
}

void ApplyRange(Control& control, HWND window) {
  if (control.Kind() == ControlKind::ProgressBar) {
    const auto& bar = static_cast<const ProgressBar&>(control);
    ::SendMessageA(window, PBM_SETRANGE32, static_cast<WPARAM>(bar.Minimum()),
                   static_cast<LPARAM>(bar.Maximum()));
  } else if (control.Kind() == ControlKind::UpDown) {
    const auto& upDown = static_cast<const UpDown&>(control);
    ::SendMessageA(window, UDM_SETRANGE32, static_cast<WPARAM>(upDown.Minimum()),
                   static_cast<LPARAM>(upDown.Maximum()));
  }
}

void ApplyPosition(Control& control, HWND window) {
  switch (control.Kind()) {
  case ControlKind::ProgressBar:
    ::SendMessageA(window, PBM_SETPOS,
                   static_cast<WPARAM>(static_cast<ProgressBar&>(control).Position()), 0);
    break;
  case ControlKind::UpDown:
    ::SendMessageA(window, UDM_SETPOS32, 0, static_cast<UpDown&>(control).Position());
    break;
  case ControlKind::ComboBox:
    ::SendMessageA(window, CB_SETCURSEL,
                   static_cast<WPARAM>(static_cast<ComboBox&>(control).ItemIndex()), 0);
    break;
  default:
    break;
  }
}

void ApplyItems(Control& control, HWND window) {
  if (control.Kind() != ControlKind::ComboBox) {
    return;
  }
  const auto& box = static_cast<const ComboBox&>(control);
  ::SendMessageA(window, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : box.Items()) {
    ::SendMessageA(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  ::SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(box.ItemIndex()), 0);
}

void ApplyTime(Control& control, HWND window) {
  if (control.Kind() != ControlKind::DateTimePicker) {
    return;
  }
  const TimeOfDay time = static_cast<const DateTimePicker&>(control).Time();
  // The picker keeps a whole date; only its time of day is shown.
  SYSTEMTIME value{};
  ::GetLocalTime(&value);
  value.wHour = static_cast<WORD>(time.hour);
  value.wMinute = static_cast<WORD>(time.minute);
  value.wSecond = static_cast<WORD>(time.second);
  value.wMilliseconds = static_cast<WORD>(time.millisecond);
  ::SendMessageA(window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

void ApplyChecked(Control& control, HWND window) {
  if (control.Kind() == ControlKind::CheckBox) {
    const bool checked = static_cast<const CheckBox&>(control).Checked();
    ::SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void ScaleStatusBar(StatusBar& bar, HWND window) {
  const Scaling scaling = bar.OwnerForm()->FormScaling();
  std::vector<int> rightEdges;
  int right = 0;
  for (const StatusBar::Panel& panel : bar.Panels()) {
    right += scaling.X(panel.width);
    rightEdges.push_back(right);
  }
  if (!rightEdges.empty()) {
    ::SendMessageA(window, SB_SETPARTS, rightEdges.size(),
                   reinterpret_cast<LPARAM>(rightEdges.data()));
  }
  // The bar takes the height of its font and lies along the bottom again.
  ::SendMessageA(window, WM_SIZE, 0, 0);
}

void PrepareStatusBar(StatusBar& bar, HWND window) {
  ScaleStatusBar(bar, window);
  for (std::size_t index = 0; index < bar.Panels().size(); ++index) {
    ::SendMessageA(window, SB_SETTEXTA, index,
                   reinterpret_cast<LPARAM>(bar.Panels()[index].text.c_str()));
  }
  // Like the toolbar, the status bar lies over the panels that fill the client area.
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PrepareTabs(const PageControl& page, HWND window) {
  int index = 0;
  for (const Control* child : page.Children()) {
    if (child->Kind() != ControlKind::TabSheet) {
      continue;
    }
    TCITEMA item = TabItemOf(*child);
    ::SendMessageA(window, TCM_INSERTITEMA, static_cast<WPARAM>(index++),
                   reinterpret_cast<LPARAM>(&item));
  }
}

int DpiOf(Control& control) {
  const Form* form = control.OwnerForm();
  return form != nullptr ? form->FormScaling().dpi : DesignDpi;
}

// A speed button's glyph for each state it draws: in high contrast one per state, each in its
// ink; otherwise the normal one, which the button fades when disabled.
void LoadSpeedButtonGlyphs(const SpeedButton& button, FormData& data, int dpi) {
  for (const GlyphState state : GlyphStates) {
    const std::optional<COLORREF> ink = InkFor(state);
    const HIMAGELIST glyph = ink.has_value() || state == GlyphState::Normal
                                 ? LoadGlyph(button.Glyph(), dpi, ink)
                                 : nullptr;
    FreeImages(KeepImages(data, button, glyph, state));
  }
}

// The control's images at its form's DPI and in the current colours.
void LoadImages(Control& control, HWND window, FormData& data) {
  switch (control.Kind()) {
  case ControlKind::Button:
    if (const HIMAGELIST glyph = LoadGlyph(static_cast<Button&>(control).ButtonOptions().glyph,
                                           DpiOf(control), InkFor(GlyphState::Normal))) {
      const HIMAGELIST previous = KeepImages(data, control, glyph);
      BUTTON_IMAGELIST images{glyph, RECT{}, BUTTON_IMAGELIST_ALIGN_LEFT};
      ::SendMessageA(window, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
      FreeImages(previous);
    }
    break;
  case ControlKind::SpeedButton:
    LoadSpeedButtonGlyphs(static_cast<SpeedButton&>(control), data, DpiOf(control));
    ::InvalidateRect(window, nullptr, TRUE);
    break;
  case ControlKind::Image:
    if (const HBITMAP picture =
            LoadPicture(static_cast<Image&>(control).Picture(), DpiOf(control))) {
      ShowPicture(data, control, window, picture);
    }
    break;
  default:
    break;
  }
}

// The arrows take their place at the right end of their edit, which they narrow by their width.
void AttachBuddy(UpDown& upDown, HWND window) {
  ::SendMessageA(window, UDM_SETBUDDY, reinterpret_cast<WPARAM>(WindowOf(upDown.Buddy())), 0);
}

// The dialog manager sends Enter and Esc as the commands IDOK and IDCANCEL, which the default
// and the cancel button carry; the other controls' ids lie above those.
int ControlId(const Control& control, FormData& data) {
  if (control.Kind() == ControlKind::Button) {
    const Button::Options& options = static_cast<const Button&>(control).ButtonOptions();
    if (options.isDefault) {
      return IDOK;
    }
    if (options.isCancel) {
      return IDCANCEL;
    }
  }
  return data.NewId();
}

// What a new window needs beyond its class, style and text.
void Prepare(Control& control, HWND window, FormData& data) {
  LoadImages(control, window, data);
  switch (control.Kind()) {
  case ControlKind::Label:
  case ControlKind::CheckBox:
    FitCaption(control, window);
    break;
  case ControlKind::Edit:
    if (const char mask = static_cast<Edit&>(control).PasswordChar(); mask != '\0') {
      ::SendMessageA(window, EM_SETPASSWORDCHAR, static_cast<unsigned char>(mask), 0);
    }
    break;
  case ControlKind::GroupBox:
    ::SetWindowSubclass(window, ForwardingSubclass, ForwardingSubclassId, 0);
    break;
  case ControlKind::UpDown:
    AttachBuddy(static_cast<UpDown&>(control), window);
    break;
  case ControlKind::StatusBar:
    PrepareStatusBar(static_cast<StatusBar&>(control), window);
    break;
  case ControlKind::SpeedButton:
    TrackHover(window);
    break;
  case ControlKind::PageControl:
    PrepareTabs(static_cast<PageControl&>(control), window);
    break;
  default:
    break;
  }
  ApplyRange(control, window);
  ApplyItems(control, window);
  ApplyPosition(control, window);
  ApplyChecked(control, window);
  ApplyTime(control, window);
}

HWND CreateChild(Control& control, HWND parentWindow, FormData& data) {
  HWND window = nullptr;
  if (control.Kind() == ControlKind::ToolBar) {
    window = CreateToolBar(static_cast<ToolBar&>(control), parentWindow, data);
  } else {
    const NativeKind kind = NativeKindOf(control);
    const RECT bounds = NativeBounds(control, parentWindow);
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style |
                        (InitiallyShown(control, parentWindow) ? WS_VISIBLE : 0) |
                        (control.Enabled() ? 0 : WS_DISABLED);
    window = ::CreateWindowExA(
        kind.exStyle, kind.className, control.Text().c_str(), style, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, parentWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control, data))), Instance(),
        nullptr);
  }
  if (window == nullptr) {
    return nullptr;
  }
  control.native = reinterpret_cast<std::uintptr_t>(window);
  Remember(window, control);
  if (control.Kind() != ControlKind::ToolBar) {
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(data.font), FALSE);
    Prepare(control, window, data);
  }
  return window;
}

// The up arrow moves towards the second bound of the control's range; with the default range
// (100 down to 0) that is a negative step.
bool IsUpArrow(HWND window, int delta) {
  int low = 0;
  int high = 0;
  ::SendMessageA(window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
  return (delta > 0) == (low <= high);
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
  const int length = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

bool CreateTree(Control& parent, HWND parentWindow, FormData& data) {
  for (Control* child : parent.Children()) {
    const HWND window = CreateChild(*child, parentWindow, data);
    if (window == nullptr || !CreateTree(*child, window, data)) {
      return false;
    }
  }
  return true;
}

void Place(Control& control, HWND window) {
  if (!PlacedByItself(control)) {
    const RECT bounds = NativeBounds(control, ::GetParent(window));
    ::MoveWindow(window, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, TRUE);
  }
  // The edit was placed at its whole designed width again.
  if (control.Kind() == ControlKind::UpDown) {
    AttachBuddy(static_cast<UpDown&>(control), window);
  }
}

} // namespace

bool CreateChildren(Control& parent, HWND parentWindow, FormData& data) {
  RegisterPanelClass();
  return CreateTree(parent, parentWindow, data);
}

void WipeNativeSecrets(Control& parent) {
  for (Control* child : parent.Children()) {
    if (child->TextSecret() && child->native != 0) {
      const HWND window = WindowOf(*child);
      // Spaces of the same length take the text's place in its own buffer; a shorter text would
      // leave the rest behind its end.
      if (::IsWindowUnicode(window)) {
        const std::wstring filler(static_cast<std::size_t>(::GetWindowTextLengthW(window)), L' ');
        ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(filler.c_str()));
      } else {
        const std::string filler(static_cast<std::size_t>(::GetWindowTextLengthA(window)), ' ');
        ::SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(filler.c_str()));
      }
    }
    WipeNativeSecrets(*child);
  }
}

void UpdateControl(Control& control, Property property) {
  const HWND window = WindowOf(control);
  switch (property) {
  case Property::Text:
    ApplyText(control, window);
    break;
  case Property::Enabled:
    ::EnableWindow(window, control.Enabled());
    break;
  case Property::Visible:
    // A sheet shows while its tab is selected.
    if (control.Kind() != ControlKind::TabSheet) {
      ::ShowWindow(window, control.Visible() ? SW_SHOW : SW_HIDE);
    }
    break;
  case Property::Checked:
    ApplyChecked(control, window);
    break;
  case Property::Range:
    ApplyRange(control, window);
    break;
  case Property::Position:
    ApplyPosition(control, window);
    break;
  case Property::Items:
    ApplyItems(control, window);
    break;
  case Property::Time:
    ApplyTime(control, window);
    break;
  case Property::Bounds:
    Place(control, window);
    break;
  case Property::Accessibility:
    ApplyAccessibility(control);
    break;
  }
}

void RescaleChildren(Control& parent, FormData& data) {
  for (Control* child : parent.Children()) {
    const HWND window = WindowOf(*child);
    if (window == nullptr) {
      continue;
    }
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(data.font), TRUE);
    switch (child->Kind()) {
    case ControlKind::ToolBar:
      ScaleToolBar(static_cast<ToolBar&>(*child), data);
      break;
    case ControlKind::StatusBar:
      ScaleStatusBar(static_cast<StatusBar&>(*child), window);
      break;
    case ControlKind::TabSheet: {
      const RECT area = NativeBounds(*child, ::GetParent(window));
      ::MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   TRUE);
      break;
    }
    default:
      Place(*child, window);
      break;
    }
    LoadImages(*child, window, data);
    FitCaption(*child, window);
    RescaleChildren(*child, data);
  }
}

void ReloadChildImages(Control& parent, FormData& data) {
  for (Control* child : parent.Children()) {
    const HWND window = WindowOf(*child);
    if (window == nullptr) {
      continue;
    }
    if (child->Kind() == ControlKind::ToolBar) {
      LoadToolBarImages(static_cast<ToolBar&>(*child), data);
    } else {
      LoadImages(*child, window, data);
    }
    ReloadChildImages(*child, data);
  }
}

bool HandleControlCommand(Form& form, WPARAM wParam, HWND source) {
  Control* control = ControlOf(source);
  if (control == nullptr) {
    return false;
  }
  const int id = LOWORD(wParam);
  if (control->Kind() == ControlKind::ToolBar) {
    return HandleToolBarCommand(form, id);
  }
  // The dialog manager reports Enter as IDOK with the focused control as sender; only a
  // control's own id is a click on it.
  if (::GetDlgCtrlID(source) != id) {
    return false;
  }
  if (ApplyingProgramChange()) {
    return true;
  }
  const WORD code = HIWORD(wParam);
  switch (control->Kind()) {
  case ControlKind::Button:
    if (code == BN_CLICKED) {
      static_cast<Button*>(control)->Click();
    }
    break;
  case ControlKind::CheckBox:
    if (code == BN_CLICKED) {
      const bool checked = ::SendMessageA(source, BM_GETCHECK, 0, 0) == BST_CHECKED;
      static_cast<CheckBox*>(control)->CheckedFromUser(checked);
    }
    break;
  case ControlKind::SpeedButton:
    if (code == BN_CLICKED && control->OnClick) {
      control->OnClick();
    }
    break;
  case ControlKind::Edit:
    if (code == EN_CHANGE) {
      static_cast<Edit*>(control)->TextFromUser(WindowText(source));
    }
    break;
  case ControlKind::ComboBox:
    if (code == CBN_SELCHANGE) {
      const auto index = static_cast<int>(::SendMessageA(source, CB_GETCURSEL, 0, 0));
      static_cast<ComboBox*>(control)->ItemIndexFromUser(index);
    }
    break;
  default:
    break;
  }
  return true;
}

bool HandleControlNotify(NMHDR& header, LRESULT& result) {
  Control* control = ControlOf(header.hwndFrom);
  if (control == nullptr) {
    return false;
  }
  result = 0;
  switch (control->Kind()) {
  case ControlKind::UpDown:
    if (header.code != UDN_DELTAPOS) {
      return false;
    }
    // The control moves its own position as well; both stop at the same bounds.
    if (!ApplyingProgramChange()) {
      const int delta = reinterpret_cast<const NMUPDOWN&>(header).iDelta;
      static_cast<UpDown*>(control)->ArrowFromUser(IsUpArrow(header.hwndFrom, delta));
    }
    return true;
  case ControlKind::DateTimePicker:
    if (header.code != DTN_DATETIMECHANGE) {
      return false;
    }
    if (const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        change.dwFlags == GDT_VALID && !ApplyingProgramChange()) {
      static_cast<DateTimePicker*>(control)->TimeFromUser(TimeOfDay{
          change.st.wHour, change.st.wMinute, change.st.wSecond, change.st.wMilliseconds});
    }
    return true;
  case ControlKind::PageControl:
    if (header.code != static_cast<UINT>(TCN_SELCHANGE)) {
      return false;
    }
    ShowSelectedSheet(*static_cast<PageControl*>(control));
    return true;
  default:
    return false;
  }
}

int EnterButtonId(Form& form) {
  const Control* button = form.EnterButton(ControlOf(::GetFocus()));
  return button != nullptr && button->native != 0 ? ::GetDlgCtrlID(WindowOf(*button)) : 0;
}

} // namespace ui::win32
