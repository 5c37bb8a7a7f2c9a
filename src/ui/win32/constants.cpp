// The toolkit spells the Windows values its forms use without <windows.h>; here the compiler
// holds each of them to the value the Windows headers give.

#include "ui/types.h"

#include <windows.h>

static_assert(ui::WmApp == WM_APP);
static_assert(ui::WmQueryEndSession == WM_QUERYENDSESSION);
static_assert(ui::WmEndSession == WM_ENDSESSION);
static_assert(ui::WmSysCommand == WM_SYSCOMMAND);
static_assert(ui::WmMouseMove == WM_MOUSEMOVE);
static_assert(ui::WmLButtonDown == WM_LBUTTONDOWN);
static_assert(ui::WmLButtonUp == WM_LBUTTONUP);
static_assert(ui::WmLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(ui::WmRButtonDown == WM_RBUTTONDOWN);
static_assert(ui::WmRButtonUp == WM_RBUTTONUP);
static_assert(ui::WmMButtonUp == WM_MBUTTONUP);
static_assert(ui::ScClose == SC_CLOSE);
static_assert(ui::ScMinimize == SC_MINIMIZE);

static_assert(ui::ShortcutEsc == VK_ESCAPE);
static_assert(ui::ShortcutTab == VK_TAB && ui::ShortcutEnter == VK_RETURN);
static_assert(ui::ShortcutSpace == VK_SPACE && ui::ShortcutF4 == VK_F4);
static_assert(ui::ShortcutUp == VK_UP && ui::ShortcutDown == VK_DOWN);
static_assert(ui::ShortcutF1 == VK_F1);
static_assert(ui::ShortcutAltF4 == (ui::AltBit | VK_F4));
