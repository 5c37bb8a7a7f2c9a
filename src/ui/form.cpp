#include "ui/form.h"

#include "ui/application.h"
#include "ui/backend.h"

#include <algorithm>

namespace ui {

Timer::Timer(Form& owner, std::uint32_t intervalMilliseconds)
    : owner_(owner), interval_(intervalMilliseconds) {
  owner_.timers_.push_back(this);
}

Timer::~Timer() {
  auto& timers = owner_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (owner_.realized_ && !owner_.destroyed_) {
    backend::UpdateTimer(*this);
  }
}

void Timer::Fire() {
  if (enabled_ && OnTimer) {
    OnTimer();
  }
}

Form::Form(Design design)
    : Control(nullptr, design.name, ControlKind::Form,
              Rect{0, 0, design.clientWidth, design.clientHeight}),
      design_(std::move(design)) {
  SetText(design_.caption);
  SetVisible(false);
}

Form::~Form() {
  Destroy();
}

namespace {
Button* FindButton(const Control& control, bool (*wanted)(const Button&)) {
  for (Control* child : control.Children()) {
    if (child->Kind() == ControlKind::Button && wanted(*static_cast<Button*>(child))) {
      return static_cast<Button*>(child);
    }
    if (Button* found = FindButton(*child, wanted)) {
      return found;
    }
  }
  return nullptr;
}
} // namespace

Button* Form::DefaultButton() const {
  return FindButton(*this, [](const Button& b) { return b.ButtonOptions().isDefault; });
}

Button* Form::CancelButton() const {
  return FindButton(*this, [](const Button& b) { return b.ButtonOptions().isCancel; });
}

Control* Form::EnterButton(Control* focus) const {
  if (focus != nullptr &&
      (focus->Kind() == ControlKind::Button || focus->Kind() == ControlKind::SpeedButton)) {
    return focus;
  }
  return DefaultButton();
}

Control* Form::FocusedControl() {
  return backend::FocusedControl(*this);
}

bool Form::Realize() {
  if (!realized_ && creationError_ == 0) {
    creationError_ = backend::Realize(*this);
    realized_ = creationError_ == 0;
  }
  return realized_;
}

void Form::ReportFailedCreation() {
  if (!creationFailureReported_) {
    creationFailureReported_ = true;
    ReportCreationFailure(creationError_);
  }
}

void Form::Destroy() {
  if (destroyed_) {
    return;
  }
  destroyed_ = true;
  // A form that never got its windows has nothing a live window's end would save or undo.
  if (realized_ && OnDestroy) {
    OnDestroy();
  }
  if (MainForm() == this) {
    SetMainForm(nullptr);
  }
  if (realized_) {
    backend::Unrealize(*this);
  }
}

void Form::Show() {
  if (!realized_) {
    ReportFailedCreation();
    return;
  }
  SetVisible(true);
  backend::ShowForm(*this, true);
}

void Form::Hide() {
  SetVisible(false);
  backend::ShowForm(*this, false);
}

void Form::Close() {
  if (OnCloseQuery && !OnCloseQuery()) {
    return;
  }
  if (modal_) {
    modalResult_ = ModalResult::Cancel;
  } else if (MainForm() == this) {
    TerminateApplication();
  } else {
    Hide();
  }
}

ModalResult Form::ShowModal() {
  if (!realized_) {
    ReportFailedCreation();
    modalResult_ = ModalResult::Cancel;
    return modalResult_;
  }
  modal_ = true;
  modalResult_ = ModalResult::None;
  backend::RunModal(*this);
  modal_ = false;
  Hide();
  return modalResult_;
}

void Form::HookMessage(std::uint32_t id, std::function<void(const Message&)> hook) {
  hooks_[id] = std::move(hook);
}

bool Form::RunMessageHook(const Message& message) {
  const auto hook = hooks_.find(message.id);
  if (hook == hooks_.end()) {
    return false;
  }
  hook->second(message);
  return true;
}

void Form::HelpFromSystem() {
  if (helpContext_ != 0) {
    RequestHelp(HelpContextRequest, static_cast<std::uintptr_t>(helpContext_));
  }
}

void Form::ActivatedFromSystem() {
  if (OnActivate) {
    OnActivate();
  }
}

void Form::PaintedFromSystem() {
  if (OnPaint) {
    OnPaint();
  }
}

} // namespace ui
