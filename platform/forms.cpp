#include "platform/forms.h"

#include <algorithm>
#include <utility>

#include "platform/runtime.h"

namespace corvane {

Form::Form(Runtime& runtime, std::string name, FormStyle style)
    : runtime_(runtime),
      name_(std::move(name)),
      style_(std::move(style)),
      self_(std::make_shared<Form*>(this)),
      peer_(runtime.createFormPeer(*this)) {
    runtime_.forms_.push_back(this);
}

Form::~Form() {
    std::erase(runtime_.forms_, this);
    // Before the peer, the last member and so the first to go, which may still hold native windows for
    // them.
    controls_.clear();
}

void Form::setCaption(std::string caption) {
    style_.caption = std::move(caption);
    peer_->captionChanged();
}

void Form::placementChanged() { peer_->geometryChanged(); }

void Form::setScaleMode(ScaleMode m) {
    scaleMode_ = m;
    for (auto& c : controls_) c->layoutChanged();
}

double Form::unitsPerPixelX() const {
    return scaleMode_ == ScaleMode::Pixels ? 1.0 : runtime_.screen().twipsPerPixelX();
}
double Form::unitsPerPixelY() const {
    return scaleMode_ == ScaleMode::Pixels ? 1.0 : runtime_.screen().twipsPerPixelY();
}

double Form::textWidth(std::string_view text) const {
    return textWidthIn(*this, style_.font, text, TextWidth::Advance);
}
double Form::textHeight(std::string_view text) const { return textHeightIn(*this, style_.font, text); }

WindowFrame Form::frame() const { return runtime_.screen().windowFrame(style_); }

double Form::scaleWidth() const {
    const WindowFrame f = frame();
    return std::max(0.0, width() / runtime_.screen().twipsPerPixelX() - f.left - f.right) * unitsPerPixelX();
}
double Form::scaleHeight() const {
    const WindowFrame f = frame();
    return std::max(0.0, height() / runtime_.screen().twipsPerPixelY() - f.top - f.bottom) * unitsPerPixelY();
}

int Form::clientPixelWidth() const {
    const WindowFrame f = frame();
    return std::max(0, pixelWidth() - f.left - f.right);
}
int Form::clientPixelHeight() const {
    const WindowFrame f = frame();
    return std::max(0, pixelHeight() - f.top - f.bottom);
}

int Form::pixelLeft() const {
    return toPixels(left(), runtime_.screen().twipsPerPixelX(), -10 * kMaxWindowPixels,
                    10 * kMaxWindowPixels);
}
int Form::pixelTop() const {
    return toPixels(top(), runtime_.screen().twipsPerPixelY(), -10 * kMaxWindowPixels, 10 * kMaxWindowPixels);
}
int Form::pixelWidth() const { return sizeToPixels(width(), runtime_.screen().twipsPerPixelX()); }
int Form::pixelHeight() const { return sizeToPixels(height(), runtime_.screen().twipsPerPixelY()); }

void Form::setBackColor(Color c) {
    backColor_ = c;
    peer_->backColorChanged();
}

void Form::setTopmost(bool on) {
    topmost_ = on;
    peer_->topmostChanged();
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    if (onLoad) onLoad();
}

void Form::show() {
    load();
    if (runtime_.ended() || !loaded_) return;  // the load may have ended the program or unloaded the form
    keyboard_.focusOnShow();
    visible_ = true;
    peer_->visibilityChanged();
    peer_->focusChanged();
}

void Form::hide() {
    visible_ = false;
    peer_->visibilityChanged();
}

bool Form::queryUnload(std::int16_t reason) {
    if (runtime_.ended() || !loaded_) return false;
    std::int16_t cancel = 0;
    if (onQueryUnload) onQueryUnload(cancel, reason);
    if (runtime_.ended() || cancel != 0) return false;
    if (onUnload) onUnload(cancel);
    if (runtime_.ended() || cancel != 0) return false;
    loaded_ = false;
    mouse_.captureLost();
    hide();
    if (onUnloaded) onUnloaded();
    return true;
}

std::vector<Control*> Form::drawingOrder() const {
    std::vector<Control*> order;
    for (const auto& c : controls_) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        if (a->drawingLayer() != b->drawingLayer()) return a->drawingLayer() < b->drawingLayer();
        return a->drawingLayer() == DrawingLayer::Frames && a->depth() < b->depth();
    });
    return order;
}

void Form::controlChanged(Control& c) {
    peer_->controlChanged(c);
    pixelsChanged();
}

// Drawing comes in many small steps (a clear, a bar, six lines); the peer hears of it once the handler
// that drew is done, and only if the pixels differ from what it last showed. A meter redrawn every
// second with the same picture then costs the window system nothing.
void Form::pixelsChanged() {
    if (presentPending_) return;
    presentPending_ = true;
    runtime_.post([weak = std::weak_ptr<Form*>(self_)] {
        if (const auto self = weak.lock()) (*self)->presentPixels();
    });
}

void Form::presentPixels() {
    presentPending_ = false;
    for (auto& c : controls_)
        if (auto* picture = c->as<Picture>(); picture && picture->takeNewPixels()) peer_->controlChanged(*c);
}

}  // namespace corvane
