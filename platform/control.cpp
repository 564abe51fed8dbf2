#include "platform/control.h"

#include <type_traits>
#include <utility>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

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

int Control::depth() const {
    int d = 0;
    for (const Control* c = container_; c; c = c->container()) ++d;
    return d;
}

DrawingLayer Control::drawingLayer() const {
    if (kind_ == ControlKind::Frame) return DrawingLayer::Frames;
    return kind_ == ControlKind::Label ? DrawingLayer::Labels : DrawingLayer::Controls;
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
    return visit([](const auto& control) { return std::remove_cvref_t<decltype(control)>::kTakesFocus; });
}

bool Control::tabStop() const {
    if (!tabStop_ || !focusable()) return false;
    const auto* option = as<OptionButton>();
    return !option || option->value();
}

void Control::setTabStop(bool on) {
    tabStop_ = on;
    changed();
}

bool Control::canHaveFocus() const { return focusable() && takesMouse(); }

void Control::setFocus() {
    if (canHaveFocus()) owner_.keyboard().focus(this);
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
            toPixels(y, uy, -kMaxWindowPixels, kMaxWindowPixels), sizeToPixels(width(), ux),
            sizeToPixels(height(), uy)};
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

}  // namespace corvane
