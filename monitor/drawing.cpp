// The meter's picture: the level as a bar in its band's colour, half of it in the mains colour on
// mains power, under a grid of five divisions. Redrawn from scratch by every tick.

#include "monitor/frm_monitor.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

namespace {
constexpr int kDivisions = 5;
}

void frmMonitor::FillBox(int x, int y, int w, int h, Color colour, Picture& surface) {
    surface.fillBox(x, y, x + w, y + h, colour);
}

void frmMonitor::DrawMeter() {
    const mKesta& k = program_.kesta();
    const std::int16_t level = num::toInt16(mEnergyLevel);
    // The low bound is tested last: where it lies above the middle bound, the low colour wins.
    auto colour = static_cast<Color>(k.plColor[2]);
    if (level < k.pnMidUpper) colour = static_cast<Color>(k.plColor[1]);
    if (level < k.pnLowUpper) colour = static_cast<Color>(k.plColor[0]);
    const auto mains = static_cast<Color>(k.plColor[3]);

    picHistory.cls();
    const double width = picHistory.scaleWidth(), height = picHistory.scaleHeight();
    if (k.pnUpright == 0) {  // the bar grows from the left end
        const std::int16_t barW = num::toInt16(level / 100.0 * width);
        const std::int16_t h = num::toInt16(height);
        FillBox(0, 0, barW, h, colour, picHistory);
        if (msPowerSrc == "AC") FillBox(0, h / 2, barW, h / 2, mains, picHistory);
    } else {  // the bar grows upwards from the bottom end
        const std::int16_t barH = num::toInt16(level / 100.0 * height);
        const std::int16_t top = num::toInt16(height - barH);
        const std::int16_t w = num::toInt16(width);
        FillBox(0, top, w, barH, colour, picHistory);
        if (msPowerSrc == "AC") FillBox(w / 2, top, w / 2, barH, mains, picHistory);
    }
}

// The two end lines take the border colour and close the frame across the short sides; on the
// 51-pixel length they lie on its first and last pixel.
void frmMonitor::DrawGrid() {
    const mKesta& k = program_.kesta();
    const bool flat = k.pnUpright == 0;
    const double length = flat ? picHistory.scaleWidth() : picHistory.scaleHeight();
    const double across = flat ? picHistory.scaleHeight() : picHistory.scaleWidth();
    const std::int32_t step = num::toInt32(length) / kDivisions;
    const std::int16_t len = num::toInt16(across);
    for (int i = 0; i <= kDivisions; ++i) {
        const auto colour = static_cast<Color>(k.plColor[i == 0 || i == kDivisions ? 6 : 5]);
        const int at = i * step;
        if (flat)
            picHistory.line(at, 0, at, len, colour);
        else
            picHistory.line(0, at, len, at, colour);
    }
}

}  // namespace corvane
