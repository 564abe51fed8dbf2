#include "platform/geometry.h"

#include <algorithm>
#include <cmath>
#include <ranges>
#include <vector>

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
    const auto width = [&](std::string_view line) {
        const TextExtent extent = service.measureLine(font, line);
        return which == TextWidth::Fit ? extent.fitWidth : extent.width;
    };
    const std::vector<std::string_view> lines = splitLines(text);  // one at least, if only an empty one
    return std::ranges::max(lines | std::views::transform(width)) * form.unitsPerPixelX();
}

double textHeightIn(const Form& form, const Font& font, std::string_view text) {
    const int lineHeight = form.runtime().text().measureLine(font, {}).height;
    return static_cast<double>(lineHeight) * static_cast<double>(splitLines(text).size()) *
           form.unitsPerPixelY();
}

}  // namespace corvane
