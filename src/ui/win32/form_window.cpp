// Forms as top-level windows: their window classes and frames, the window procedure that turns
// Windows' messages into the toolkit's events, showing, modal loops and timers.

#include "ui/win32/internal.h"

#include <exception>
#include <tuple>

namespace ui::win32 {

namespace {

constexpr char DefaultFormClass[] = "DorvaneForm";
constexpr char UnknownErrorText[] = "An unexpected error occurred.";

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HICON LoadSharedIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(::LoadImageA(
      Instance(), MAKEINTRESOURCEA(static_cast<int>(ImageId::ApplicationIcon)), IMAGE_ICON,
      ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), LR_SHARED));
}

void RegisterFormClass(const char* name) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(Instance(), name, &existing)) {
    return;
  }
  WNDCLASSEXA form{};
  form.cbSize = sizeof form;
  form.style = CS_DBLCLKS;
  form.lpfnWndProc = FormProcedure;
  form.hInstance = Instance();
  // Without the icon in the resources Windows shows its default one.
  form.hIcon = LoadSharedIcon(SM_CXICON, SM_CYICON);
  form.hIconSm = LoadSharedIcon(SM_CXSMICON, SM_CYSMICON);
  form.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = name;
  ::RegisterClassExA(&form);
}

struct Frame {
  DWORD style = 0;
  DWORD exStyle = 0;
};

Frame FrameOf(const Form::Design& design) {
  Frame frame;
  if (design.border == BorderStyle::Single) {
    frame.style = WS_OVERLAPPED | WS_CAPTION;
    if (design.minimizeBox) {
      frame.style |= WS_MINIMIZEBOX;
    }
  } else {
    frame.style = WS_POPUP | WS_CAPTION;
    frame.exStyle = WS_EX_DLGMODALFRAME;
  }
  if (design.systemMenu) {
    frame.style |= WS_SYSMENU;
  }
  if (design.stayOnTop) {
    frame.exStyle |= WS_EX_TOPMOST;
  }
  // Tab and arrow keys reach the controls inside panels and group boxes.
  frame.exStyle |= WS_EX_CONTROLPARENT;
  return frame;
}

