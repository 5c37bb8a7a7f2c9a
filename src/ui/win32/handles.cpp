// Which window belongs to which control, and the native data of each realized form. Windows
// reports events by window handle; everything else the backend knows hangs off the controls.

#include "ui/win32/internal.h"

namespace ui::win32 {

namespace {

struct Registry {
  std::map<HWND, Control*> controls;
  std::map<Form*, FormData> forms;
  bool applyingProgramChange = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

} // namespace

HINSTANCE Instance() {
  return ::GetModuleHandleA(nullptr);
}

void InitialiseCommonControls() {
  // Registers the classes of the common controls; asking again costs next to nothing.
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

void Remember(HWND window, Control& control) {
  TheRegistry().controls[window] = &control;
}

void Forget(HWND window) {
  TheRegistry().controls.erase(window);
}

Control* ControlOf(HWND window) {
  const auto& controls = TheRegistry().controls;
  const auto found = controls.find(window);
  return found == controls.end() ? nullptr : found->second;
}

Form* FormOfWindow(HWND window) {
  if (window == nullptr) {
    return nullptr;
  }
  Control* control = ControlOf(::GetAncestor(window, GA_ROOT));
  return control != nullptr && control->Kind() == ControlKind::Form ? static_cast<Form*>(control)
                                                                    : nullptr;
}

FormData& DataOf(Form& form) {
  return TheRegistry().forms[&form];
}

void ForgetData(Form& form) {
  TheRegistry().forms.erase(&form);
}

std::vector<Form*> RealizedForms() {
  std::vector<Form*> forms;
  for (const auto& entry : TheRegistry().forms) {
    forms.push_back(entry.first);
  }
  return forms;
}

bool ApplyingProgramChange() {
  return TheRegistry().applyingProgramChange;
}

ProgramChange::ProgramChange() : previous_(TheRegistry().applyingProgramChange) {
  TheRegistry().applyingProgramChange = true;
}

ProgramChange::~ProgramChange() {
  TheRegistry().applyingProgramChange = previous_;
}

} // namespace ui::win32
