#include "platform/forms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/runtime.h"
#include "platform/text.h"

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

// The widest line's width and the height of all the lines of a text in a font, in the form's scale
// units.
double textWidthIn(const Form& form, const Font& font, std::string_view text) {
    TextService& service = form.runtime().text();
    int widest = 0;
    for (std::string_view line : splitLines(text))
        widest = std::max(widest, service.measureLine(font, line).width);
    return widest * form.unitsPerPixelX();
}

double textHeightIn(const Form& form, const Font& font, std::string_view text) {
    const int lineHeight = form.runtime().text().measureLine(font, {}).height;
    return static_cast<double>(lineHeight) * static_cast<double>(splitLines(text).size()) *
           form.unitsPerPixelY();
}

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

// ---- Placement --------------------------------------------------------------------------------

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

// ---- Control ----------------------------------------------------------------------------------

Control::Control(Form& owner, std::string name, ControlKind kind, Control* container)
    : owner_(owner), name_(std::move(name)), kind_(kind), container_(container), font_(owner.style().font) {}

// The native windows of a container's controls stand beside it rather than in it, so whatever moves,
// hides or disables a container reaches each of them too.
void Control::placementChanged() {
    layoutChanged();
    for (const auto& c : owner_.controls())
        if (c->isInside(*this)) c->layoutChanged();
}

void Control::setVisible(bool v) {
    visible_ = v;
    placementChanged();
}

void Control::setEnabled(bool v) {
    enabled_ = v;
    placementChanged();
}

bool Control::isInside(const Control& other) const {
    for (const Control* c = container_; c; c = c->container())
        if (c == &other) return true;
    return false;
}

void Control::setFont(Font font) {
    font_ = std::move(font);
    contentChanged();
}

void Control::setCaption(std::string caption) {
    caption_ = std::move(caption);
    contentChanged();
}

bool Control::focusable() const {
    switch (kind_) {
        case ControlKind::Picture:
        case ControlKind::TextBox:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
        case ControlKind::CommandButton:
            return true;
        case ControlKind::Label:
        case ControlKind::Frame:
        case ControlKind::Image:
            break;
    }
    return false;
}

bool Control::tabStop() const {
    if (!tabStop_ || !focusable()) return false;
    return kind_ != ControlKind::OptionButton || static_cast<const OptionButton*>(this)->value();
}

void Control::setTabStop(bool on) {
    tabStop_ = on;
    changed();
}

bool Control::canHaveFocus() const { return focusable() && takesMouse(); }

void Control::setFocus() {
    if (canHaveFocus()) owner_.focus(this);
}

void Control::keyPress(std::int16_t& keyAscii) {
    if (onKeyPress && live()) onKeyPress(keyAscii);
}

void Control::setToolTipText(std::string text) {
    toolTipText_ = std::move(text);
    changed();
}

PixelRect Control::pixelRect() const {
    double x = left(), y = top();
    for (const Control* c = container_; c; c = c->container()) x += c->left(), y += c->top();
    const double ux = owner_.unitsPerPixelX(), uy = owner_.unitsPerPixelY();
    return {toPixels(x, ux, -kMaxWindowPixels, kMaxWindowPixels),
            toPixels(y, uy, -kMaxWindowPixels, kMaxWindowPixels), toPixels(width(), ux, 0, kMaxWindowPixels),
            toPixels(height(), uy, 0, kMaxWindowPixels)};
}

bool Control::shownWithContainers() const {
    for (const Control* c = this; c; c = c->container())
        if (!c->visible()) return false;
    return true;
}

bool Control::enabledWithContainers() const {
    for (const Control* c = this; c; c = c->container())
        if (!c->enabled()) return false;
    return true;
}

void Control::changed() { owner_.controlChanged(*this); }

bool Control::live() const { return !owner_.runtime().ended(); }

MouseArgs Control::args(std::int16_t button, std::int16_t shift, double xPx, double yPx) const {
    return MouseArgs{button, shift, static_cast<float>(xPx * owner_.unitsPerPixelX()),
                     static_cast<float>(yPx * owner_.unitsPerPixelY())};
}

void Control::mouseDown(std::int16_t button, std::int16_t shift, double xPx, double yPx) {
    if (onMouseDown && live()) onMouseDown(args(button, shift, xPx, yPx));
}
void Control::mouseMove(std::int16_t buttons, std::int16_t shift, double xPx, double yPx) {
    if (onMouseMove && live()) onMouseMove(args(buttons, shift, xPx, yPx));
}
void Control::mouseUp(std::int16_t button, std::int16_t shift, double xPx, double yPx) {
    if (onMouseUp && live()) onMouseUp(args(button, shift, xPx, yPx));
}
void Control::click() {
    if (onClick && live()) onClick();
}
void Control::dblClick() {
    if (onDblClick && live()) onDblClick();
}

// ---- Picture ----------------------------------------------------------------------------------

