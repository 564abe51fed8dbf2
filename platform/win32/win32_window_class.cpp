#include "platform/win32/win32_window_class.h"

#include <commctrl.h>

#include <string_view>

#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_form_peer.h"

namespace corvane {

void registerFormClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    // Double-clicks are events of their own (the meter hides on one); a resize repaints the form whole.
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32FormPeer::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CORVANE));  // shared: never destroyed
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));     // the arrow (IDC_ARROW)
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = &Win32FormPeer::pixelsProc;
    wc.hIcon = nullptr;
    wc.lpszClassName = kPixelsClass;
    RegisterClassExA(&wc);
    // The tooltip control.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

void unregisterFormClass(HINSTANCE instance) {
    UnregisterClassA(kFormClass, instance);
    UnregisterClassA(kPixelsClass, instance);
}

bool isFormWindow(HWND window) {
    char name[32] = {};
    return window && GetClassNameA(window, name, sizeof name) > 0 && std::string_view(name) == kFormClass;
}

NativeStyle nativeStyleOf(const FormStyle& style) {
    NativeStyle n;
    if (style.border == BorderStyle::FixedDialog) {
        // A caption with a system menu and a frame the user cannot drag to another size. The system
        // menu also lets the task manager's close reach a form that is never shown.
        n.style = WS_CAPTION | WS_SYSMENU;
        n.exStyle = WS_EX_DLGMODALFRAME;
    } else {
        n.style = WS_POPUP;
    }
    // The controls paint themselves; the form paints only around them.
    n.style |= WS_CLIPCHILDREN;
    n.exStyle |= style.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    n.showCommand = style.activateOnShow ? SW_SHOW : SW_SHOWNOACTIVATE;
    return n;
}

UniqueWindow keyboardAnchor(POINT at) {
    UniqueWindow anchor(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, at.x, at.y, 1, 1, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr));
    if (anchor) {
        ShowWindow(anchor.get(), SW_SHOWNOACTIVATE);
        SetForegroundWindow(anchor.get());
    }
    return anchor;
}

void keepBeneath(HWND anchor, HWND window) {
    RECT r{};
    if (!anchor || !GetWindowRect(window, &r)) return;
    SetWindowPos(anchor, window, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace corvane
