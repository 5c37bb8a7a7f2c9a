#pragma once
// What the files of the Win32 backend share: the native data kept per form, the lookup from
// window handles back to controls, and the pieces each file offers the others.

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

namespace ui::win32 {

// Control and menu command ids start above the ids the dialog manager sends on its own (IDOK,
// IDCANCEL...), so that a key it translates is never taken for a click.
inline constexpr int FirstCommandId = 100;
// The small (caption, tray) and large (taskbar) icons' sizes at the design DPI.
inline constexpr int SmallIconSize = 16;
inline constexpr int BigIconSize = 32;

// One toolbar button, by the command id Windows reports for it.
struct ToolCommand {
  ToolBar* bar = nullptr;
  std::size_t index = 0;
};

// The native things a realized form owns besides its windows, released by Unrealize.
struct FormData {
  HFONT font = nullptr;
  HMENU menuBar = nullptr;
  HWND hints = nullptr;
  // The window's icons, drawn at the size its DPI asks for.
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  // Each control's images at the form's DPI: toolbar strips, glyphs, pictures.
  std::map<const Control*, HIMAGELIST> images;
  std::map<const Control*, HBITMAP> pictures;
  std::map<int, MenuItem*> menuCommands;
  std::map<int, ToolCommand> toolCommands;
  int nextId = FirstCommandId;
  // The DPI changed while the window was minimised or maximised: the form's size is checked
  // again once it is restored, when its menu bar shows how many lines it takes.
  bool fitWhenRestored = false;
  // The control that had the focus when the form was last deactivated.
  HWND lastFocus = nullptr;
  unsigned activations = 0;
  // Tooltip texts handed out by pointer must outlive the notification that asked for them.
  std::string tipText;
  std::wstring wideTipText;

  int NewId() { return nextId++; }
};

inline HWND WindowOf(const Control& control) {
  return reinterpret_cast<HWND>(control.native);
}

HINSTANCE Instance();
void InitialiseCommonControls();

// Window handles of every realized control and form.
void Remember(HWND window, Control& control);
void Forget(HWND window);
Control* ControlOf(HWND window);
// The form a window belongs to, through its top-level ancestor.
Form* FormOfWindow(HWND window);
FormData& DataOf(Form& form);
void ForgetData(Form& form);
std::vector<Form*> RealizedForms();

// True while the program applies its own change to a control; the notifications the native
// control sends about it are then not the user's.
bool ApplyingProgramChange();
class ProgramChange {
public:
  ProgramChange();
  ~ProgramChange();
  ProgramChange(const ProgramChange&) = delete;
  ProgramChange& operator=(const ProgramChange&) = delete;

private:
  bool previous_;
};

// Windows of the program disabled while a modal window or a message box is up.
struct DisabledWindows {
  std::vector<HWND> windows;
  HWND previouslyActive = nullptr;
};
DisabledWindows DisableFormsExcept(HWND keep);
void EnableAgain(const DisabledWindows& disabled);

// Shows the window with the given ShowWindow command and brings it to the front.
void ShowFormWindow(Form& form, int command);
// The window that owns a window the form opens: the form itself, or the program's active
// window, or the main window, whichever is shown first, but never the form that must stay
// usable under modal windows; none when the program shows no other window.
HWND OwnerFor(const Form* opener);

// Handles one message taken from the queue: the form's shortcuts first, then dialog-style
// keyboard navigation, then the window's own procedure.
void DispatchQueued(MSG& message);
// The standard end of a window procedure that caught an exception.
void ReportAndTerminate(const char* text);

// The DPI a window is shown at, the system's DPI, the size of the notification area's icons, the
// form's font for a DPI and the scaling that its face calls for.
int WindowDpi(HWND window);
int SystemDpi();
int TrayIconSize();
struct FormFont {
  HFONT font = nullptr;
  Scaling scaling;
};
// The designed face where it follows the DPI, a scalable one with its metrics where it doesn't;
// the font is null when none could be made.
FormFont CreateFormFont(HWND window, int dpi);
// The scaling a form in the window would have at the DPI.
Scaling ScalingAt(HWND window, int dpi);
// The size of the window whose client area has the size, with the frame drawn at the DPI.
SIZE FrameSizeFor(HWND window, int clientWidth, int clientHeight, int dpi);
// Asks for the caption and the menu bar to follow the window's DPI, where Windows needs asking.
void EnableFrameScaling(HWND window);

// Images, drawn at the scale for the DPI (ImageScaleFor): a bitmap resource as a strip of square
// images (height = image size), or null when the program carries no such resource.
HIMAGELIST LoadImageStrip(ImageId images, int dpi);
// The icon's image of the size, or a larger one scaled down where Windows can, never a smaller
// one stretched.
HICON LoadIconSized(ImageId icon, int size);
// A glyph: the first image of its strip.
HIMAGELIST LoadGlyph(ImageId glyph, int dpi);
// A whole bitmap for a picture control, its transparent parts filled with the button face.
HBITMAP LoadPicture(ImageId picture, int dpi);
// Keeps a control's images in the form's data and returns the ones they replace, which are
// freed only once the control holds the new ones.
HIMAGELIST KeepImages(FormData& data, const Control& control, HIMAGELIST images);
void FreeImages(HIMAGELIST images);
// Gives a picture control its bitmap, kept in the form's data, and frees the ones it replaces.
void ShowPicture(FormData& data, const Control& control, HWND window, HBITMAP picture);
// Takes the pictures back from their controls before these are destroyed, with any copy they
// made.
void TakeBackPictures(FormData& data);
HIMAGELIST ImagesOf(const FormData& data, const Control& control);
void ReleaseImages(FormData& data);

// Controls.
void CreateChildren(Control& parent, HWND parentWindow, FormData& data);
void UpdateControl(Control& control, Property property);
// After the form's DPI changed: every control's font, place and images anew.
void RescaleChildren(Control& parent, FormData& data);
bool HandleControlCommand(Form& form, WPARAM wParam, HWND source);
bool HandleControlNotify(NMHDR& header, LRESULT& result);
// Speed buttons: drawn by the program, framed while the mouse is over them.
void TrackHover(HWND button);
bool DrawOwnerButton(Form& form, const DRAWITEMSTRUCT& item);
bool ColorControl(HDC dc, HWND source, LRESULT& brush);
// The id of the form's default button for Enter, or 0.
int DefaultButtonId(Form& form);

// Hints of the controls, shown as tooltips.
void CreateHints(Form& form, HWND formWindow, FormData& data);
bool HandleHintNotify(Form& form, NMHDR& header);

// Toolbars.
HWND CreateToolBar(ToolBar& bar, HWND parentWindow, FormData& data);
// Sizes the bar's buttons, separators and edges for the form's scaling.
void ScaleToolBar(ToolBar& bar, FormData& data);
bool HandleToolBarCommand(Form& form, int id);
bool HandleToolBarNotify(Form& form, NMHDR& header);

// Menus.
HMENU CreateMenuBar(Menu& menu, FormData& data);
bool HandleMenuCommand(Form& form, int id);
bool HandleMenuHelp(Form& form, int id);
// Greys the menu bar's items that can't be chosen now, as one of its menus opens.
void UpdateMenuBarItems(Form& form);

// Tooltip texts for notifications that ask for ANSI or UTF-16 text: copied into the buffer
// they bring, or kept in the form's data and pointed at.
void CopyTipText(const std::string& text, bool wide, void* buffer, int capacity);
void AnswerTipRequest(FormData& data, NMHDR& header, const std::string& text);

} // namespace ui::win32
