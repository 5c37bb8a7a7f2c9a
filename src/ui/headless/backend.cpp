// The toolkit in memory: forms and controls keep their state in their objects; what a real
// window would do on its own (activation, painting, the close box) happens when a test asks.

#include "ui/backend.h"
#include "ui/application.h"
#include "ui/headless/dialog_manager.h"
#include "ui/headless/script.h"

#include "platform/fake/fake.h"
#include "platform/fake/internal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace ui {

namespace {

constexpr std::uintptr_t FirstWindow = 0x9000;
constexpr std::uint32_t FirstRegisteredMessage = 0xC100;
constexpr std::uintptr_t FirstIcon = 0xA000;

struct State {
  std::uintptr_t nextWindow = FirstWindow;
  std::uintptr_t nextIcon = FirstIcon;
  std::vector<Form*> forms;
  // The form activated last, which Windows activates again when a window it opened goes away.
  Form* active = nullptr;
  // The control the program gave the focus to last.
  std::deque<headless::ModalScript> modalScripts;
  std::deque<headless::PopupScript> popupScripts;
  // A pop-up menu is being tracked, and whether the program closed it meanwhile.
  bool menuOpen = false;
  bool menuClosed = false;
  std::function<void()> whileProcessing;
  std::optional<Point> cursor = Point{800, 600};
  std::vector<headless::OpenedPopup> popups;
  std::map<std::string, std::uint32_t> registeredMessages;
  bool terminated = false;
  int dpi = DesignDpi;
  int sampleWidth = DesignedSampleWidth;
  // Native creations from now on until the one that fails (1: the next), 0 for none, and its
  // error.
  int creationsUntilFailure = 0;
  std::uint32_t creationError = 0;
};

State& TheState() {
  static State state;
  return state;
}

// Messages posted from other threads, as Windows' queue keeps them until a loop takes them.
struct PostedMessage {
  std::uintptr_t window;
  Message message;
};
std::mutex PostedMutex;
std::condition_variable PostedChanged;
std::deque<PostedMessage> Posted;
// How long a wait without a posted message lasts before the test's action runs again: a test
// acts in the middle of a wait as a user's click would end it.
constexpr std::chrono::milliseconds WaitSlice{5};

void DeliverPosted() {
  std::deque<PostedMessage> taken;
  {
    const std::lock_guard<std::mutex> lock(PostedMutex);
    taken.swap(Posted);
  }
  for (const PostedMessage& posted : taken) {
    for (Form* form : TheState().forms) {
      if (form->native == posted.window) {
        form->RunMessageHook(posted.message);
        break;
      }
    }
  }
}

// False when a failure was planned for one of the windows: those before it exist.
bool AssignWindows(Control& control) {
  State& state = TheState();
  if (state.creationsUntilFailure > 0 && --state.creationsUntilFailure == 0) {
    return false;
  }
  control.native = state.nextWindow++;
  for (Control* child : control.Children()) {
    if (!AssignWindows(*child)) {
      return false;
    }
  }
  return true;
}

// What the Win32 backend hands Windows' dynamic annotation, as a test reads it back.
void RecordAccessibility(const Control& control) {
  if (!control.GivenName().empty() || control.Role() != AccessibleRole::Default ||
      control.LiveRegion()) {
    fake::Record("Annotate", control.Name(), control.GivenName(),
                 control.Role() == AccessibleRole::Dialog ? "dialog" : "default",
                 control.LiveRegion() ? "polite" : "off");
  }
}

void RecordAccessibilityTree(const Control& control) {
  RecordAccessibility(control);
  for (const Control* child : control.Children()) {
    RecordAccessibilityTree(*child);
  }
}

void ClearWindows(Control& control) {
  control.native = 0;
  for (Control* child : control.Children()) {
    ClearWindows(*child);
  }
}

// The face's sample width grows with the DPI as a scalable face's does.
Scaling DisplayScaling(int dpi) {
  return ScalingFor(dpi, TheState().sampleWidth * dpi / DesignDpi);
}

// What Windows does when a modal window or a message box goes away: the window below it, if it
// is still shown, becomes active again.
void ActivateAgain(Form* form) {
  const auto& forms = TheState().forms;
  if (form != nullptr && form->Showing() &&
      std::find(forms.begin(), forms.end(), form) != forms.end()) {
    TheState().active = form;
    form->ActivatedFromSystem();
  }
}

} // namespace

