// Sizing and placing the meter window: the module procedures the meter's load, its revive step and
// the preferences dialog share.

#include <algorithm>
#include <vector>

#include "monitor/frm_monitor.h"
#include "platform/runtime.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

void mKesta::pGetTwipsPerPixel() {
    Screen& screen = program_.runtime().screen();
    pnTwipsPerPixelX = num::toInt16(screen.twipsPerPixelX());
    pnTwipsPerPixelY = num::toInt16(screen.twipsPerPixelY());
}

void mKesta::pSetFormSize() {
    Form& meter = program_.meterWindow();
    float width, height;
    if (pnUpright != 0) {
        height = static_cast<float>(pnTwipsPerPixelY * kMeterLength);
        width = pnTwipsPerPixelX * pMonitorWidth;
    } else {
        height = pnTwipsPerPixelY * pMonitorWidth;
        width = static_cast<float>(pnTwipsPerPixelX * kMeterLength);
    }
    meter.setWidth(width);
    meter.setHeight(height);
    // A long side keeps a 1-pixel strip of the window's own colour on each side of the surface.
    Picture& pic = program_.meterPicture();
    if (pnUpright == 1) {
        pic.setTop(0);
        pic.setLeft(1);
        pic.setHeight(meter.scaleHeight());
        pic.setWidth(meter.scaleWidth() - 2);
    } else {
        pic.setTop(1);
        pic.setLeft(0);
        pic.setHeight(meter.scaleHeight() - 2);
        pic.setWidth(meter.scaleWidth());
    }
}

void mKesta::pSetFormPosition() {
    Form& w = program_.meterWindow();
    Screen& screen = program_.runtime().screen();
    const double sw = screen.widthTwips(), sh = screen.heightTwips();
    double left, top;
    switch (pnPosOptNum) {
        case 0:
            left = 0, top = 0;
            break;
        case 1:
            left = 0, top = sh - w.height();
            break;
        case 2:
            left = sw - w.width(), top = 0;
            break;
        case 3:
            left = sw - w.width(), top = sh - w.height();
            break;
        case 4:
            // A place remembered from another arrangement of monitors may lie on none of today's.
            w.setLeft(pMonitorLeft);
            w.setTop(pMonitorTop);
            pMoveOntoAMonitor();
            return;
        default:
            return;  // an unknown choice leaves the window where it is
    }
    w.setLeft(left);
    w.setTop(top);
}

void mKesta::pMoveIntoScreen(std::int32_t& left, std::int32_t& top) {
    Form& w = program_.meterWindow();
    Screen& screen = program_.runtime().screen();
    left = std::max(left, 0);
    top = std::max(top, 0);
    // A window that ends exactly at the edge stays where it is.
    const float sw = static_cast<float>(screen.widthTwips()), sh = static_cast<float>(screen.heightTwips());
    left = std::min(left, num::toInt32(sw - static_cast<float>(w.width())));
    top = std::min(top, num::toInt32(sh - static_cast<float>(w.height())));
    w.setLeft(left);
    w.setTop(top);
}

void mKesta::pMoveOntoAMonitor() {
    Form& w = program_.meterWindow();
    const std::vector<PixelRect> monitors = program_.runtime().screen().monitors();
    // A window of no size still stands somewhere: its top left pixel.
    const int left = w.pixelLeft(), top = w.pixelTop();
    const int right = left + std::max(1, w.pixelWidth()), bottom = top + std::max(1, w.pixelHeight());
    const auto overlaps = [&](const PixelRect& m) {
        return left < m.left + m.width && m.left < right && top < m.top + m.height && m.top < bottom;
    };
    if (monitors.empty() || std::any_of(monitors.begin(), monitors.end(), overlaps)) return;
    std::int32_t l = num::toInt32(w.left()), t = num::toInt32(w.top());
    pMoveIntoScreen(l, t);
}

void mKesta::pFollowScreens() {
    if (!program_.hasMonitor() || !program_.meterWindow().loaded()) return;
    pGetTwipsPerPixel();
    pSetFormSize();  // the same pixels on a monitor of another resolution
    if (pnPosOptNum >= 0 && pnPosOptNum <= 3)
        pSetFormPosition();
    else
        pMoveOntoAMonitor();  // a dragged or chosen place stays where it is, if it can be seen
}

}  // namespace corvane
