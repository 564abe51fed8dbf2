// The program icon: an upright blue battery cell carrying a clock face.
//
// The artwork is drawn procedurally so that the tray icon (built at run time), the About box animation
// and the Windows resource icon (built at compile time by icongen) all come from the same source.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace corvane {

// Where the clock hands point. Classic is the ten-past-ten face used for the program icon; the four
// directions are the About box frames ("full" = Up, "half" = Right, "empty" = Down, "null" = Left).
enum class ClockHands { Classic, Up, Right, Down, Left };

// 32*32 pixels, row-major from the top-left, each 0xAARRGGBB (straight alpha).
std::array<std::uint32_t, 32 * 32> programIconPixels(ClockHands hands = ClockHands::Classic);

// The same picture laid out again for 16*16 rather than scaled down from 32*32, which would turn the clock
// face into grey mush: edges on whole pixels, one-pixel hands without anti-aliasing, no ticks and no '+'.
// Classic shows nine o'clock here, because ten-past-ten diagonals break up into loose dots at this size.
std::array<std::uint32_t, 16 * 16> smallProgramIconPixels(ClockHands hands = ClockHands::Classic);

// The preferences dialog's thickness buttons: 12*12 pixels, a black sign two pixels thick on light
// yellow, every pixel opaque, 0xAARRGGBB like the icon.
enum class Sign { Minus, Plus };
std::array<std::uint32_t, 12 * 12> signPixels(Sign sign);

// A borrowed view of square or rectangular 0xAARRGGBB pixels, row-major from the top-left.
struct IconImageView {
    int width = 0;
    int height = 0;
    std::span<const std::uint32_t> argb;
};

// A complete RGBA PNG file. The image data is stored uncompressed, which keeps the encoder tiny; at
// icon sizes the files stay a few kilobytes.
std::vector<std::uint8_t> encodePng(const IconImageView& image);

// A complete Windows .ico file with one 32-bit BMP-style entry (BGRA plus a 1-bit AND mask) per image,
// in the given order. Each image must be 1..256 pixels on a side.
std::vector<std::uint8_t> encodeIco(std::span<const IconImageView> images);

}  // namespace corvane
