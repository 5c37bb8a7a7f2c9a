#pragma once
// What the files of the Win32 backend share: the native data kept per form, the lookup from
// window handles back to controls, and the pieces each file offers the others.

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/contrast.h"
#include "ui/form.h"

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ui::win32 {

// Command ids of menu items and controls start above the ids the dialog manager sends on its own
// (IDOK, IDCANCEL...), which only the default and the cancel button carry.
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
  // The menu items' shortcuts, translated before the dialog manager sees a key.
  HACCEL accelerators = nullptr;
  HWND hints = nullptr;
  // The window's icons, drawn at the size its DPI asks for.
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  // Each control's images at the form's DPI: toolbar strips, glyphs, pictures. In high contrast
  // a control also keeps the images of its hot and disabled states.
  std::map<std::pair<const Control*, GlyphState>, HIMAGELIST> images;
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

// Handles one message taken from the queue: the form's menu shortcuts first, then Windows' dialog
// manager, then the window's own procedure.
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

// While high contrast is on, the ink of a glyph in the state, in the scheme's current colours;
// none otherwise, when images keep their own colours.
std::optional<COLORREF> InkFor(GlyphState state);

// Images, drawn at the scale for the DPI (ImageScaleFor): a bitmap resource as a strip of square
// images (height = image size), or null when the program carries no such resource. With an ink,
// each image is a one-colour glyph of it.
HIMAGELIST LoadImageStrip(ImageId images, int dpi, std::optional<COLORREF> ink);
// The icon's image of the size, or a larger one scaled down where Windows can, never a smaller
// one stretched.
HICON LoadIconSized(ImageId icon, int size);
// A glyph: the first image of its strip.
HIMAGELIST LoadGlyph(ImageId glyph, int dpi, std::optional<COLORREF> ink);
// A whole bitmap for a picture control, its transparent parts filled with the button face; in
// high contrast a glyph in the button text's ink.
HBITMAP LoadPicture(ImageId picture, int dpi);
// Keeps a control's images in the form's data and returns the ones they replace, which are
// freed only once the control holds the new ones.
HIMAGELIST KeepImages(FormData& data, const Control& control, HIMAGELIST images,
                      GlyphState state = GlyphState::Normal);
void FreeImages(HIMAGELIST images);
// Gives a picture control its bitmap, kept in the form's data, and frees the ones it replaces.
void ShowPicture(FormData& data, const Control& control, HWND window, HBITMAP picture);
// Takes the pictures back from their controls before these are destroyed, with any copy they
// made.
void TakeBackPictures(FormData& data);
HIMAGELIST ImagesOf(const FormData& data, const Control& control,
                    GlyphState state = GlyphState::Normal);
void ReleaseImages(FormData& data);

// Controls.
// False when one of them could not be created; those made so far stay, for the form's window
// to take with it.
bool CreateChildren(Control& parent, HWND parentWindow, FormData& data);
void UpdateControl(Control& control, Property property);
// Overwrites the texts of the edits that hold a secret, before their windows go: an edit frees
// its text's memory without wiping it.
void WipeNativeSecrets(Control& parent);
// After the form's DPI changed: every control's font, place and images anew.
void RescaleChildren(Control& parent, FormData& data);
// After the colours, the theme or high contrast changed: every control's images anew.
void ReloadChildImages(Control& parent, FormData& data);
bool HandleControlCommand(Form& form, WPARAM wParam, HWND source);
bool HandleControlNotify(NMHDR& header, LRESULT& result);
// Speed buttons: drawn by the program, framed while the mouse is over them.
void TrackHover(HWND button);
bool DrawOwnerButton(Form& form, const DRAWITEMSTRUCT& item);
// The id of the button Enter presses, for the dialog manager's DM_GETDEFID, or 0 for none.
int EnterButtonId(Form& form);

// Names, roles and live regions for screen readers, through Windows' dynamic annotation; the
// tree's are applied once its windows exist and cleared before they go.
void ApplyAccessibility(Control& control);
void ApplyAccessibilityTree(Control& root);
void ClearAccessibilityTree(Control& root);
// Has screen readers read the control's live text now.
void AnnounceLiveText(Control& control);

// Hints of the controls, shown as tooltips.
void CreateHints(Form& form, HWND formWindow, FormData& data);
bool HandleHintNotify(Form& form, NMHDR& header);

// Toolbars.
HWND CreateToolBar(ToolBar& bar, HWND parentWindow, FormData& data);
// Sizes the bar's buttons, separators and edges for the form's scaling.
void ScaleToolBar(ToolBar& bar, FormData& data);
// The bar's images for the form's DPI and the current colours.
void LoadToolBarImages(ToolBar& bar, FormData& data);
bool HandleToolBarCommand(Form& form, int id);
bool HandleToolBarNotify(Form& form, NMHDR& header, LRESULT& result);

// Menus.
HMENU CreateMenuBar(Menu& menu, FormData& data);
// The shortcuts of the menu bar's items as an accelerator table, null when they have none.
HACCEL CreateAccelerators(const FormData& data);
bool HandleMenuCommand(Form& form, int id);
bool HandleMenuHelp(Form& form, int id);
// Greys the menu bar's items that can't be chosen now, as one of its menus opens.
void UpdateMenuBarItems(Form& form);

// Tooltip texts for notifications that ask for ANSI or UTF-16 text: copied into the buffer
// they bring, or kept in the form's data and pointed at.
void CopyTipText(const std::string& text, bool wide, void* buffer, int capacity);
void AnswerTipRequest(FormData& data, NMHDR& header, const std::string& text);

} // namespace ui::win32
