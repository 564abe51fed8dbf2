#include <windows.h>
// (after windows.h, which it needs)
#include <commctrl.h>

#include "platform/win32/win32_form_peer.h"

namespace corvane {

// One tooltip control for the form, with a tool for each control that has a text.
void Win32FormPeer::mirrorTip(Child& child) {
    const std::string& tip = child.control->toolTipText();
    if (tip == child.tip) return;
    if (!tooltip_ && !tip.empty())
        tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
    if (!tooltip_) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the control knows
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(child.window);
    tool.lpszText = const_cast<char*>(tip.c_str());
    if (child.tip.empty())
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    else if (tip.empty())
        SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    else
        SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    child.tip = tip;
}

}  // namespace corvane
