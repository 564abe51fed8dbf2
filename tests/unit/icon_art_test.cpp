#include "icon_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace corvane {
namespace {

struct Art {
    int side;
    std::vector<std::uint32_t> px;
    std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y * side + x)]; }
    // How many pixels of a kind lie in row y, or in the whole picture.
    auto count(bool (*kind)(std::uint32_t), int y = -1) const {
        const auto from = px.begin() + (y < 0 ? 0 : y * side);
        return std::count_if(from, y < 0 ? px.end() : from + side, kind);
    }
};

// The smallest box around the pixels it was grown by.
struct Box {
    int x0, y0, x1, y1;
    void grow(int x, int y) { *this = {std::min(x0, x), std::min(y0, y), std::max(x1, x), std::max(y1, y)}; }
};

int ch(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
bool opaque(std::uint32_t p) { return ch(p, 24) >= 0xF0; }
bool light(std::uint32_t p) { return opaque(p) && ch(p, 16) > 200 && ch(p, 8) > 200 && ch(p, 0) > 200; }
// The hands, not the dial's dark blue rim.
bool dark(std::uint32_t p) { return opaque(p) && ch(p, 16) + ch(p, 8) + ch(p, 0) < 150; }
bool blue(std::uint32_t p) { return opaque(p) && ch(p, 0) > ch(p, 16) + 60 && ch(p, 0) > ch(p, 8) + 20; }

// At every size: each direction must actually move the dark pixels on the face to its side of the dial
// centre; the classic face differs between sizes, so it only has to pass the shape checks. The cell's
// side edges lie on whole pixels, sharp, as no picture scaled from another size would have them.
TEST(IconArt, UprightBlueCellWithHandsPointingTheRightWay) {
    // the hands, the way they point
    // clang-format off
    const std::tuple<ClockHands, int, int> cases[] = {
        {ClockHands::Up, 0, -1}, {ClockHands::Right, 1, 0}, {ClockHands::Down, 0, 1}, {ClockHands::Left, -1, 0},
        {ClockHands::Classic, 0, 0}};
    // clang-format on
    for (int side : kProgramIconSizes) {
        for (const auto& [hands, dx, dy] : cases) {
            SCOPED_TRACE(testing::Message() << "side " << side << ", hands " << static_cast<int>(hands));
            const Art img{side, programIconPixels(side, hands)};
            ASSERT_EQ(img.px.size(), static_cast<std::size_t>(side * side));
            const int last = side - 1;
            EXPECT_EQ(img.at(0, 0) | img.at(last, 0) | img.at(0, last) | img.at(last, last), 0u);

            Box cell{side, side, -1, -1}, face = cell;
            for (int y = 0; y < side; ++y) {
                const bool faceRow = img.count(light, y) * 6 > side;  // skips the '+'
                for (int x = 0; x < side; ++x) {
                    const std::uint32_t p = img.at(x, y);
                    if (p >> 24) cell.grow(x, y);
                    if (light(p) && faceRow) face.grow(x, y);
                }
            }
            EXPECT_GT(img.count(blue) * 3, img.count(opaque) * 2);
            EXPECT_GT(cell.y1 - cell.y0, cell.x1 - cell.x0) << "cell should stand upright";
            // The terminal nub is narrower than the body.
            EXPECT_LT(img.count(opaque, cell.y0 + 1) * 3, img.count(opaque, side / 2) * 2);
            const int row = (cell.y0 + cell.y1) / 2;
            EXPECT_EQ(ch(img.at(cell.x0, row), 24), 255) << "left edge at row " << row;
            EXPECT_EQ(ch(img.at(cell.x1, row), 24), 255) << "right edge at row " << row;

            // The light face spans a good part of the body, centred horizontally.
            ASSERT_GE(face.x1 - face.x0 + 1, side / 3);
            const double cx = (face.x0 + face.x1 + 1) / 2.0, cy = (face.y0 + face.y1 + 1) / 2.0;
            EXPECT_NEAR(cx, side / 2.0, 1.0);
            double sx = 0, sy = 0;
            int nDark = 0;
            for (int y = face.y0; y <= face.y1; ++y)
                for (int x = face.x0; x <= face.x1; ++x)
                    if (dark(img.at(x, y))) {
                        sx += x + 0.5 - cx;
                        sy += y + 0.5 - cy;
                        ++nDark;
                    }
            ASSERT_GT(nDark, 0);
            const double mx = sx / nDark, my = sy / nDark, reach = side / 32.0;
            if (dx != 0 || dy != 0) {
                EXPECT_GT(mx * dx + my * dy, reach) << "hands lean the wrong way";
                EXPECT_LT(std::abs(mx * dy - my * dx), reach) << "hands lean sideways";
            }
        }
    }
}

TEST(IconArt, OnlySizesFromOneTo256PixelsAreDrawn) {
    EXPECT_EQ((std::tuple{programIconPixels(1).size(), programIconPixels(20).size()}),
              (std::tuple{1u, 400u}));
    EXPECT_THROW(programIconPixels(0), std::invalid_argument);
    EXPECT_THROW(programIconPixels(257), std::invalid_argument);
}

}  // namespace
}  // namespace corvane
