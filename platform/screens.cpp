// The common part of a change of the monitors: the windows' places in the program's frame, and one
// word to the program however many changes the window system reports in a row.

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

void Runtime::screensChanged(int dxPx, int dyPx) {
    if (ended_) return;
    if (dxPx != 0 || dyPx != 0) {
        const double dx = dxPx * screen().twipsPerPixelX(), dy = dyPx * screen().twipsPerPixelY();
        for (Form* f : forms_) {
            f->setLeft(f->left() - dx);
            f->setTop(f->top() - dy);
        }
    }
    if (screensChangePending_) return;
    screensChangePending_ = true;
    post([this] {
        screensChangePending_ = false;
        if (onScreensChanged) onScreensChanged();
    });
}

}  // namespace corvane
