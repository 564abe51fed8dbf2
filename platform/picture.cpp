#include "platform/picture.h"

#include <utility>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "platform/text.h"

namespace corvane {

Picture::Picture(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

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

double Picture::textWidth(std::string_view text) const {
    return textWidthIn(owner(), font(), text, TextWidth::Advance);
}

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

}  // namespace corvane
