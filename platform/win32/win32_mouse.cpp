#include <windows.h>
// (after windows.h, which it needs)
#include <windowsx.h>

#include "platform/win32/win32_form_peer.h"

namespace corvane {

namespace {

// The native bits of the mouse messages in the program's terms: the only part of the mouse that
// differs from one window system to the next.
std::int16_t buttonsHeld(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? kLeftButton : 0) |
                                     ((wParam & MK_RBUTTON) ? kRightButton : 0) |
                                     ((wParam & MK_MBUTTON) ? kMiddleButton : 0));
}

std::int16_t shiftState(WPARAM wParam) {
    return static_cast<std::int16_t>(((wParam & MK_SHIFT) ? kShiftKey : 0) |
                                     ((wParam & MK_CONTROL) ? kCtrlKey : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? kAltKey : 0));
}

}  // namespace

// The second press of a double-click comes as a message of its own instead of a button down.
const Win32FormPeer::ButtonMessage Win32FormPeer::kButtonMessages[] = {
    {WM_LBUTTONDOWN, ButtonStep::Down, kLeftButton},
    {WM_RBUTTONDOWN, ButtonStep::Down, kRightButton},
    {WM_MBUTTONDOWN, ButtonStep::Down, kMiddleButton},
    {WM_LBUTTONDBLCLK, ButtonStep::DoubleClick, kLeftButton},
    {WM_RBUTTONDBLCLK, ButtonStep::DoubleClick, kRightButton},
    {WM_MBUTTONDBLCLK, ButtonStep::DoubleClick, kMiddleButton},
    {WM_LBUTTONUP, ButtonStep::Up, kLeftButton},
    {WM_RBUTTONUP, ButtonStep::Up, kRightButton},
    {WM_MBUTTONUP, ButtonStep::Up, kMiddleButton},
};

bool Win32FormPeer::mouseMessage(UINT message, WPARAM wParam, LPARAM lParam, HWND from) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (from != hwnd()) MapWindowPoints(from, hwnd(), &p, 1);
    for (const ButtonMessage& b : kButtonMessages)
        if (b.message == message) {
            button(b.step, b.button, wParam, p.x, p.y, from);
            return true;
        }
    if (message == WM_MOUSEMOVE) {
        holdCapture(form_.mouse().move(buttonsHeld(wParam), shiftState(wParam), p.x, p.y), from);
        return true;
    }
    if (message == WM_CAPTURECHANGED) {
        if (!releasingCapture_ && !ours(reinterpret_cast<HWND>(lParam))) form_.mouse().captureLost();
        return true;
    }
    return false;
}

// Dragging relies on the moves and the release still arriving once the cursor is outside the window,
// as it is at once when a quick hand leaves the window behind. The native capture is taken with the
// button, before the handler runs, and then matched to what the router holds: a menu the handler
// opens takes the mouse from us, which the router hears as a lost capture, and nothing takes it back
// once the menu has gone. The last button up lets go before its handler runs, as the router does,
// for the same menu.
void Win32FormPeer::button(ButtonStep step, std::int16_t button, WPARAM wParam, int x, int y, HWND from) {
    MouseRouter& mouse = form_.mouse();
    const std::int16_t shift = shiftState(wParam);
    if (step == ButtonStep::Up) {
        const std::int16_t stillHeld = buttonsHeld(wParam);
        if (stillHeld == 0) holdCapture(false, from);
        holdCapture(mouse.release(button, stillHeld, shift, x, y), from);
        return;
    }
    holdCapture(true, from);
    holdCapture(
        step == ButtonStep::Down ? mouse.press(button, shift, x, y) : mouse.doubleClick(button, shift, x, y),
        from);
}

void Win32FormPeer::holdCapture(bool hold, HWND on) {
    if (hold) {
        if (GetCapture() != on) SetCapture(on);
    } else if (GetCapture() == on) {
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
    }
}

}  // namespace corvane
