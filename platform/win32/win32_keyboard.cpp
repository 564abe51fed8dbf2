#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/win32_form_peer.h"

namespace corvane {

// The dialog manager's groups run from a WS_GROUP window to the next: every control is one of its own,
// except the option buttons of one container, which are one group from the first in tab order.
bool Win32FormPeer::startsGroup(const Control& control) {
    if (!control.as<OptionButton>()) return true;
    for (const auto& c : control.owner().controls())
        if (c.get() != &control && c->as<OptionButton>() && c->container() == control.container() &&
            c->tabIndex() < control.tabIndex())
            return false;
    return true;
}

// A window that is not active takes the focus into the control once it is activated (WM_SETFOCUS).
void Win32FormPeer::focusChanged() {
    const Control* active = form_.keyboard().activeControl();
    if (HWND w = active ? windowOf(*active) : nullptr; w && GetActiveWindow() == hwnd()) SetFocus(w);
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

// Windows walks Tab down the window order, so the controls stand in tab order, ties the later one
// first (on top, as the form's order has it); beneath them the labels, and the frames below them all,
// one inside another above that one, as the form's drawing layers have them.
void Win32FormPeer::order() {
    std::vector<std::pair<std::tuple<int, int, int>, HWND>> stack;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const Control& c = *children_[i]->control;
        const int layer = static_cast<int>(c.drawingLayer());
        stack.push_back({{-layer, c.as<Frame>() ? -c.depth() : c.tabIndex(), -static_cast<int>(i)},
                         children_[i]->window});
    }
    std::sort(stack.begin(), stack.end());
    HWND after = HWND_TOP;
    for (const auto& [key, w] : stack) {
        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w;
    }
}

}  // namespace corvane
