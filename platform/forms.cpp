#include "platform/forms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/runtime.h"

namespace corvane {

namespace {

// Native windows cannot be larger than this on any of our platforms; it also bounds what a garbled
// stored size can make us allocate.
constexpr int kMaxWindowPixels = 32767;
constexpr long long kMaxImagePixels = 4LL * 1024 * 1024;

int toPixels(double units, double unitsPerPixel, int lo, int hi) {
    if (!(unitsPerPixel > 0)) unitsPerPixel = 1;
    const double px = std::nearbyint(units / unitsPerPixel);
    if (!(px >= lo)) return lo;  // also catches NaN
    if (px > hi) return hi;
    return static_cast<int>(px);
}

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

// ---- PixelImage -------------------------------------------------------------------------------

void PixelImage::resize(int width, int height, Color fillColor) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (width_ > 0 && static_cast<long long>(width_) * height_ > kMaxImagePixels)
        height_ = static_cast<int>(kMaxImagePixels / width_);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, fillColor);
}

void PixelImage::fill(Color c) { std::fill(pixels_.begin(), pixels_.end(), c); }

void PixelImage::plot(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void PixelImage::fillRect(int x1, int y1, int x2, int y2, Color c) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    for (int y = y1; y <= y2; ++y)
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + x1, std::max(0, x2 - x1 + 1),
                    c);
}

