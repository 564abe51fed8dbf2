#pragma once
// Places and units: the left, top, width and height every form and control has, and the one rule by
// which a place in a form's units becomes whole pixels, so every backend puts a window on the same
// pixels.

#include <string_view>

#include "platform/graphics.h"

namespace corvane {

class Form;

// A rectangle in whole pixels, as a native window can have it.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    bool operator==(const PixelRect&) const = default;
};

// Left, top, width and height with one rule for what a setter accepts: a value that is not finite
// leaves the old one, and a size is never negative.
class Placement {
  public:
    virtual ~Placement() = default;
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);

  protected:
    virtual void placementChanged() = 0;

  private:
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// Native windows cannot be larger than this on any of our platforms; it also bounds what a garbled
// stored size can make us allocate.
inline constexpr int kMaxWindowPixels = 32767;

// A length in units as whole pixels, the nearest, kept between lo and hi (lo for one that is not a
// number).
int toPixels(double units, double unitsPerPixel, int lo, int hi);
// A window's or a control's width or height: never below nothing, never above what a window can be.
inline int sizeToPixels(double units, double unitsPerPixel) {
    return toPixels(units, unitsPerPixel, 0, kMaxWindowPixels);
}

// The widest line's width and the height of all the lines of a text in a font, in the form's scale
// units. A width is the advance, where the next text would start (a picture's TextWidth, which the
// program lays its own text out by), or the fit, what a control sized to its caption needs to show it
// whole.
enum class TextWidth { Advance, Fit };
double textWidthIn(const Form& form, const Font& font, std::string_view text, TextWidth which);
double textHeightIn(const Form& form, const Font& font, std::string_view text);

}  // namespace corvane