namespace backend {

std::uint32_t Realize(Form& form) {
  form.ScalingFromSystem(DisplayScaling(TheState().dpi));
  if (!AssignWindows(form)) {
    fake::Record("CreationFailed", form.Name());
    ClearWindows(form);
    return TheState().creationError;
  }
  RecordAccessibilityTree(form);
  TheState().forms.push_back(&form);
  return 0;
}

void Unrealize(Form& form) {
  auto& forms = TheState().forms;
  forms.erase(std::remove(forms.begin(), forms.end(), &form), forms.end());
  if (TheState().active == &form) {
    TheState().active = nullptr;
  }
  headless::ForgetForm(form);
  ClearWindows(form);
}

void Update(Control& control, Property property) {
  if (property == Property::Accessibility) {
    RecordAccessibility(control);
  }
}

void Announce(Control& control) {
  fake::Record("Announce", control.Name(), control.Text());
}

void UpdateTimer(Timer&) {}

void ShowForm(Form& form, bool show) {
  form.VisibilityFromSystem(show);
  if (show) {
    TheState().active = &form;
    form.ActivatedFromSystem();
    form.PaintedFromSystem();
  }
}

void RunModal(Form& form) {
  State& state = TheState();
  Form* const opener = state.active;
  fake::Record("RunModal", form.Name(), AutoCloseAfter());
  form.Show();
  if (state.modalScripts.empty()) {
    form.SetModalResult(ModalResult::Cancel);
  } else {
    headless::ModalScript script = std::move(state.modalScripts.front());
    state.modalScripts.pop_front();
    const ModalResult result = script(form);
    if (form.GetModalResult() == ModalResult::None) {
      form.SetModalResult(result);
    }
  }
  ActivateAgain(opener);
}

void ShowExceptionBox(const std::string& text) {
  fake::Record("ShowException", text, AutoCloseAfter());
}

} // namespace backend

void RunApplication(Form& mainForm) {
  State& state = TheState();
  state.terminated = false;
  SetMainForm(&mainForm);
  mainForm.Show();
}

void TerminateApplication() {
  TheState().terminated = true;
}

void ProcessMessages() {
  if (TheState().whileProcessing) {
    TheState().whileProcessing();
  }
  DeliverPosted();
}

void WaitAndProcessMessages(std::uint32_t milliseconds) {
  {
    std::unique_lock<std::mutex> lock(PostedMutex);
    PostedChanged.wait_for(lock, std::min(WaitSlice, std::chrono::milliseconds(milliseconds)),
                           [] { return !Posted.empty(); });
  }
  ProcessMessages();
}

bool PostToForm(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam) {
  const std::lock_guard<std::mutex> lock(PostedMutex);
  Posted.push_back({window, Message{message, wParam, 0}});
  PostedChanged.notify_all();
  return true;
}

int ShowMessageBox(Form* owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) {
  fake::Record("ShowMessageBox", text, caption, style);
  const int answer = fake::AnswerMessageBox(
      {owner != nullptr ? owner->native : win::NoHandle, text, caption, style});
  ActivateAgain(owner != nullptr ? owner : MainForm());
  return answer;
}

namespace {

bool IsModal(const Form* form) {
  return form->Showing() && form != MainForm() && form != FormLiveUnderModal();
}

} // namespace

// Message boxes are answered at once here: only modal forms and a tracked menu stay open.
ModalMark MarkModalWindows() {
  ModalMark mark;
  for (const Form* form : TheState().forms) {
    if (IsModal(form)) {
      mark.forms.push_back(form);
    }
  }
  return mark;
}

void CancelModalWindowsOpenedSince(const ModalMark& mark) {
  State& state = TheState();
  for (Form* form : state.forms) {
    if (IsModal(form) &&
        std::find(mark.forms.begin(), mark.forms.end(), form) == mark.forms.end()) {
      form->SetModalResult(ModalResult::Cancel);
    }
  }
  if (state.menuOpen) {
    fake::Record("EndMenu");
    state.menuOpen = false;
    state.menuClosed = true;
  }
}

std::uint32_t RegisterWindowMessage(const char* name) {
  auto& messages = TheState().registeredMessages;
  const auto found = messages.find(name);
  if (found != messages.end()) {
    return found->second;
  }
  const std::uint32_t id = FirstRegisteredMessage + static_cast<std::uint32_t>(messages.size());
  messages[name] = id;
  return id;
}