// Sizes the window so that its client area is exactly the form's. A menu bar that wraps onto
// more lines is only known once the window exists, and a new width can wrap or unwrap it again.
void FitClientArea(HWND window, int clientWidth, int clientHeight) {
  constexpr int MenuWraps = 3;
  for (int attempt = 0; attempt < MenuWraps; ++attempt) {
    RECT client{};
    RECT outer{};
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &outer);
    if (client.right == clientWidth && client.bottom == clientHeight) {
      return;
    }
    const int width = outer.right - outer.left + clientWidth - client.right;
    const int height = outer.bottom - outer.top + clientHeight - client.bottom;
    ::SetWindowPos(window, nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The form's font and scaling for the DPI. Returns the font it replaces, for the caller to
// release once the controls have the new one.
HFONT ScaleForm(Form& form, HWND window, FormData& data, int dpi) {
  const FormFont font = CreateFormFont(window, dpi);
  if (font.font == nullptr) {
    return nullptr;
  }
  const HFONT previousFont = data.font;
  data.font = font.font;
  form.ScalingFromSystem(font.scaling);
  return previousFont;
}

// The window's own icons at the size its DPI asks for. The class's icons already have the
// system DPI's size, so a window there needs none of its own.
void ScaleIcons(HWND window, FormData& data, int dpi) {
  const Scaling designed = ScalingFor(dpi, 0);
  for (const auto& [which, size, icon] : {std::tuple{ICON_SMALL, SmallIconSize, &data.smallIcon},
                                          std::tuple{ICON_BIG, BigIconSize, &data.bigIcon}}) {
    const HICON previous = *icon;
    *icon = LoadIconSized(ImageId::ApplicationIcon, designed.Y(size));
    if (*icon != nullptr) {
      ::SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(*icon));
    }
    if (previous != nullptr) {
      ::DestroyIcon(previous);
    }
  }
}

void FitScaledClientArea(Form& form, HWND window) {
  const Scaling& scaling = form.FormScaling();
  FitClientArea(window, scaling.X(form.Bounds().width), scaling.Y(form.Bounds().height));
}

// The window's size for the form at a scaling, with the frame drawn at its DPI.
SIZE FormFrameSize(const Form& form, HWND window, const Scaling& scaling) {
  return FrameSizeFor(window, scaling.X(form.Bounds().width), scaling.Y(form.Bounds().height),
                      scaling.dpi);
}

// Where the window goes at the new DPI. Shown normally, it takes the rectangle Windows suggests,
// which is the size it answered for the DPI; a menu bar that wraps differently is then made up
// for. Minimised or maximised, its client area tells nothing of the form's size, so its frame is
// worked out for the DPI and becomes the size it is restored to.
void PlaceAtDpi(Form& form, HWND window, const RECT& suggested) {
  if (::IsIconic(window) || ::IsZoomed(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window, &placement);
    const SIZE size = FormFrameSize(form, window, form.FormScaling());
    RECT& normal = placement.rcNormalPosition;
    normal.right = normal.left + size.cx;
    normal.bottom = normal.top + size.cy;
    // Setting the placement shows the window in its state; a hidden one stays hidden.
    if (!::IsWindowVisible(window)) {
      placement.showCmd = SW_HIDE;
    }
    ::SetWindowPlacement(window, &placement);
    DataOf(form).fitWhenRestored = true;
    return;
  }
  ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitScaledClientArea(form, window);
}

// Moved to a monitor of another DPI: everything anew at the new scale. A window shown normally
// draws once, after all of its controls have changed. Drawing is turned off by taking the
// window's visible style away, so it is left alone in a window that is hidden, which turning it
// back on would show, and in a minimised or maximised one, whose placement needs that style.
void ChangeDpi(Form& form, HWND window, int dpi, const RECT& suggested) {
  FormData& data = DataOf(form);
  const bool visible = ::IsWindowVisible(window) && !::IsIconic(window) && !::IsZoomed(window);
  if (visible) {
    ::SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  }
  const HFONT previousFont = ScaleForm(form, window, data, dpi);
  ScaleIcons(window, data, dpi);
  PlaceAtDpi(form, window, suggested);
  RescaleChildren(form, data);
  if (previousFont != nullptr) {
    ::DeleteObject(previousFont);
  }
  if (visible) {
    ::SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

// Restored after a DPI change while minimised or maximised: the form as a fresh start at the DPI
// would draw it.
void FitRestored(Form& form, HWND window) {
  FormData& data = DataOf(form);
  if (!data.fitWhenRestored) {
    return;
  }
  data.fitWhenRestored = false;
  FitScaledClientArea(form, window);
  RescaleChildren(form, data);
}

void CentreOnScreen(HWND window) {
  RECT outer{};
  ::GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  ::SetWindowPos(window, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ForgetWindows(Control& control) {
  if (control.native != 0) {
    Forget(WindowOf(control));
    control.native = 0;
  }
  for (Control* child : control.Children()) {
    ForgetWindows(*child);
  }
}

void FireTimer(Form& form, WPARAM id) {
  // Copied: a timer's handler may add or remove timers.
  const std::vector<Timer*> timers = form.Timers();
  for (Timer* timer : timers) {
    if (timer->native == id) {
      timer->Fire();
      return;
    }
  }
}

// Focus goes back to the control that had it, or to the first one the Tab key reaches.
void RestoreFocus(HWND window, HWND lastFocus) {
  if (lastFocus != nullptr && ::IsWindow(lastFocus) && ::IsChild(window, lastFocus)) {
    ::SetFocus(lastFocus);
    return;
  }
  const HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE);
  ::SetFocus(first != nullptr ? first : window);
}

BOOL CALLBACK TellSystemColours(HWND child, LPARAM) {
  ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

// The user changed colours, the theme or high contrast: Windows tells only the top-level
// windows of the colours, and the common controls keep theirs until told. The images are drawn
// anew, as glyphs of the scheme's ink or in their own colours.
void FollowColours(Form& form, HWND window, UINT message) {
  if (message == WM_SYSCOLORCHANGE) {
    ::EnumChildWindows(window, TellSystemColours, 0);
  }
  ReloadChildImages(form, DataOf(form));
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The button a command without a sender stands for: Enter and Esc, which the dialog manager
// sends as IDOK and IDCANCEL, or the button it named for DM_GETDEFID, with its sender left out
// where that button lies in a panel. A form whose cancel button is its default button too has
// no IDCANCEL of its own: Esc presses that button.
Control* ButtonOfCommand(Control& parent, int id) {
  for (Control* child : parent.Children()) {
    if (child->native != 0 && ::GetDlgCtrlID(WindowOf(*child)) == id &&
        (child->Kind() == ControlKind::Button || child->Kind() == ControlKind::SpeedButton)) {
      return child;
    }
    if (Control* found = ButtonOfCommand(*child, id)) {
      return found;
    }
  }
  return nullptr;
}

bool HandleCommand(Form& form, WPARAM wParam, LPARAM lParam) {
  const auto source = reinterpret_cast<HWND>(lParam);
  const int id = LOWORD(wParam);
  if (source != nullptr) {
    return HandleControlCommand(form, wParam, source);
  }
  if (HandleMenuCommand(form, id)) {
    return true;
  }
  Control* button = ButtonOfCommand(form, id);
  if (button == nullptr && id == IDCANCEL) {
    button = form.CancelButton();
  }
  if (button == nullptr) {
    return false;
  }
  ::SendMessageA(WindowOf(form), WM_COMMAND,
                 MAKEWPARAM(::GetDlgCtrlID(WindowOf(*button)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(WindowOf(*button)));
  return true;
}

// Focus moved as the dialog manager moves it: an edit reached this way has its text selected,
// ready to be typed over.
void FocusChild(HWND child) {
  if ((::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    ::SendMessageA(child, EM_SETSEL, 0, -1);
  }
  ::SetFocus(child);
}

// WM_NEXTDLGCTL, which a multi-line edit sends for Tab and Shift+Tab: to the given control, or
// to the next or the previous one that Tab reaches.
void NextControl(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND next = nullptr;
  if (LOWORD(lParam) != 0) {
    next = reinterpret_cast<HWND>(wParam);
  } else {
    const HWND focus = ::GetFocus();
    next = ::GetNextDlgTabItem(window, ::IsChild(window, focus) ? focus : nullptr, wParam != 0);
  }
  if (next != nullptr && ::IsChild(window, next)) {
    FocusChild(next);
  }
}

// The form's handling of one message; false leaves it to DefWindowProc.
bool HandleMessage(Form& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT& result) {
  result = 0;
  switch (message) {
  case WM_COMMAND:
    return HandleCommand(form, wParam, lParam);
  case WM_INITMENUPOPUP:
    UpdateMenuBarItems(form);
    return false;
  case WM_NOTIFY: {
    NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
    return HandleControlNotify(header, result) || HandleHintNotify(form, header) ||
           HandleToolBarNotify(form, header, result);
  }
  case WM_DRAWITEM:
    result = TRUE;
    return DrawOwnerButton(form, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  case WM_TIMER:
    FireTimer(form, wParam);
    return true;
  case WM_SYSCOLORCHANGE:
  case WM_SETTINGCHANGE:
  case WM_THEMECHANGED:
    FollowColours(form, window, message);
    return false;
  case WM_ACTIVATE:
    if (LOWORD(wParam) == WA_INACTIVE) {
      const HWND focus = ::GetFocus();
      DataOf(form).lastFocus = ::IsChild(window, focus) ? focus : nullptr;
      return false;
    }
    ++DataOf(form).activations;
    if (HIWORD(wParam) == 0) {
      RestoreFocus(window, DataOf(form).lastFocus);
    }
    form.ActivatedFromSystem();
    return true;
  case WM_PAINT: {
    PAINTSTRUCT paint{};
    ::BeginPaint(window, &paint);
    ::EndPaint(window, &paint);
    form.PaintedFromSystem();
    return true;
  }
  case WM_CLOSE:
    // The form decides; Windows must not destroy the window on its own.
    form.Close();
    return true;
  case WM_QUERYENDSESSION:
    // Nothing stops yet: another program may still refuse the end.
    result = TRUE;
    return true;
  case WM_ENDSESSION:
    EndSession(wParam != FALSE);
    return true;
  case WM_GETDPISCALEDSIZE:
    // Windows asks for the size before the window moves to a monitor of that DPI.
    *reinterpret_cast<SIZE*>(lParam) =
        FormFrameSize(form, window, ScalingAt(window, static_cast<int>(wParam)));
    result = TRUE;
    return true;
  case WM_DPICHANGED:
    ChangeDpi(form, window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    return true;
  case WM_SIZE:
    if (wParam == SIZE_RESTORED) {
      FitRestored(form, window);
    }
    return false;
  case WM_HELP: {
    // F1 on a menu item asks for its help, anywhere else in the form for the form's. It stops
    // here: Windows would hand it on to the owner window.
    const auto& help = *reinterpret_cast<const HELPINFO*>(lParam);
    if (help.iContextType != HELPINFO_MENUITEM || !HandleMenuHelp(form, help.iCtrlId)) {
      form.HelpFromSystem();
    }
    result = TRUE;
    return true;
  }
  case WM_NEXTDLGCTL:
    NextControl(window, wParam, lParam);
    return true;
  case DM_GETDEFID:
    // The dialog manager asks which button Enter presses.
    if (const int id = EnterButtonId(form); id != 0) {
      result = MAKELRESULT(id, DC_HASDEFID);
      return true;
    }
    return false;
  default:
    return false;
  }
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto& creation = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto& form = *static_cast<Form*>(creation.lpCreateParams);
    form.native = reinterpret_cast<std::uintptr_t>(window);
    Remember(window, form);
    EnableFrameScaling(window);
  }
  Form* form = FormOfWindow(window);
  if (form == nullptr || WindowOf(*form) != window) {
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  // Windows calls this from its own code, which no exception may cross.
  try {
    form->RunMessageHook(Message{message, wParam, lParam});
    LRESULT result = 0;
    if (HandleMessage(*form, window, message, wParam, lParam, result)) {
      return result;
    }
  } catch (const std::exception& error) {
    ReportAndTerminate(error.what());
    return 0;
  } catch (...) {
    ReportAndTerminate(UnknownErrorText);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void UpdateForm(Form& form, Property property) {
  const HWND window = WindowOf(form);
  switch (property) {
  case Property::Text:
    ::SetWindowTextA(window, form.Text().c_str());
    break;
  case Property::Enabled:
    ::EnableWindow(window, form.Enabled());
    break;
  case Property::Bounds:
    FitScaledClientArea(form, window);
    break;
  case Property::Accessibility:
    ApplyAccessibility(form);
    break;
  default:
    // Showing and hiding go through ShowForm, which also activates.
    break;
  }
}

HWND ShownWindow(const Form* form) {
  if (form == nullptr || form->native == 0 || !::IsWindowVisible(WindowOf(*form))) {
    return nullptr;
  }
  return WindowOf(*form);
}

// A form other than the main one belongs to the window it was opened from, so that it has no
// taskbar button of its own and stays in front of that window. Opened while the program shows
// no window (from the tray), it stands alone and keeps its button, or it could not be found.
void TakeOwner(Form& form) {
  const HWND window = WindowOf(form);
  if (&form == MainForm() || ::IsWindowVisible(window)) {
    return;
  }
  const HWND owner = OwnerFor(nullptr);
  if (owner != window) {
    ::SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
}

// Modal forms that end by themselves, by the id of their thread timer.
std::map<UINT_PTR, Form*> AutoClosingForms;

// A thread timer's routine runs from whichever message loop is going, also that of a box opened
// over the form; the form's own loop ends once it gets control back.
void CALLBACK EndAutoClosingForm(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  const auto found = AutoClosingForms.find(timer);
  if (found != AutoClosingForms.end() && found->second->GetModalResult() == ModalResult::None) {
    found->second->SetModalResult(ModalResult::Cancel);
  }
}

// For the time a modal form is up: a timer that ends it as cancelled, when one is asked for.
class AutoClose {
public:
  AutoClose(Form& form, std::uint32_t milliseconds)
      : timer_(milliseconds == 0 ? 0 : ::SetTimer(nullptr, 0, milliseconds, EndAutoClosingForm)) {
    if (timer_ != 0) {
      AutoClosingForms[timer_] = &form;
    }
  }
  ~AutoClose() {
    if (timer_ != 0) {
      ::KillTimer(nullptr, timer_);
      AutoClosingForms.erase(timer_);
    }
  }
  AutoClose(const AutoClose&) = delete;
  AutoClose& operator=(const AutoClose&) = delete;

private:
  UINT_PTR timer_;
};

} // namespace

HWND OwnerFor(const Form* opener) {
  // Windows disables the owner of a modal window, so the form that must stay usable under them
  // (the countdown) owns none.
  const Form* live = FormLiveUnderModal();
  for (const Form* form : {opener, static_cast<const Form*>(FormOfWindow(::GetActiveWindow())),
                           static_cast<const Form*>(MainForm())}) {
    if (form == live) {
      continue;
    }
    if (const HWND window = ShownWindow(form)) {
      return window;
    }
  }
  return nullptr;
}

void ShowFormWindow(Form& form, int command) {
  const HWND window = WindowOf(form);
  // The form knows first, so that what runs while it is shown sees it showing.
  form.VisibilityFromSystem(true);
  const unsigned activationsBefore = DataOf(form).activations;
  ::ShowWindow(window, command);
  // Showing activates the window when Windows lets it, and what runs on activation may already
  // have moved on, say to closing the program; activating it a second time would run that
  // again. Only a window that showing left inactive is brought to the front.
  if (form.native != 0 && DataOf(form).activations == activationsBefore) {
    ::SetForegroundWindow(window);
  }
}

} // namespace ui::win32

namespace ui::backend {

namespace {

// What a form that could not be created leaves: no window, no native thing of its own, and the
// reason Windows gave. A hook that vetoes a window may leave no reason at all.
std::uint32_t CreationFailure(Form& form) {
  const DWORD error = ::GetLastError();
  Unrealize(form);
  return error != ERROR_SUCCESS ? error : ERROR_INVALID_WINDOW_HANDLE;
}

} // namespace

using namespace win32;

std::uint32_t Realize(Form& form) {
  InitialiseCommonControls();
  const Form::Design& design = form.FormDesign();
  const char* className =
      design.windowClass.empty() ? DefaultFormClass : design.windowClass.c_str();
  RegisterFormClass(className);

  FormData& data = DataOf(form);
  if (form.MainMenu() != nullptr) {
    data.menuBar = CreateMenuBar(*form.MainMenu(), data);
    data.accelerators = CreateAccelerators(data);
  }
  const Frame frame = FrameOf(design);
  RECT outer{0, 0, design.clientWidth, design.clientHeight};
  ::AdjustWindowRectEx(&outer, frame.style, data.menuBar != nullptr, frame.exStyle);
  const HWND window = ::CreateWindowExA(frame.exStyle, className, form.Text().c_str(),
                                        frame.style | (form.Enabled() ? 0 : WS_DISABLED), 0, 0,
                                        outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                        data.menuBar, Instance(), &form);
  if (window == nullptr) {
    return CreationFailure(form);
  }
  const int dpi = WindowDpi(window);
  ScaleForm(form, window, data, dpi);
  if (dpi != SystemDpi()) {
    ScaleIcons(window, data, dpi);
  }
  FitScaledClientArea(form, window);
  CentreOnScreen(window);

  if (!CreateChildren(form, window, data)) {
    return CreationFailure(form);
  }
  ApplyAccessibilityTree(form);
  CreateHints(form, window, data);
  for (Timer* timer : form.Timers()) {
    UpdateTimer(*timer);
  }
  return ERROR_SUCCESS;
}

void Unrealize(Form& form) {
  const HWND window = WindowOf(form);
  FormData& data = DataOf(form);
  // Also destroys the controls, the hint window and the menu bar, which belong to the window.
  if (window != nullptr) {
    TakeBackPictures(data);
    ClearAccessibilityTree(form);
    WipeNativeSecrets(form);
    ::DestroyWindow(window);
  } else if (data.menuBar != nullptr) {
    ::DestroyMenu(data.menuBar);
  }
  ForgetWindows(form);
  ReleaseImages(data);
  if (data.accelerators != nullptr) {
    ::DestroyAcceleratorTable(data.accelerators);
  }
  if (data.font != nullptr) {
    ::DeleteObject(data.font);
  }
  for (const HICON icon : {data.smallIcon, data.bigIcon}) {
    if (icon != nullptr) {
      ::DestroyIcon(icon);
    }
  }
  for (Timer* timer : form.Timers()) {
    timer->native = 0;
  }
  ForgetData(form);
}

void Update(Control& control, Property property) {
  ProgramChange change;
  if (control.Kind() == ControlKind::Form) {
    UpdateForm(static_cast<Form&>(control), property);
  } else {
    UpdateControl(control, property);
  }
}

void Announce(Control& control) {
  AnnounceLiveText(control);
}

void UpdateTimer(Timer& timer) {
  const HWND window = WindowOf(timer.Owner());
  if (window == nullptr) {
    return;
  }
  // The timer's address is a unique id on its form's window.
  const auto id = reinterpret_cast<UINT_PTR>(&timer);
  if (timer.Enabled()) {
    ::SetTimer(window, id, timer.Interval(), nullptr);
    timer.native = id;
  } else {
    ::KillTimer(window, id);
    timer.native = 0;
  }
}

void ShowForm(Form& form, bool show) {
  if (form.native == 0) {
    form.VisibilityFromSystem(false);
    return;
  }
  if (show) {
    TakeOwner(form);
    ShowFormWindow(form, ::IsIconic(WindowOf(form)) ? SW_RESTORE : SW_SHOW);
  } else {
    form.VisibilityFromSystem(false);
    ::ShowWindow(WindowOf(form), SW_HIDE);
  }
}

Control* FocusedControl(Form& form) {
  const HWND focus = ::GetFocus();
  Control* control = ControlOf(focus);
  return control != nullptr && form.native != 0 && ::IsChild(WindowOf(form), focus) ? control
                                                                                    : nullptr;
}

void SetFocus(Control& control) {
  Form* form = control.OwnerForm();
  const HWND window = WindowOf(control);
  if (form == nullptr || window == nullptr) {
    return;
  }
  // A form that is not active gets it back when it is activated.
  if (::GetActiveWindow() == WindowOf(*form)) {
    FocusChild(window);
  } else {
    DataOf(*form).lastFocus = window;
  }
}

void RunModal(Form& form) {
  const DisabledWindows disabled = DisableFormsExcept(WindowOf(form));
  const AutoClose autoClose(form, AutoCloseAfter());
  form.Show();
  MSG message{};
  while (form.GetModalResult() == ModalResult::None) {
    const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // The application is ending: the outer loop must see the quit as well.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) {
      break;
    }
    DispatchQueued(message);
  }
  EnableAgain(disabled);
}

} // namespace ui::backend
