#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/win32_form_peer.h"

namespace corvane {

// Tab and the arrow keys are the form's, before the dialog manager sees them; an arrow key the form
// leaves (in a text box) goes on to the control. Enter and Esc stay with the dialog manager, which
// hands them on as IDOK and IDCANCEL.
bool Win32FormPeer::formKey(HWND form, const MSG& msg) {
    auto* self = reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrA(form, GWLP_USERDATA));
    if (!self || msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return false;
    Keyboard& keyboard = self->form_.keyboard();
    switch (msg.wParam) {
        case VK_TAB:
            keyboard.tab(GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_DOWN:
        case VK_RIGHT:
            return keyboard.arrowKey(true);
        case VK_UP:
        case VK_LEFT:
            return keyboard.arrowKey(false);
        default:
            return false;
    }
}

// A window that is not active takes the focus into the control once it is activated (WM_SETFOCUS).
// The focus moves as Tab moves it: a text box it comes to has its text selected, to be typed over.
void Win32FormPeer::focusChanged() {
    const Control* active = form_.keyboard().activeControl();
    HWND w = active ? windowOf(*active) : nullptr;
    if (!w || GetActiveWindow() != hwnd()) return;
    SetFocus(w);
    if (active->as<TextBox>()) SendMessageA(w, EM_SETSEL, 0, -1);
}

// The window was activated (WM_SETFOCUS): the focus goes back to the control that had it.
void Win32FormPeer::restoreFocus() {
    if (const Control* active = form_.keyboard().activeControl())
        if (HWND w = windowOf(*active)) SetFocus(w);
}

// The dialog manager's Enter and Esc: IDOK and IDCANCEL from no control.
void Win32FormPeer::dialogKey(WORD id) {
    if (id == IDOK) form_.keyboard().keyPress(kKeyReturn);
    if (id == IDCANCEL) form_.keyboard().keyPress(kKeyEscape);
}

// Siblings overlap where a frame holds controls and where a label runs under the box beside it: the
// form's drawing layers decide, the frames below all (one inside another above that one), the labels
// above them, the controls that take input on top, a later one above an earlier one.
void Win32FormPeer::order() {
    std::vector<std::pair<std::tuple<int, int, int>, HWND>> stack;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const Control& c = *children_[i]->control;
        const int layer = static_cast<int>(c.drawingLayer());
        stack.push_back(
            {{-layer, c.as<Frame>() ? -c.depth() : 0, -static_cast<int>(i)}, children_[i]->window});
    }
    std::sort(stack.begin(), stack.end());
    HWND after = HWND_TOP;
    for (const auto& [key, w] : stack) {
        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w;
    }
}

}  // namespace corvane
