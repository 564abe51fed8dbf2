#include "platform/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace corvane {

namespace {

// Bounds what a garbled stored size can make us allocate.
constexpr long long kMaxImagePixels = 4LL * 1024 * 1024;

}  // namespace

void PixelImage::resize(int width, int height, Color fillColor) {
    ++drawings_;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    height_ = std::min(height_, static_cast<int>(kMaxImagePixels / std::max(width_, 1)));
    pixels_.assign(static_cast<std::size_t>(width_) * height_, fillColor);
}

void PixelImage::fill(Color c) {
    ++drawings_;
    std::fill(pixels_.begin(), pixels_.end(), c);
}

void PixelImage::plot(int x, int y, Color c) {
    ++drawings_;
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void PixelImage::fillRect(int x1, int y1, int x2, int y2, Color c) {
    ++drawings_;
    const int left = std::max(std::min(x1, x2), 0), right = std::min(std::max(x1, x2), width_ - 1);
    const int top = std::max(std::min(y1, y2), 0), bottom = std::min(std::max(y1, y2), height_ - 1);
    for (int y = top; y <= bottom && left <= right; ++y)
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + left, right - left + 1, c);
}

void PixelImage::line(int x1, int y1, int x2, int y2, Color c) {
    ++drawings_;
    if (x1 == x2 || y1 == y2) {  // the grid and outlines: straight lines, clipped cheaply
        fillRect(x1, y1, x2, y2, c);
        return;
    }
    // Clipped to the margin first; a line within it comes out as it went in (its ends at t = 0 and 1
    // exactly).
    const long long lim = clipMargin();
    double t0 = 0, t1 = 1;
    const double run = double(x2) - x1, rise = double(y2) - y1;
    // Each margin as the pace at which the line nears it and its distance from the start.
    const std::pair<double, double> margins[] = {{-run, x1 + double(lim)},
                                                 {run, double(lim) - x1},
                                                 {-rise, y1 + double(lim)},
                                                 {rise, double(lim) - y1}};
    for (const auto& [pace, distance] : margins) {  // neither run nor rise is 0 here
        const double r = distance / pace;
        if (std::signbit(pace))  // the line comes in over this margin: it may move the start
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
    }
    if (t0 > t1) return;
    const int nx1 = static_cast<int>(std::lround(x1 + t0 * run)),
              ny1 = static_cast<int>(std::lround(y1 + t0 * rise));
    const int nx2 = static_cast<int>(std::lround(x1 + t1 * run)),
              ny2 = static_cast<int>(std::lround(y1 + t1 * rise));
    x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x1 += sx;
        if (e2 <= dx) err += dx, y1 += sy;
    }
}

}  // namespace corvane
