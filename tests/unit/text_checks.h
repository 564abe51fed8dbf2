#pragma once
// What every real backend's text service does, whatever its fonts: one height for every line of a
// font, no kerning (two parts measured apart take the room of the whole, as GDI lays text out), bold
// wider than regular, and a drawn line that inks its own box only (give or take a glyph's overhang), in
// its colour, over what was there.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/runtime.h"

namespace corvane::test {

inline void checkTextService(TextService& text) {
    const Font arial{.name = "Arial", .points = 9, .bold = false};
    const TextExtent whole = text.measureLine(arial, "AVATAR level");
    const TextExtent a = text.measureLine(arial, "AVA"), b = text.measureLine(arial, "TAR level"),
                     none = text.measureLine(arial, "");
    EXPECT_EQ((std::array{whole.width, whole.height, none.width, none.height}),
              (std::array{a.width + b.width, a.height, 0, whole.height}));
    EXPECT_GE(whole.height, 12);  // at least the em of 9 pt at 96 DPI
    EXPECT_GT(text.measureLine({.name = "Arial", .points = 9, .bold = true}, "AVATAR level").width,
              whole.width);
    EXPECT_GT(text.measureLine({.name = "Arial", .points = 18, .bold = false}, "AVATAR level").height,
              whole.height);

    constexpr Color kPaper = 0x00FFFFFF, kInk = 0x000000FF;
    PixelImage image;
    // Left, top, right and bottom (each past its end) of what is no longer paper.
    const auto inkedBox = [&image] {
        std::array box{image.width(), image.height(), 0, 0};
        for (int py = 0; py < image.height(); ++py)
            for (int px = 0; px < image.width(); ++px)
                if (image.at(px, py) != kPaper)
                    box = {std::min(box[0], px), std::min(box[1], py), std::max(box[2], px + 1),
                           std::max(box[3], py + 1)};
        return box;
    };
    image.resize(80, 30, kPaper);
    const int x = 5, y = 4;
    const TextExtent line = text.measureLine(arial, "HIT");
    text.drawLine(image, x, y, arial, "HIT", kInk);
    // The stems of H, I and T, in the colour itself.
    EXPECT_GT(std::count(image.pixels().begin(), image.pixels().end(), kInk), 10);
    // A glyph may reach a pixel or two past its advance.
    const auto [left, top, right, bottom] = inkedBox();
    EXPECT_TRUE(left >= x && top >= y && right <= x + line.width + 2 && bottom <= y + line.height);
    // A box as wide as the fit width holds every pixel a line draws, also where the last glyph overhangs.
    for (const char* overhanging : {"not even that", "with it.", "Wolf", "AVATAR level"}) {
        image.resize(200, 30, kPaper);
        text.drawLine(image, x, y, arial, overhanging, kInk);
        EXPECT_LE(inkedBox()[2], x + text.measureLine(arial, overhanging).fitWidth) << overhanging;
    }
    // Clipped at every edge without harm.
    for (auto [left, top] : {std::pair{-7, -5}, {75, 25}, {1000000, 1000000}})
        text.drawLine(image, left, top, arial, "HIT", kInk);
}

}  // namespace corvane::test
