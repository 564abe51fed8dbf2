#include "platform/win32/win32_form_peer.h"

#include <string>

#include "platform/win32/win32_window_class.h"

namespace corvane {

Win32FormPeer::Win32FormPeer(Form& form) : form_(form) {
    const NativeStyle native = nativeStyleOf(form.style());
    HWND window = CreateWindowExA(native.exStyle, kFormClass, form.style().caption.c_str(), native.style, 0,
                                  0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    window_.reset(window);
    if (!window)
        form_.runtime().reportProblem("a window could not be created (error " +
                                      std::to_string(GetLastError()) + ")");
}

Win32FormPeer::~Win32FormPeer() {
    // From here on the windows' messages no longer reach a form that is going away.
    for (const auto& c : children_) {
        if (c->original) SetWindowLongPtrA(c->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c->original));
        if (c->original || GetWindowLongPtrA(c->window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(c.get()))
            SetWindowLongPtrA(c->window, GWLP_USERDATA, 0);
    }
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void Win32FormPeer::geometryChanged() {
    SetWindowPos(hwnd(), nullptr, form_.pixelLeft(), form_.pixelTop(), form_.pixelWidth(),
                 form_.pixelHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// A form that takes the activation as it opens (a dialog) takes the keyboard too, also where no window
// manager gives it the input focus: its anchor stays with it while it is shown.
void Win32FormPeer::visibilityChanged() {
    const NativeStyle native = nativeStyleOf(form_.style());
    if (form_.visible()) {
        makeAll();
        if (form_.style().activateOnShow && !keyboardAnchor_)
            keyboardAnchor_ = keyboardAnchor({form_.pixelLeft(), form_.pixelTop()});
    }
    ShowWindow(hwnd(), form_.visible() ? native.showCommand : SW_HIDE);
    keepBeneath(keyboardAnchor_.get(), hwnd());
    if (!form_.visible()) keyboardAnchor_.reset();
}

void Win32FormPeer::backColorChanged() { InvalidateRect(hwnd(), nullptr, TRUE); }

void Win32FormPeer::captionChanged() { SetWindowTextA(hwnd(), form_.style().caption.c_str()); }

// Made on every call, also when the band stays the same: taking a window out of the band also brings
// it to the front of the ordinary windows.
void Win32FormPeer::topmostChanged() {
    constexpr UINT kKeepSizeAndPlace = SWP_NOSIZE | SWP_NOMOVE;  // 3
    SetWindowPos(hwnd(), form_.topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kKeepSizeAndPlace);
}

HWND Win32FormPeer::windowOf(const Control& control) const {
    const Child* c = childOf(control);
    return c ? c->window : nullptr;
}

Win32FormPeer::Child* Win32FormPeer::childOf(HWND window) const {
    for (const auto& c : children_)
        if (c->window == window) return c.get();
    return nullptr;
}

Win32FormPeer::Child* Win32FormPeer::childOf(const Control& control) const {
    for (const auto& c : children_)
        if (c->control == &control) return c.get();
    return nullptr;
}

LRESULT CALLBACK Win32FormPeer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowOwner<Win32FormPeer>(window, message, lParam);
    // Messages that come while the window is being created, before window_ is set, go by default.
    if (!self || self->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT CALLBACK Win32FormPeer::pixelsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* child = reinterpret_cast<Child*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!child || child->window != window) return DefWindowProcA(window, message, wParam, lParam);
    return child->peer->handlePixels(*child, message, wParam, lParam);
}

LRESULT Win32FormPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (mouseMessage(message, wParam, lParam, hwnd())) return 0;
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETFOCUS:
            restoreFocus();
            return 0;
        case WM_WINDOWPOSCHANGED:
            keepBeneath(keyboardAnchor_.get(), hwnd());
            return DefWindowProcA(hwnd(), message, wParam, lParam);
        case WM_CLOSE:
            // Alt+F4, the close box, the system menu, the task manager: the form's own handlers decide.
            form_.queryUnload(kCloseFromWindow);
            return 0;
        default:
            return DefWindowProcA(hwnd(), message, wParam, lParam);
    }
}

LRESULT Win32FormPeer::handlePixels(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
    if (mouseMessage(message, wParam, lParam, child.window)) return 0;
    switch (message) {
        case WM_PAINT:
            paintPixelsWindow(child);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            form_.keyboard().userFocused(child.control);
            InvalidateRect(child.window, nullptr, FALSE);  // the focus mark
            return 0;
        case WM_KILLFOCUS:
            InvalidateRect(child.window, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS;  // the characters are the form's, not the dialog manager's mnemonics
        case WM_CHAR:
            form_.keyboard().keyPress(static_cast<std::int16_t>(wParam & 0xFF));
            return 0;
        default:
            return DefWindowProcA(child.window, message, wParam, lParam);
    }
}

}  // namespace corvane