Picture::Picture(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::Picture, container) {}

void Picture::setBackColor(Color c) {
    backColor_ = c;
    cls();
}

double Picture::scaleWidth() const { return width() / owner().unitsPerPixelX(); }
double Picture::scaleHeight() const { return height() / owner().unitsPerPixelY(); }

void Picture::layoutChanged() {
    const PixelRect r = pixelRect();
    if (r.width != image_.width() || r.height != image_.height())
        image_.resize(r.width, r.height, backColor_);
    changed();
}

void Picture::drawn() { owner().pixelsChanged(); }

void Picture::cls() {
    image_.fill(backColor_);
    currentX_ = currentY_ = 0;
    drawn();
}

void Picture::line(int x1, int y1, int x2, int y2, Color c) {
    image_.line(x1, y1, x2, y2, c);
    drawn();
}

void Picture::fillBox(int x1, int y1, int x2, int y2, Color c) {
    image_.fillRect(x1, y1, x2, y2, c);
    drawn();
}

void Picture::box(int x1, int y1, int x2, int y2, Color c) {
    image_.line(x1, y1, x2, y1, c);
    image_.line(x1, y2, x2, y2, c);
    image_.line(x1, y1, x1, y2, c);
    image_.line(x2, y1, x2, y2, c);
    drawn();
}

double Picture::textWidth(std::string_view text) const { return textWidthIn(owner(), font(), text); }

double Picture::textHeight(std::string_view text) const { return textHeightIn(owner(), font(), text); }

void Picture::print(std::string_view text) {
    TextService& service = owner().runtime().text();
    for (std::string_view line : splitLines(text)) {
        service.drawLine(image_, currentX_, currentY_, font(), line, foreColor_);
        currentX_ = 0;
        currentY_ += service.measureLine(font(), line).height;
    }
    drawn();
}

bool Picture::takeNewPixels() {
    if (presentedWidth_ == image_.width() && presented_ == image_.pixels()) return false;
    presented_ = image_.pixels();
    presentedWidth_ = image_.width();
    return true;
}

// ---- Label, TextBox, CheckBox, OptionButton, CommandButton, Frame, Image ----------------------

Label::Label(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::Label, container) {}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    contentChanged();
}

void Label::contentChanged() {
    if (!autoSize_) {
        changed();
        return;
    }
    setWidth(textWidthIn(owner(), font(), caption()));
    setHeight(textHeightIn(owner(), font(), caption()));
}

TextBox::TextBox(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::TextBox, container),
      backColor_(owner.runtime().screen().systemColor(SystemColor::Window)) {}

void TextBox::setText(std::string text) {
    text_ = std::move(text);
    changed();
}

void TextBox::setLocked(bool on) {
    locked_ = on;
    changed();
}

void TextBox::setBorder(bool on) {
    border_ = on;
    changed();
}

void TextBox::setBackColor(Color c) {
    backColor_ = c;
    changed();
}

void TextBox::userEdited(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (onChange && live()) onChange();
}

CheckBox::CheckBox(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::CheckBox, container) {}

void CheckBox::setValue(std::int16_t v) {
    value_ = v;
    changed();
}

void CheckBox::userClicked() {
    setValue(value_ == kChecked ? kUnchecked : kChecked);
    click();
}

OptionButton::OptionButton(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::OptionButton, container) {}

void OptionButton::setValue(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (c.get() != this && c->kind() == ControlKind::OptionButton && c->container() == container()) {
                auto& other = static_cast<OptionButton&>(*c);
                if (other.value_) {
                    other.value_ = false;
                    other.changed();
                }
            }
    value_ = on;
    changed();
}

void OptionButton::userClicked() {
    setValue(true);
    click();
}

CommandButton::CommandButton(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::CommandButton, container) {}

void CommandButton::setDefault(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (c.get() != this && c->kind() == ControlKind::CommandButton)
                if (auto& other = static_cast<CommandButton&>(*c); other.default_) {
                    other.default_ = false;
                    other.changed();
                }
    default_ = on;
    changed();
}

void CommandButton::setCancel(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (c.get() != this && c->kind() == ControlKind::CommandButton)
                static_cast<CommandButton&>(*c).cancel_ = false;
    cancel_ = on;
}

Frame::Frame(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::Frame, container) {}

Image::Image(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), ControlKind::Image, container) {}

void Image::setPicture(PixelImage picture) {
    picture_ = std::move(picture);
    changed();
}

// ---- MouseRouter ------------------------------------------------------------------------------

Control* MouseRouter::controlAt(int x, int y) const {
    const auto& controls = form_.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if ((*it)->takesMouse() && (*it)->pixelRect().contains(x, y)) return it->get();
    return nullptr;
}

bool MouseRouter::press(std::int16_t button, std::int16_t shift, int x, int y) {
    Control* c = target(x, y);
    captured_ = c;
    if (button == kLeftButton) clicked_ = c;
    if (c) c->mouseDown(button, shift, x - c->pixelLeft(), y - c->pixelTop());
    return captured_ != nullptr;
}

