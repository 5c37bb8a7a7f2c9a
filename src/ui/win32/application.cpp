// The application: its title and main form, the message loops with the forms' menu shortcuts
// and Windows' dialog manager, message boxes, help requests and the few user32 services the forms
// ask for.

#include "ui/application.h"

#include "ui/win32/internal.h"

#include "platform/user.h"

#include <algorithm>
#include <cstring>

// <windows.h> maps this name to its ANSI function; here it must stay the toolkit's own.
#undef RegisterWindowMessage

namespace ui {

namespace {

constexpr char MessageBoxClass[] = "#32770";

} // namespace

namespace win32 {

void DispatchQueued(MSG& message) {
  if (Form* form = FormOfWindow(message.hwnd)) {
    const HWND window = WindowOf(*form);
    const HACCEL accelerators = DataOf(*form).accelerators;
    if (accelerators != nullptr && ::TranslateAcceleratorA(window, accelerators, &message)) {
      return;
    }
    // Tab, the arrows, Enter, Esc and access keys, unless the focused control asks for them.
    if (::IsDialogMessageA(window, &message)) {
      return;
    }
  }
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
}

void ReportAndTerminate(const char* text) {
  ShowException(text);
  TerminateApplication();
}

DisabledWindows DisableFormsExcept(HWND keep) {
  DisabledWindows disabled;
  disabled.previouslyActive = ::GetActiveWindow();
  const Form* live = FormLiveUnderModal();
  for (Form* form : RealizedForms()) {
    const HWND window = WindowOf(*form);
    if (window != nullptr && window != keep && form != live && ::IsWindowEnabled(window)) {
      ::EnableWindow(window, FALSE);
      disabled.windows.push_back(window);
    }
  }
  return disabled;
}

void EnableAgain(const DisabledWindows& disabled) {
  for (const HWND window : disabled.windows) {
    if (::IsWindow(window)) {
      ::EnableWindow(window, TRUE);
    }
  }
  if (disabled.previouslyActive != nullptr && ::IsWindow(disabled.previouslyActive)) {
    ::SetActiveWindow(disabled.previouslyActive);
  }
}

} // namespace win32

void RunApplication(Form& mainForm) {
  SetMainForm(&mainForm);
  if (mainForm.native != 0) {
    mainForm.SetVisible(true);
    win32::ShowFormWindow(mainForm, SW_SHOWNORMAL);
  }
  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    win32::DispatchQueued(message);
  }
}

void TerminateApplication() {
  ::PostQuitMessage(0);
}

void WaitAndProcessMessages(std::uint32_t milliseconds) {
  static_assert(WaitWithoutLimit == INFINITE);
  // Also for messages that a look at the queue has seen but left there.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  ProcessMessages();
}

bool PostToForm(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam) {
  return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, 0) != FALSE;
}

void ProcessMessages() {
  // Windows hands out the quit before input, painting and timers; it is put back only once
  // those are handled, or a wait that goes on after the end was asked for would freeze.
  bool quit = false;
  int exitCode = 0;
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      exitCode = static_cast<int>(message.wParam);
    } else {
      win32::DispatchQueued(message);
    }
  }
  // Left for the loop that owns it.
  if (quit) {
    ::PostQuitMessage(exitCode);
  }
}

int ShowMessageBox(Form* owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) {
  const HWND ownerWindow = win32::OwnerFor(owner);
  // Windows disables the owner only; the program's other windows must wait as well.
  const win32::DisabledWindows disabled = win32::DisableFormsExcept(ownerWindow);
  // The platform's box, which closes by itself in a run nobody watches.
  const int answer = platform::MessageBoxA(reinterpret_cast<std::uintptr_t>(ownerWindow),
                                           text.c_str(), caption.c_str(), style);
  win32::EnableAgain(disabled);
  return answer;
}

namespace {

// The program's message boxes are the dialog-class windows of its thread.
BOOL CALLBACK CollectMessageBox(HWND window, LPARAM boxes) {
  char className[16] = {};
  ::GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, MessageBoxClass) == 0) {
    reinterpret_cast<std::vector<std::uintptr_t>*>(boxes)->push_back(
        reinterpret_cast<std::uintptr_t>(window));
  }
  return TRUE;
}

std::vector<std::uintptr_t> OpenMessageBoxes() {
  std::vector<std::uintptr_t> boxes;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectMessageBox, reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

bool IsModal(const Form* form) {
  return form->Showing() && form != MainForm() && form != FormLiveUnderModal();
}

template <typename Item> bool Contains(const std::vector<Item>& items, Item item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

} // namespace

ModalMark MarkModalWindows() {
  ModalMark mark;
  mark.boxes = OpenMessageBoxes();
  for (const Form* form : win32::RealizedForms()) {
    if (IsModal(form)) {
      mark.forms.push_back(form);
    }
  }
  return mark;
}

void CancelModalWindowsOpenedSince(const ModalMark& mark) {
  for (const std::uintptr_t box : OpenMessageBoxes()) {
    if (!Contains(mark.boxes, box)) {
      ::EndDialog(reinterpret_cast<HWND>(box), IDCANCEL);
    }
  }
  for (Form* form : win32::RealizedForms()) {
    if (IsModal(form) && !Contains(mark.forms, static_cast<const Form*>(form))) {
      form->SetModalResult(ModalResult::Cancel);
    }
  }
  // The tray's or the menu bar's menu runs a loop of its own, which nothing else ends.
  ::EndMenu();
  // A modal loop looks at its form's result when a message comes.
  ::PostMessageA(nullptr, WM_NULL, 0, 0);
}

namespace backend {

void ShowExceptionBox(const std::string& text) {
  const Form* mainForm = MainForm();
  platform::MessageBoxA(
      reinterpret_cast<std::uintptr_t>(mainForm != nullptr ? win32::WindowOf(*mainForm) : nullptr),
      text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONERROR);
}

} // namespace backend

std::uint32_t RegisterWindowMessage(const char* name) {
  return ::RegisterWindowMessageA(name);
}

bool GetCursorPos(Point& position) {
  POINT cursor{};
  if (!::GetCursorPos(&cursor)) {
    return false;
  }
  position = Point{cursor.x, cursor.y};
  return true;
}

bool SetForegroundWindow(Form& form) {
  return ::SetForegroundWindow(win32::WindowOf(form)) != FALSE;
}

std::uintptr_t CreateTrayIcon(ImageId icon) {
  return reinterpret_cast<std::uintptr_t>(win32::LoadIconSized(icon, win32::TrayIconSize()));
}

void DestroyIcon(std::uintptr_t icon) {
  if (icon != 0) {
    ::DestroyIcon(reinterpret_cast<HICON>(icon));
  }
}

} // namespace ui
