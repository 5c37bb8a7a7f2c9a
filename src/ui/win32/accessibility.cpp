// What screen readers learn beyond what Windows finds by itself: names, roles and live regions
// given through Windows' dynamic annotation, and the event that has a live text read. Every step
// may fail (no COM, no annotation service, a release that lacks a property) and then leaves the
// control as Windows names it.

#include "ui/win32/internal.h"

#include "platform/win32/late_bound.h"
#include "platform/win32/text.h"

#include <initguid.h>

#include <oleacc.h>

namespace ui::win32 {

namespace {

constexpr char Ole32[] = "ole32.dll";
constexpr char User32[] = "user32.dll";
// UI Automation's LiveSetting property, which annotation takes by its GUID from Windows 8 on.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG PoliteLiveSetting = 1;
constexpr DWORD LiveRegionChangedEvent = 0x8019; // EVENT_OBJECT_LIVEREGIONCHANGED

using CoInitializeFunction = HRESULT WINAPI(LPVOID);
using CoCreateInstanceFunction = HRESULT WINAPI(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using NotifyWinEventFunction = void WINAPI(DWORD, HWND, LONG, LONG);

// The annotation service, made once on the window thread and kept for the program's run; null
// where Windows has none.
IAccPropServices* Services() {
  static IAccPropServices* const services = []() -> IAccPropServices* {
    static auto* const initialise =
        platform::win32::LateBound<CoInitializeFunction>(Ole32, "CoInitialize");
    static auto* const create =
        platform::win32::LateBound<CoCreateInstanceFunction>(Ole32, "CoCreateInstance");
    if (initialise == nullptr || create == nullptr || FAILED(initialise(nullptr))) {
      return nullptr;
    }
    IAccPropServices* made = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      reinterpret_cast<void**>(&made)))) {
      return nullptr;
    }
    return made;
  }();
  return services;
}

bool Annotated(const Control& control) {
  return !control.GivenName().empty() || control.Role() != AccessibleRole::Default ||
         control.LiveRegion();
}

void SetNumber(IAccPropServices& services, HWND window, const MSAAPROPID& property, LONG value) {
  VARIANT number{};
  number.vt = VT_I4;
  number.lVal = value;
  services.SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, number);
}

void Annotate(const Control& control) {
  const HWND window = WindowOf(control);
  IAccPropServices* services = window != nullptr && Annotated(control) ? Services() : nullptr;
  if (services == nullptr) {
    return;
  }
  if (std::wstring name;
      !control.GivenName().empty() && platform::win32::AnsiToWide(control.GivenName(), name)) {
    services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, name.c_str());
  }
  if (control.Role() == AccessibleRole::Dialog) {
    SetNumber(*services, window, PROPID_ACC_ROLE, ROLE_SYSTEM_DIALOG);
  }
  if (control.LiveRegion()) {
    SetNumber(*services, window, LiveSettingProperty, PoliteLiveSetting);
  }
}

} // namespace

void ApplyAccessibility(Control& control) {
  Annotate(control);
}

void ApplyAccessibilityTree(Control& root) {
  Annotate(root);
  for (Control* child : root.Children()) {
    ApplyAccessibilityTree(*child);
  }
}

void ClearAccessibilityTree(Control& root) {
  for (Control* child : root.Children()) {
    ClearAccessibilityTree(*child);
  }
  const HWND window = WindowOf(root);
  IAccPropServices* services = window != nullptr && Annotated(root) ? Services() : nullptr;
  if (services == nullptr) {
    return;
  }
  MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE, LiveSettingProperty};
  services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                           ARRAYSIZE(properties));
}

void AnnounceLiveText(Control& control) {
  // Windows 2000 and later; the event itself is known from Windows 8 on, and ignored before.
  static auto* const notify =
      platform::win32::LateBound<NotifyWinEventFunction>(User32, "NotifyWinEvent");
  const HWND window = WindowOf(control);
  if (notify != nullptr && window != nullptr) {
    notify(LiveRegionChangedEvent, window, OBJID_CLIENT, CHILDID_SELF);
  }
}

} // namespace ui::win32
