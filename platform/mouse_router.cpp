#include "platform/mouse_router.h"

#include <utility>
#include <vector>

#include "platform/forms.h"

namespace corvane {

Control* MouseRouter::controlAt(int x, int y) const {
    const std::vector<Control*> controls = form_.drawingOrder();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if ((*it)->takesMouse() && (*it)->pixelRect().contains(x, y)) return *it;
    return nullptr;
}

bool MouseRouter::press(std::int16_t button, std::int16_t shift, int x, int y) {
    Control* c = target(x, y);
    captured_ = c;
    if (button == kLeftButton) clicked_ = c;
    if (c) c->mouseDown(button, shift, x - c->pixelLeft(), y - c->pixelTop());
    return captured_ != nullptr;
}

bool MouseRouter::move(std::int16_t buttonsHeld, std::int16_t shift, int x, int y) {
    if (Control* c = target(x, y)) c->mouseMove(buttonsHeld, shift, x - c->pixelLeft(), y - c->pixelTop());
    return captured_ != nullptr;
}

bool MouseRouter::release(std::int16_t button, std::int16_t buttonsStillHeld, std::int16_t shift, int x,
                          int y) {
    Control* c = target(x, y);
    // Let go before the handler runs: a menu it opens needs the mouse.
    if (buttonsStillHeld == 0) captured_ = nullptr;
    if (c) c->mouseUp(button, shift, x - c->pixelLeft(), y - c->pixelTop());
    if (button == kLeftButton) {
        // A click only where the button went down, and only if it comes up over the control.
        Control* clicked = std::exchange(clicked_, nullptr);
        if (clicked && clicked == c && c->pixelRect().contains(x, y)) c->click();
    }
    return captured_ != nullptr;
}

bool MouseRouter::doubleClick(std::int16_t button, std::int16_t shift, int x, int y) {
    // Only the left button's double-click means anything of its own; the others count as presses.
    if (button != kLeftButton) return press(button, shift, x, y);
    captured_ = target(x, y);
    clicked_ = nullptr;  // the release that follows ends the double-click, not a click
    if (captured_) captured_->dblClick();
    return captured_ != nullptr;
}

}  // namespace corvane
