#include "platform/geometry.h"

#include <algorithm>
#include <cmath>

#include "platform/forms.h"
#include "platform/nearest.h"
#include "platform/runtime.h"
#include "platform/text.h"

namespace corvane {

namespace {

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

void Placement::setLeft(double v) {
    left_ = finiteOr(v, left_);
    placementChanged();
}
void Placement::setTop(double v) {
    top_ = finiteOr(v, top_);
    placementChanged();
}
void Placement::setWidth(double v) {
    width_ = std::max(0.0, finiteOr(v, width_));
    placementChanged();
}
void Placement::setHeight(double v) {
    height_ = std::max(0.0, finiteOr(v, height_));
    placementChanged();
}

int toPixels(double units, double unitsPerPixel, int lo, int hi) {
    if (!(unitsPerPixel > 0)) unitsPerPixel = 1;
    const double px = nearestEven(units / unitsPerPixel);
    if (std::isnan(px)) return lo;
    return static_cast<int>(std::clamp<double>(px, lo, hi));
}

double textWidthIn(const Form& form, const Font& font, std::string_view text, TextWidth which) {
    TextService& service = form.runtime().text();
    int widest = 0;
    for (std::string_view line : splitLines(text)) {
        const TextExtent extent = service.measureLine(font, line);
        widest = std::max(widest, which == TextWidth::Fit ? extent.fitWidth : extent.width);
    }
    return widest * form.unitsPerPixelX();
}

double textHeightIn(const Form& form, const Font& font, std::string_view text) {
    const int lineHeight = form.runtime().text().measureLine(font, {}).height;
    return static_cast<double>(lineHeight) * static_cast<double>(splitLines(text).size()) *
           form.unitsPerPixelY();
}

}  // namespace corvane
