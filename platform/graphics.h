#pragma once
// Colours, fonts and pixel images: what drawing and text need, with nothing of the forms around them.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

using Color = std::uint32_t;  // 0x00BBGGRR: red in the lowest byte

// The one place the byte order is spelt out: a colour from its parts, its parts, and the colour in the
// other order, 0x00RRGGBB, in which Qt, a Windows bitmap and the icon art keep their pixels (top byte
// dropped).
constexpr Color rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFFu) | (green & 0xFFu) << 8 | (blue & 0xFFu) << 16;
}
constexpr unsigned redOf(Color c) { return c & 0xFFu; }
constexpr unsigned greenOf(Color c) { return c >> 8 & 0xFFu; }
constexpr unsigned blueOf(Color c) { return c >> 16 & 0xFFu; }
constexpr std::uint32_t toXrgb(Color c) { return redOf(c) << 16 | greenOf(c) << 8 | blueOf(c); }
constexpr Color fromXrgb(std::uint32_t xrgb) { return rgb(xrgb >> 16, xrgb >> 8, xrgb); }

// The text colour asked for, unless it would be lost on the fill (a dark desktop's light text on a fill
// the program keeps pale): then black or white, whichever stands out from the fill. Brightness and the
// least difference that reads are those usual for text on a background.
constexpr Color readableOn(Color fill, Color text) {
    const auto brightness = [](Color c) {
        return static_cast<int>(299 * redOf(c) + 587 * greenOf(c) + 114 * blueOf(c)) / 1000;
    };
    const int apart = brightness(text) - brightness(fill);
    if (apart >= 125 || apart <= -125) return text;
    return brightness(fill) >= 128 ? rgb(0, 0, 0) : rgb(255, 255, 255);
}

// A font by name and size, as the program names it; the text service finds what stands for it.
struct Font {
    std::string name = "Arial";
    double points = 9;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// What a picture box shows. Every backend paints exactly these pixels, so the meter looks the same
// everywhere and an uncovered window repaints from here without waiting for the next tick.
class PixelImage {
  public:
    void resize(int width, int height, Color fill);
    int width() const { return width_; }
    int height() const { return height_; }
    Color at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const std::vector<Color>& pixels() const { return pixels_; }
    // Counts the drawing done in the image: equal counts, the same pixels. Cheaper to compare than the
    // pixels, which a tick would otherwise read from memory long since cold.
    std::uint64_t drawings() const { return drawings_; }

    void fill(Color c);
    // One pixel; nothing when it lies outside the image.
    void plot(int x, int y, Color c);
    // Both corners are part of the box and both ends part of the line; whatever falls outside the
    // image is clipped.
    void fillRect(int x1, int y1, int x2, int y2, Color c);
    void line(int x1, int y1, int x2, int y2, Color c);

  private:
    // How far around the image a sloped line is clipped before it is walked: far enough out that what
    // lies inside the image is walked as if nothing had been cut off, near enough that a far-away end
    // point cannot make the walk long.
    long long clipMargin() const { return 2LL * (std::max(width_, height_) + 2); }

    int width_ = 0;
    int height_ = 0;
    std::uint64_t drawings_ = 0;
    std::vector<Color> pixels_;
};

}  // namespace corvane
