#pragma once
// The application: its title, main form, message loop, message box and help, and the few
// user32 services the forms ask for directly.

#include "ui/form.h"

#include <cstdint>
#include <functional>
#include <string>

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

// A message box owned by the given form, or when that is null or hidden by the program's active
// or main window while shown; without an owner while the program shows no window. The
// program's other windows are disabled while it is up. Returns the button pressed (IDOK...).
int ShowMessageBox(Form* owner, const std::string& text, const std::string& caption,
                   std::uint32_t style);
// The standard display of an exception that escaped the message loop.
void ShowException(const std::string& text);

// A form that modal windows and message boxes leave usable, such as a countdown whose Cancel
// must work whatever else is open; null for none.
void SetFormLiveUnderModal(Form* form);
Form* FormLiveUnderModal();
// Ends every modal form and message box that is open as cancelled, so that the code waiting
// below them goes on: the forms besides the main form and the live one are the modal ones.
void CancelModalWindows();

// Windows ending the session: no window of the program holds it up, whatever its close query
// would answer, and what waits gives up once SessionEnding() says so. When the session does end
// the main form runs its end steps at once, as the process may be ended right after.
void QueryEndSession();
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
void PopupMenuAt(Menu& menu, Form& owner, Point position);
// An icon made from one image of a bitmap strip, and its release.
std::uintptr_t CreateIconFromImage(ImageId images, int index);
void DestroyIcon(std::uintptr_t icon);

} // namespace ui