bool GetCursorPos(Point& position) {
  fake::Record("GetCursorPos");
  if (!TheState().cursor) {
    return false;
  }
  position = *TheState().cursor;
  return true;
}

bool SetForegroundWindow(Form& form) {
  fake::Record("SetForegroundWindow", form.Name());
  return true;
}

bool PopupMenuAt(Menu& menu, Form& owner, Point position, MenuCorner corner) {
  fake::Record("PopupMenuAt", menu.Name(), owner.Name(), position.x, position.y);
  State& state = TheState();
  state.popups.push_back(headless::OpenedPopup{menu.Name(), position, corner});
  if (state.popupScripts.empty()) {
    return false;
  }
  const headless::PopupScript script = std::move(state.popupScripts.front());
  state.popupScripts.pop_front();
  state.menuOpen = true;
  state.menuClosed = false;
  const std::string chosen = script(menu);
  state.menuOpen = false;
  // A menu the program closed chooses nothing.
  MenuItem* item = menu.Find(chosen);
  if (item == nullptr || state.menuClosed) {
    return false;
  }
  item->Click();
  return true;
}

std::uintptr_t CreateTrayIcon(ImageId icon) {
  fake::Record("CreateTrayIcon", static_cast<int>(icon));
  return TheState().nextIcon++;
}

void DestroyIcon(std::uintptr_t icon) {
  fake::Record("DestroyIcon", icon);
}

namespace headless {

void Reset() {
  TheState() = State{};
  ResetDialogManager();
  {
    const std::lock_guard<std::mutex> lock(PostedMutex);
    Posted.clear();
  }
  backend::ResetApplication();
}

void OnNextModal(ModalScript script) {
  TheState().modalScripts.push_back(std::move(script));
}

void OnNextPopup(PopupScript script) {
  TheState().popupScripts.push_back(std::move(script));
}

bool MenuOpen() {
  return TheState().menuOpen;
}

void WhileProcessingMessages(std::function<void()> action) {
  TheState().whileProcessing = std::move(action);
}

bool ApplicationEnded() {
  return TheState().terminated;
}

std::vector<Form*> OpenForms() {
  return TheState().forms;
}

Form* FindForm(const std::string& name) {
  for (Form* form : TheState().forms) {
    if (form->Name() == name) {
      return form;
    }
  }
  return nullptr;
}

void Click(Control& control) {
  if (!control.Enabled()) {
    return;
  }
  switch (control.Kind()) {
  case ControlKind::Button:
    static_cast<Button&>(control).Click();
    break;
  case ControlKind::CheckBox: {
    auto& box = static_cast<CheckBox&>(control);
    box.CheckedFromUser(!box.Checked());
    break;
  }
  default:
    if (control.OnClick) {
      control.OnClick();
    }
  }
}

void Check(CheckBox& box, bool checked) {
  if (box.Enabled() && box.Checked() != checked) {
    box.CheckedFromUser(checked);
  }
}

void Type(Edit& edit, const std::string& text) {
  edit.TextFromUser(text);
}

void ClickToolButton(ToolBar& bar, const std::string& name) {
  bar.ClickButton(name);
}

void ClickMenuItem(Menu& menu, const std::string& name) {
  MenuItem* item = menu.Find(name);
  if (item != nullptr) {
    item->Click();
  }
}

void SendMessage(Form& form, const Message& message) {
  form.RunMessageHook(message);
  if (message.id == WmDpiChanged) {
    constexpr std::uintptr_t LowWord = 0xFFFF;
    form.ScalingFromSystem(DisplayScaling(static_cast<int>(message.wParam & LowWord)));
  }
  if (message.id == WmSysCommand && message.wParam == ScClose) {
    form.Close();
  }
  // The query is answered yes, and nothing else happens until Windows confirms the end.
  if (message.id == WmEndSession) {
    EndSession(message.wParam != 0);
  }
}

void FireTimers(Form& form) {
  for (Timer* timer : form.Timers()) {
    timer->Fire();
  }
}

void SetDisplay(int dpi, int sampleWidth) {
  TheState().dpi = dpi;
  TheState().sampleWidth = sampleWidth;
}

void FailNativeCreation(int nth, std::uint32_t error) {
  TheState().creationsUntilFailure = nth;
  TheState().creationError = error;
}

void SetCursor(std::optional<Point> position) {
  TheState().cursor = position;
}

const std::vector<OpenedPopup>& OpenedPopups() {
  return TheState().popups;
}

} // namespace headless

} // namespace ui
