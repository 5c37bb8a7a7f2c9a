#pragma once
// The application: its title, main form, message loop, message box and help, and the few
// user32 services the forms ask for directly.

#include "ui/form.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();
void SetMainForm(Form* form);
Form* MainForm();

// Shows the main form and runs the message loop until it closes.
void RunApplication(Form& mainForm);
// Ends the message loop; RunApplication returns once the current message is handled.
void TerminateApplication();
// Handles the messages that are waiting, then returns.
void ProcessMessages();
// Waits until a message arrives or `milliseconds` have passed, then handles every message
// waiting. A wait without a limit needs a thread that will post a message.
inline constexpr std::uint32_t WaitWithoutLimit = 0xFFFFFFFF;
void WaitAndProcessMessages(std::uint32_t milliseconds);
// From any thread: posts the message to the form whose window is `window` (its `native`), where
// the form's hook for it runs. Every message loop hands it on, a message box's or a modal
// form's included. False when the window is gone.
bool PostToForm(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam);

// A message box owned by the given form, or when that is null or hidden by the program's active
// or main window while shown; without an owner while the program shows no window. The
// program's other windows are disabled while it is up. Returns the button pressed (IDOK...),
// or IDTIMEOUT when it closed by itself (SetAutoCloseAfter).
int ShowMessageBox(Form* owner, const std::string& text, const std::string& caption,
                   std::uint32_t style);
// The standard display of an exception that escaped the message loop or a window's handler.
// Once it was shown, ExceptionShown() tells the program's end that the run failed.
void ShowException(const std::string& text);
bool ExceptionShown();

// Tells the user that a window could not be created, with the Windows error code of the
// failure. A form that failed calls it once, when it is first to be shown.
using CreationFailureHandler = std::function<void(std::uint32_t error)>;
void SetCreationFailureHandler(CreationFailureHandler handler);
void ReportCreationFailure(std::uint32_t error);

// A run that nobody watches: from now on every modal form ends as cancelled, and every message
// box (the toolkit's and the platform's) closes, once it has been open this long. 0, the
// default, leaves them open until a person answers.
void SetAutoCloseAfter(std::uint32_t milliseconds);
std::uint32_t AutoCloseAfter();

// A form that modal windows and message boxes leave usable, such as a countdown whose Cancel
// must work whatever else is open; null for none.
void SetFormLiveUnderModal(Form* form);
Form* FormLiveUnderModal();

// The modal forms and message boxes open at one moment. Those are below whatever is opened
// later, so they all stay until its end. The forms besides the main form and the live one are
// the modal ones.
struct ModalMark {
  std::vector<const Form*> forms;
  std::vector<std::uintptr_t> boxes;
};
ModalMark MarkModalWindows();
// Ends as cancelled every modal form and message box opened since the mark, and closes an open
// menu, so that the code waiting below them goes on at once; the windows open at the mark stay
// as they are, with what was typed in them.
void CancelModalWindowsOpenedSince(const ModalMark& mark);

// Windows ending the session: once it confirms the end, no window of the program holds it up,
// whatever its close query would answer, what waits gives up once SessionEnding() says so, and
// the main form runs its end steps at once, as the process may be ended right after. Another
// program may refuse the end after everyone was asked; the session and the program then go on.
void EndSession(bool ending);
bool SessionEnding();

// Help requests: F1 in a window or on a menu item asks the handler with HELP_CONTEXT and the
// context; the handler returns true when it took care of the request.
inline constexpr std::uint16_t HelpContextRequest = 1; // HELP_CONTEXT
using HelpHandler = std::function<bool(std::uint16_t command, std::uintptr_t data)>;
void SetHelpHandler(HelpHandler handler);
void SetHelpFile(const std::string& path);
const std::string& HelpFile();
void RequestHelp(std::uint16_t command, std::uintptr_t data);

std::uint32_t RegisterWindowMessage(const char* name);
bool GetCursorPos(Point& position);
bool SetForegroundWindow(Form& form);
// The corner of a pop-up menu that lies at its point: the top left opens it below and right of
// the mouse pointer; a menu of the notification area opens away from the taskbar's edge.
enum class MenuCorner { TopLeft, TopRight, BottomLeft };
// Runs the chosen item, if any, and tells whether there was one.
bool PopupMenuAt(Menu& menu, Form& owner, Point position, MenuCorner corner = MenuCorner::TopLeft);
// An icon compiled into the program at the size of the notification area's icons, and its
// release.
std::uintptr_t CreateTrayIcon(ImageId icon);
void DestroyIcon(std::uintptr_t icon);

} // namespace ui