void PixelImage::line(int x1, int y1, int x2, int y2, Color c) {
    if (x1 == x2 || y1 == y2) {  // the grid and outlines: straight lines, clipped cheaply
        fillRect(x1, y1, x2, y2, c);
        return;
    }
    // Clip to a margin around the image first so a far-away end point cannot make the walk long.
    const long long lim = 2LL * (std::max(width_, height_) + 2);
    auto inside = [&](long long v) { return v >= -lim && v <= lim; };
    if (!inside(x1) || !inside(y1) || !inside(x2) || !inside(y2)) {
        double t0 = 0, t1 = 1;
        const double dx = double(x2) - x1, dy = double(y2) - y1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x1 + double(lim), double(lim) - x1, y1 + double(lim), double(lim) - y1};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        if (t0 > t1) return;
        const int nx1 = static_cast<int>(std::lround(x1 + t0 * dx)),
                  ny1 = static_cast<int>(std::lround(y1 + t0 * dy));
        const int nx2 = static_cast<int>(std::lround(x1 + t1 * dx)),
                  ny2 = static_cast<int>(std::lround(y1 + t1 * dy));
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
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

// ---- Picture ----------------------------------------------------------------------------------

Picture::Picture(Form& owner, std::string name) : owner_(owner), name_(std::move(name)) {}

void Picture::setLeft(double v) {
    left_ = finiteOr(v, left_);
    geometryChanged();
}
void Picture::setTop(double v) {
    top_ = finiteOr(v, top_);
    geometryChanged();
}
void Picture::setWidth(double v) {
    width_ = std::max(0.0, finiteOr(v, width_));
    geometryChanged();
}
void Picture::setHeight(double v) {
    height_ = std::max(0.0, finiteOr(v, height_));
    geometryChanged();
}

void Picture::setBackColor(Color c) {
    backColor_ = c;
    cls();
}

double Picture::scaleWidth() const { return width_ / owner_.unitsPerPixelX(); }
double Picture::scaleHeight() const { return height_ / owner_.unitsPerPixelY(); }

int Picture::pixelLeft() const {
    return toPixels(left_, owner_.unitsPerPixelX(), -kMaxWindowPixels, kMaxWindowPixels);
}
int Picture::pixelTop() const {
    return toPixels(top_, owner_.unitsPerPixelY(), -kMaxWindowPixels, kMaxWindowPixels);
}

void Picture::layoutChanged() { geometryChanged(); }

void Picture::geometryChanged() {
    const int w = toPixels(width_, owner_.unitsPerPixelX(), 0, kMaxWindowPixels);
    const int h = toPixels(height_, owner_.unitsPerPixelY(), 0, kMaxWindowPixels);
    if (w != image_.width() || h != image_.height()) image_.resize(w, h, backColor_);
    owner_.pictureChanged(*this);
}

void Picture::changed() { owner_.pictureChanged(*this); }

void Picture::cls() {
    image_.fill(backColor_);
    changed();
}

void Picture::line(int x1, int y1, int x2, int y2, Color c) {
    image_.line(x1, y1, x2, y2, c);
    changed();
}

void Picture::fillBox(int x1, int y1, int x2, int y2, Color c) {
    image_.fillRect(x1, y1, x2, y2, c);
    changed();
}

MouseArgs Picture::args(std::int16_t button, std::int16_t shift, double xPx, double yPx) const {
    return MouseArgs{button, shift, static_cast<float>(xPx * owner_.unitsPerPixelX()),
                     static_cast<float>(yPx * owner_.unitsPerPixelY())};
}

void Picture::mouseDown(std::int16_t button, std::int16_t shift, double xPx, double yPx) {
    if (onMouseDown && !owner_.runtime().ended()) onMouseDown(args(button, shift, xPx, yPx));
}
void Picture::mouseMove(std::int16_t button, std::int16_t shift, double xPx, double yPx) {
    if (onMouseMove && !owner_.runtime().ended()) onMouseMove(args(button, shift, xPx, yPx));
}
void Picture::mouseUp(std::int16_t button, std::int16_t shift, double xPx, double yPx) {
    if (onMouseUp && !owner_.runtime().ended()) onMouseUp(args(button, shift, xPx, yPx));
}
void Picture::dblClick() {
    if (onDblClick && !owner_.runtime().ended()) onDblClick();
}

// ---- Form -------------------------------------------------------------------------------------

Form::Form(Runtime& runtime, std::string name, FormKind kind)
    : runtime_(runtime), name_(std::move(name)), kind_(kind), peer_(runtime.createFormPeer(*this)) {}

Form::~Form() = default;

void Form::setLeft(double v) {
    left_ = finiteOr(v, left_);
    geometryChanged();
}
void Form::setTop(double v) {
    top_ = finiteOr(v, top_);
    geometryChanged();
}
void Form::setWidth(double v) {
    width_ = std::max(0.0, finiteOr(v, width_));
    geometryChanged();
}
void Form::setHeight(double v) {
    height_ = std::max(0.0, finiteOr(v, height_));
    geometryChanged();
}

void Form::geometryChanged() { peer_->geometryChanged(); }

void Form::setScaleMode(ScaleMode m) {
    scaleMode_ = m;
    for (auto& p : pictures_) p.layoutChanged();
}

double Form::unitsPerPixelX() const {
    return scaleMode_ == ScaleMode::Pixels ? 1.0 : runtime_.screen().twipsPerPixelX();
}
double Form::unitsPerPixelY() const {
    return scaleMode_ == ScaleMode::Pixels ? 1.0 : runtime_.screen().twipsPerPixelY();
}

double Form::scaleWidth() const { return width_ / runtime_.screen().twipsPerPixelX() * unitsPerPixelX(); }
double Form::scaleHeight() const { return height_ / runtime_.screen().twipsPerPixelY() * unitsPerPixelY(); }

int Form::pixelLeft() const {
    return toPixels(left_, runtime_.screen().twipsPerPixelX(), -10 * kMaxWindowPixels, 10 * kMaxWindowPixels);
}
int Form::pixelTop() const {
    return toPixels(top_, runtime_.screen().twipsPerPixelY(), -10 * kMaxWindowPixels, 10 * kMaxWindowPixels);
}
int Form::pixelWidth() const {
    return toPixels(width_, runtime_.screen().twipsPerPixelX(), 0, kMaxWindowPixels);
}
int Form::pixelHeight() const {
    return toPixels(height_, runtime_.screen().twipsPerPixelY(), 0, kMaxWindowPixels);
}

void Form::setBackColor(Color c) {
    backColor_ = c;
    peer_->backColorChanged();
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    if (onLoad) onLoad();
}

void Form::show() {
    load();
    if (runtime_.ended()) return;
    visible_ = true;
    peer_->visibilityChanged();
}

void Form::hide() {
    visible_ = false;
    peer_->visibilityChanged();
}

void Form::queryUnload(std::int16_t reason) {
    if (runtime_.ended()) return;
    std::int16_t cancel = 0;
    if (onQueryUnload) onQueryUnload(cancel, reason);
}

Picture& Form::addPicture(std::string name) {
    pictures_.emplace_back(*this, std::move(name));
    return pictures_.back();
}

void Form::pictureChanged(Picture& p) { peer_->pictureChanged(p); }

// ---- Timer ------------------------------------------------------------------------------------

Timer::Timer(Runtime& runtime, std::string name, int intervalMs, bool enabled)
    : runtime_(runtime),
      name_(std::move(name)),
      interval_(std::max(0, intervalMs)),
      enabled_(enabled),
      peer_(runtime.createTimerPeer(*this)) {}

Timer::~Timer() = default;

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    peer_->stateChanged();
}

void Timer::setInterval(int ms) {
    interval_ = std::max(0, ms);
    peer_->stateChanged();
}

void Timer::fire() {
    if (runtime_.ended() || !running()) return;
    if (onTimer) onTimer();
}

}  // namespace corvane
