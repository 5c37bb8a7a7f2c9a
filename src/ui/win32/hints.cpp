// Hints: the tooltips of controls and toolbar buttons. Texts are asked for when a tooltip is
// about to show, so a hint changed later still shows as it is then.

#include "ui/win32/internal.h"

#include <algorithm>
#include <cstring>

namespace ui::win32 {

namespace {

void CollectHinted(Control& control, std::vector<Control*>& hinted) {
  for (Control* child : control.Children()) {
    if (!child->Hint().empty() && child->native != 0 && child->Kind() != ControlKind::ToolBar) {
      hinted.push_back(child);
    }
    CollectHinted(*child, hinted);
  }
}

std::wstring Widened(const std::string& text) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 1) {
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

} // namespace

void CreateHints(Form& form, HWND formWindow, FormData& data) {
  std::vector<Control*> hinted;
  CollectHinted(form, hinted);
  if (hinted.empty()) {
    return;
  }
  data.hints =
      ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, formWindow, nullptr, Instance(), nullptr);
  if (data.hints == nullptr) {
    return;
  }
  for (Control* control : hinted) {
    TTTOOLINFOA tool{};
    // The older size is the one every version of the control accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = formWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(WindowOf(*control));
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(data.hints, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

bool HandleHintNotify(Form& form, NMHDR& header) {
  if (header.code != TTN_GETDISPINFOA && header.code != TTN_GETDISPINFOW) {
    return false;
  }
  FormData& data = DataOf(form);
  if (data.hints == nullptr || header.hwndFrom != data.hints) {
    return false;
  }
  const Control* control = ControlOf(reinterpret_cast<HWND>(header.idFrom));
  AnswerTipRequest(data, header, control != nullptr ? control->Hint() : std::string());
  return true;
}

void AnswerTipRequest(FormData& data, NMHDR& header, const std::string& text) {
  if (header.code == TTN_GETDISPINFOW) {
    data.wideTipText = Widened(text);
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    info.lpszText = data.wideTipText.data();
  } else {
    data.tipText = text;
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
    info.lpszText = data.tipText.data();
  }
}

void CopyTipText(const std::string& text, bool wide, void* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) {
    return;
  }
  const auto room = static_cast<std::size_t>(capacity - 1);
  if (wide) {
    const std::wstring widened = Widened(text);
    const std::size_t length = std::min(widened.size(), room);
    auto* target = static_cast<wchar_t*>(buffer);
    std::memcpy(target, widened.data(), length * sizeof(wchar_t));
    target[length] = L'\0';
  } else {
    const std::size_t length = std::min(text.size(), room);
    auto* target = static_cast<char*>(buffer);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
  }
}

} // namespace ui::win32
