#pragma once
// What the pictures and every backend's text service agree on: where a text's lines break, and how
// many pixels a font's size comes to on a screen; and the one reading of a hexadecimal digit.

#include <string_view>
#include <vector>

#include "platform/graphics.h"

namespace corvane {

// The lines of a text: a carriage return, a line feed, or the two together start a new line. An empty
// text is one empty line, and a text that ends in a break ends in an empty line.
std::vector<std::string_view> splitLines(std::string_view text);

// The font's size (its em) in whole pixels on a screen with this many twips per pixel down, a point
// being 20 twips: 12 for 9 pt at 96 DPI. A size that makes no sense is kept between 1 and 1000.
int emPixels(const Font& font, double twipsPerPixelY);

// The value of a hexadecimal digit, either case; -1 for any other character.
constexpr int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace corvane