bool MouseRouter::move(std::int16_t buttonsHeld, std::int16_t shift, int x, int y) {
    if (Control* c = target(x, y)) c->mouseMove(buttonsHeld, shift, x - c->pixelLeft(), y - c->pixelTop());
    return captured_ != nullptr;
}

bool MouseRouter::release(std::int16_t button, std::int16_t buttonsStillHeld, std::int16_t shift, int x,
                          int y) {
    Control* c = target(x, y);
    // Let go before the handler runs: a menu it opens needs the mouse.
    if (buttonsStillHeld == 0) captured_ = nullptr;
    if (c) c->mouseUp(button, shift, x - c->pixelLeft(), y - c->pixelTop());
    if (button == kLeftButton) {
        // A click only where the button went down, and only if it comes up over the control.
        Control* clicked = std::exchange(clicked_, nullptr);
        if (clicked && clicked == c && c->pixelRect().contains(x, y)) c->click();
    }
    return captured_ != nullptr;
}

bool MouseRouter::doubleClick(std::int16_t button, std::int16_t shift, int x, int y) {
    // Only the left button's double-click means anything of its own; the others count as presses.
    if (button != kLeftButton) return press(button, shift, x, y);
    captured_ = target(x, y);
    clicked_ = nullptr;  // the release that follows ends the double-click, not a click
    if (captured_) captured_->dblClick();
    return captured_ != nullptr;
}

// ---- Form -------------------------------------------------------------------------------------

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
    controls_.clear();  // before the peer, which may still hold native windows for them
    peer_.reset();
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

double Form::textWidth(std::string_view text) const { return textWidthIn(*this, style_.font, text); }
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
int Form::pixelWidth() const {
    return toPixels(width(), runtime_.screen().twipsPerPixelX(), 0, kMaxWindowPixels);
}
int Form::pixelHeight() const {
    return toPixels(height(), runtime_.screen().twipsPerPixelY(), 0, kMaxWindowPixels);
}

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
    if (!active_ || !active_->canHaveFocus()) {
        active_ = nullptr;
        for (Control* c : tabOrder())
            if (c->canHaveFocus()) {
                active_ = c;
                break;
            }
    }
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

void Form::focus(Control* control) {
    active_ = control;
    peer_->focusChanged();
}

void Form::userFocused(Control* control) { active_ = control; }

std::vector<Control*> Form::tabOrder() const {
    std::vector<Control*> order;
    for (const auto& c : controls_)
        if (c->tabStop()) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    return order;
}

void Form::keyPress(std::int16_t keyAscii) {
    if (runtime_.ended() || !loaded_) return;
    Control* focused = active_;
    if (focused) {
        focused->keyPress(keyAscii);
        if (keyAscii == 0 || runtime_.ended() || !loaded_) return;
    }
    Control* button = nullptr;
    if (keyAscii == kKeyReturn && focused && focused->kind() == ControlKind::CommandButton) {
        button = focused;
    } else {
        for (const auto& c : controls_)
            if (c->kind() == ControlKind::CommandButton) {
                const auto& b = static_cast<const CommandButton&>(*c);
                if ((keyAscii == kKeyReturn && b.isDefault()) || (keyAscii == kKeyEscape && b.isCancel()))
                    button = c.get();
            }
    }
    if (button && button->canHaveFocus()) button->click();
}

void Form::arrowKey(bool forward) {
    if (runtime_.ended() || !loaded_ || !active_ || active_->kind() != ControlKind::OptionButton) return;
    std::vector<Control*> group;
    for (const auto& c : controls_)
        if (c->kind() == ControlKind::OptionButton && c->container() == active_->container() &&
            c->canHaveFocus())
            group.push_back(c.get());
    std::stable_sort(group.begin(), group.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    const auto at = std::find(group.begin(), group.end(), active_);
    if (at == group.end()) return;
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    Control* next = group[static_cast<std::size_t>(((at - group.begin()) + (forward ? 1 : n - 1)) % n)];
    next->setFocus();
    static_cast<OptionButton*>(next)->userClicked();
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
        if (c->kind() == ControlKind::Picture && static_cast<Picture&>(*c).takeNewPixels())
            peer_->controlChanged(*c);
}

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

// ---- Runtime ----------------------------------------------------------------------------------

void Runtime::end() {
    if (ended_) return;
    ended_ = true;
    stopLoop();
}

void Runtime::endSession() {
    const std::vector<Form*> forms = forms_;  // a handler may create or release forms
    for (Form* f : forms) {
        if (ended_) return;
        if (std::find(forms_.begin(), forms_.end(), f) != forms_.end()) f->queryUnload(kCloseSessionEnd);
    }
}

void Runtime::anotherStarted() {
    post([this] {
        if (onAnotherStart) onAnotherStart();
    });
}

}  // namespace corvane
