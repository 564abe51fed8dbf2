// The meter's picture: the level as a bar in its band's colour, half of it in the mains colour on
// mains power, under a grid of five divisions. Redrawn from scratch by every tick. Boxes and lines
// start at the picture's first pixel (kStart) and may reach past its far edge: the picture clips them.

#include "monitor/frm_monitor.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

namespace {
constexpr int kDivisions = 5;
constexpr int kStart = 0;
}  // namespace

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
        FillBox(kStart, kStart, barW, h, colour, picHistory);
        if (msPowerSrc == "AC") FillBox(kStart, h / 2, barW, h, mains, picHistory);  // the lower half
    } else {  // the bar grows upwards from the bottom end
        const std::int16_t barH = num::toInt16(level / 100.0 * height);
        const std::int16_t top = num::toInt16(height - barH);
        const std::int16_t w = num::toInt16(width);
        FillBox(kStart, top, w, barH, colour, picHistory);
        if (msPowerSrc == "AC") FillBox(w / 2, top, w, barH, mains, picHistory);  // the right half
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
    for (int i = 0, at = kStart; i <= kDivisions; ++i, at += step) {
        const auto colour = static_cast<Color>(k.plColor[i == 0 || i == kDivisions ? 6 : 5]);
        if (flat)
            picHistory.line(at, kStart, at, len, colour);
        else
            picHistory.line(kStart, at, len, at, colour);
    }
}

}  // namespace corvane
