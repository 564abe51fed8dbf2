// Sizing and placing the meter window: the module procedures the meter's load, its revive step and
// the preferences dialog share.

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
            left = pMonitorLeft, top = pMonitorTop;
            break;
        default:
            return;  // an unknown choice leaves the window where it is
    }
    w.setLeft(left);
    w.setTop(top);
}

void mKesta::pMoveIntoScreen(std::int32_t& left, std::int32_t& top) {
    Form& w = program_.meterWindow();
    Screen& screen = program_.runtime().screen();
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    // A window that ends exactly at the edge stays where it is.
    const float sw = static_cast<float>(screen.widthTwips()), sh = static_cast<float>(screen.heightTwips());
    if (static_cast<float>(left + w.width()) > sw) left = num::toInt32(sw - w.width());
    if (static_cast<float>(top + w.height()) > sh) top = num::toInt32(sh - w.height());
    w.setLeft(left);
    w.setTop(top);
}

}  // namespace corvane
