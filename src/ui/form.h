#pragma once
// A top-level window: a caption, a fixed client size, a border, controls, an optional main menu
// and timers. Derived classes (one per window) declare their controls as members, build their
// menus in the constructor and then call Realize().

#include "ui/control.h"
#include "ui/menu.h"
#include "ui/scaling.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace ui {

class Form;

// A timer owned by a form, firing OnTimer every interval while enabled.
class Timer {
public:
  Timer(Form& owner, std::uint32_t intervalMilliseconds);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  Form& Owner() const { return owner_; }
  std::uint32_t Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Fire();

  std::function<void()> OnTimer;
  std::uintptr_t native = 0;

private:
  Form& owner_;
  std::uint32_t interval_;
  bool enabled_ = false;
};

class Form : public Control {
public:
  struct Design {
    std::string name;
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    BorderStyle border = BorderStyle::Dialog;
    bool systemMenu = true;
    bool minimizeBox = false;
    bool stayOnTop = false;
    std::string windowClass; // empty: the toolkit's own class
  };

  explicit Form(Design design);
  ~Form() override;

  const Design& FormDesign() const { return design_; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  Menu* MainMenu() const { return mainMenu_; }
  void SetMainMenu(Menu* menu) { mainMenu_ = menu; }
  const std::vector<Timer*>& Timers() const { return timers_; }
  Button* DefaultButton() const;
  Button* CancelButton() const;
  // What Enter presses, as Windows' dialog manager decides: the focused push button (a speed
  // button counts as one), or the default button while the focus is on no push button.
  Control* EnterButton(Control* focus) const;
  // The control with the keyboard focus, null for none.
  Control* FocusedControl();

  // Creates the native windows; the derived constructor calls it once its controls exist.
  // False when one could not be created: the form then has no window, shows nothing but the
  // failure's report (ReportCreationFailure, once, when first shown; modally it ends as
  // cancelled) and runs no OnDestroy.
  bool Realize();
  // True once every window of the form exists.
  bool Realized() const { return realized_; }
  // The Windows error code of a failed Realize, 0 otherwise.
  std::uint32_t CreationError() const { return creationError_; }
  // Runs OnDestroy once and removes the native windows. Derived destructors call it first, so
  // that OnDestroy still finds every control.
  void Destroy();

  void Show();
  void Hide();
  bool Showing() const { return showing_; }
  // A close request: OnCloseQuery decides. A modal form then ends with Cancel, the main form
  // ends the application, any other form hides.
  void Close();
  ModalResult ShowModal();
  ModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(ModalResult result) { modalResult_ = result; }

  // Message hooks by number. A hooked message still goes on to the normal handling after it.
  void HookMessage(std::uint32_t id, std::function<void(const Message&)> hook);
  bool RunMessageHook(const Message& message);
  // F1 in the form, as Windows reports it (WM_HELP): asks for the form's help, when it has a
  // help context.
  void HelpFromSystem();

  // Backend calls these when the window is activated, painted or shown and hidden by Windows.
  void ActivatedFromSystem();
  void PaintedFromSystem();
  void VisibilityFromSystem(bool showing) { showing_ = showing; }
  // The backend tells how the form's design is scaled on the display it is on.
  const Scaling& FormScaling() const { return scaling_; }
  void ScalingFromSystem(const Scaling& scaling) { scaling_ = scaling; }

  std::function<void()> OnActivate;
  std::function<void()> OnPaint;
  std::function<bool()> OnCloseQuery; // true: the form may close
  std::function<void()> OnDestroy;

private:
  friend class Timer;
  Design design_;
  int helpContext_ = 0;
  Menu* mainMenu_ = nullptr;
  std::vector<Timer*> timers_;
  std::map<std::uint32_t, std::function<void(const Message&)>> hooks_;
  // Reports a failed Realize the first time the form is to be shown.
  void ReportFailedCreation();

  bool realized_ = false;
  std::uint32_t creationError_ = 0;
  bool creationFailureReported_ = false;
  bool destroyed_ = false;
  bool showing_ = false;
  bool modal_ = false;
  Scaling scaling_;
  ModalResult modalResult_ = ModalResult::None;
};

} // namespace ui
