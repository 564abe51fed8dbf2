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

// The sizes the icon is laid out for: the hicolor theme's, the tray's and the Windows shell's.
inline constexpr std::array<int, 8> kProgramIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// The icon drawn at side*side pixels (1 to 256), row-major from the top-left, each 0xAARRGGBB (straight
// alpha). Every size is drawn at that size, never scaled from another picture. 32 pixels is the design
// size; 16, 22 and 24 have layouts of their own, where a scaled-down face turns to grey mush: edges on
// whole pixels, one-pixel ticks, and at 16 one-pixel hands without anti-aliasing, no ticks and no '+',
// the classic face showing nine o'clock because ten-past-ten diagonals break up into loose dots there.
// Larger sizes draw the 32-pixel layout at their scale, its edges moved onto whole pixels.
std::vector<std::uint32_t> programIconPixels(int side, ClockHands hands = ClockHands::Classic);

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

// A complete Windows .ico file with one 32-bit BMP-style entry (BGRA plus a 1-bit AND mask) per image,
// in the given order. Each image must be 1..256 pixels on a side.
std::vector<std::uint8_t> encodeIco(std::span<const IconImageView> images);

}  // namespace corvane
