#include "icon_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace corvane {
namespace {

struct Image {
    int side;
    std::vector<std::uint32_t> px;
    std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y * side + x)]; }
};

template <std::size_t N>
Image image(const std::array<std::uint32_t, N>& p) {
    return {static_cast<int>(std::sqrt(N)), {p.begin(), p.end()}};
}

int ch(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
bool opaque(std::uint32_t p) { return ch(p, 24) >= 0xF0; }
bool light(std::uint32_t p) { return opaque(p) && ch(p, 16) > 200 && ch(p, 8) > 200 && ch(p, 0) > 200; }
bool dark(std::uint32_t p) { return opaque(p) && ch(p, 16) + ch(p, 8) + ch(p, 0) < 200; }
bool blue(std::uint32_t p) { return opaque(p) && ch(p, 0) > ch(p, 16) + 60 && ch(p, 0) > ch(p, 8) + 20; }

// Each direction must actually move the dark pixels on the face to its side of the dial centre; the
// classic face differs between sizes, so it only has to pass the shape checks.
TEST(IconArt, UprightBlueCellWithHandsPointingTheRightWay) {
    const struct {
        ClockHands hands;
        int dx, dy;
    } cases[] = {{ClockHands::Up, 0, -1},
                 {ClockHands::Right, 1, 0},
                 {ClockHands::Down, 0, 1},
                 {ClockHands::Left, -1, 0},
                 {ClockHands::Classic, 0, 0}};
    for (int side : {32, 16}) {
        for (const auto& c : cases) {
            SCOPED_TRACE("side " + std::to_string(side) + ", hands " +
                         std::to_string(static_cast<int>(c.hands)));
            const Image img =
                side == 16 ? image(smallProgramIconPixels(c.hands)) : image(programIconPixels(c.hands));
            const int last = side - 1;
            EXPECT_EQ(img.at(0, 0) | img.at(last, 0) | img.at(0, last) | img.at(last, last), 0u);

            int nBlue = 0, nOpaque = 0, top = side, bottom = -1, left = side, right = -1;
            int faceX0 = side, faceX1 = -1, faceY0 = side, faceY1 = -1;
            for (int y = 0; y < side; ++y) {
                int lightInRow = 0;
                for (int x = 0; x < side; ++x) lightInRow += light(img.at(x, y));
                for (int x = 0; x < side; ++x) {
                    const std::uint32_t p = img.at(x, y);
                    nOpaque += opaque(p);
                    nBlue += blue(p);
                    if (p >> 24) top = std::min(top, y), bottom = std::max(bottom, y);
                    if (p >> 24) left = std::min(left, x), right = std::max(right, x);
                    if (light(p) && lightInRow >= side / 8) {  // skips the '+'
                        faceX0 = std::min(faceX0, x), faceX1 = std::max(faceX1, x);
                        faceY0 = std::min(faceY0, y), faceY1 = std::max(faceY1, y);
                    }
                }
            }
            EXPECT_GT(nBlue * 3, nOpaque * 2);
            EXPECT_GT(bottom - top, right - left) << "cell should stand upright";
            int topWidth = 0, midWidth = 0;  // the terminal nub is narrower than the body
            for (int x = 0; x < side; ++x)
                topWidth += opaque(img.at(x, top + 1)), midWidth += opaque(img.at(x, side / 2));
            EXPECT_LT(topWidth * 3, midWidth * 2);

            // The light face spans a good part of the body, centred horizontally.
            ASSERT_GE(faceX1 - faceX0 + 1, side / 3);
            const double cx = (faceX0 + faceX1 + 1) / 2.0, cy = (faceY0 + faceY1 + 1) / 2.0;
            EXPECT_NEAR(cx, side / 2.0, 1.0);
            double sx = 0, sy = 0;
            int nDark = 0;
            for (int y = faceY0; y <= faceY1; ++y) {
                for (int x = faceX0; x <= faceX1; ++x) {
                    if (dark(img.at(x, y))) sx += x + 0.5 - cx, sy += y + 0.5 - cy, ++nDark;
                }
            }
            ASSERT_GT(nDark, 0);
            const double mx = sx / nDark, my = sy / nDark, reach = side / 32.0;
            if (c.dx != 0 || c.dy != 0) {
                EXPECT_GT(mx * c.dx + my * c.dy, reach) << "hands lean the wrong way";
                EXPECT_LT(std::abs(mx * c.dy - my * c.dx), reach) << "hands lean sideways";
            }
        }
    }
}

using Bytes = std::vector<std::uint8_t>;
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
std::uint32_t le(const Bytes& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}
void append(Bytes& to, const Bytes& from, std::size_t at, std::size_t n) {
    to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(at),
              from.begin() + static_cast<std::ptrdiff_t>(at + n));
}

// Decodes our own PNG flavour (stored deflate blocks, filter 0) with a bit-by-bit CRC, so a table or
// block-splitting mistake in the encoder cannot cancel itself out. 300x80 needs two stored blocks.
TEST(IconArt, PngDecodesBackToTheSamePixels) {
    std::vector<std::uint32_t> src(300 * 80);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint32_t>(i * 2654435761u);
    const Bytes png = encodePng({300, 80, src});
    ASSERT_EQ(be32(png, 0), 0x89504E47u);
    Bytes zlib, raw;
    std::size_t at = 8;
    for (std::string type; type != "IEND"; at += 12 + be32(png, at)) {
        ASSERT_LE(at + 12, png.size());
        const std::uint32_t len = be32(png, at);
        type.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                    png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = at + 4; i < at + 8 + len; ++i) {
            crc ^= png[i];
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        EXPECT_EQ(~crc, be32(png, at + 8 + len)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(png, at + 8), 300u);
            EXPECT_EQ(be32(png, at + 12), 80u);
        }
        if (type == "IDAT") append(zlib, png, at + 8, len);
    }
    EXPECT_EQ(at, png.size());
    ASSERT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);
    int blocks = 0;
    for (std::size_t z = 2, final = 0; !final; ++blocks) {
        final = zlib[z] & 1;
        ASSERT_EQ(zlib[z] & 6, 0) << "not a stored block";
        const std::uint32_t len = le(zlib, z + 1, 2);
        ASSERT_EQ(len ^ le(zlib, z + 3, 2), 0xFFFFu);
        append(raw, zlib, z + 5, len);
        z += 5 + len;
    }
    EXPECT_EQ(blocks, 2);
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(be32(zlib, zlib.size() - 4), b << 16 | a);
    ASSERT_EQ(raw.size(), 80u * 1201);
    for (std::size_t i = 0; i < src.size(); ++i) {
        const std::size_t row = i / 300 * 1201;
        ASSERT_EQ(raw[row], 0);
        ASSERT_EQ(be32(raw, row + 1 + i % 300 * 4), src[i] << 8 | src[i] >> 24) << "pixel " << i;  // RGBA
    }
}

TEST(IconArt, IcoDirectoryMatchesItsBitmaps) {
    const auto big = programIconPixels();
    const auto small = smallProgramIconPixels();
    const IconImageView images[] = {{32, 32, big}, {16, 16, small}};
    const auto ico = encodeIco(images);
    ASSERT_GE(ico.size(), 6u + 2 * 16);
    EXPECT_EQ(le(ico, 0, 4), 0x10000u);  // reserved 0, type 1 (icon)
    ASSERT_EQ(le(ico, 4, 2), 2u);
    std::uint32_t expectedOffset = 6 + 2 * 16;
    for (const IconImageView& img : images) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(&img - images);
        const auto w = static_cast<std::uint32_t>(img.width);
        EXPECT_EQ(le(ico, entry, 2), w | w << 8);
        EXPECT_EQ(le(ico, entry + 4, 4), 32u << 16 | 1u);  // planes 1, 32 bpp
        const std::uint32_t size = le(ico, entry + 8, 4), offset = le(ico, entry + 12, 4);
        EXPECT_EQ(size, 40 + w * w * 4 + (w + 31) / 32 * 4 * w);
        ASSERT_EQ(offset, expectedOffset);
        expectedOffset += size;
        ASSERT_LE(offset + size, ico.size());
        EXPECT_EQ(le(ico, offset, 4), 40u);
        EXPECT_EQ(le(ico, offset + 8, 4), 2 * w) << "height must count colour and mask rows";
        // Rows are stored bottom-up, pixels as B G R A.
        const std::uint32_t x = w / 2, y = w * 3 / 4;
        ASSERT_NE(img.argb[y * w + x], 0u);
        EXPECT_EQ(le(ico, offset + 40 + ((w - 1 - y) * w + x) * 4, 4), img.argb[y * w + x]);
        const std::size_t mask = offset + 40 + w * w * 4;
        EXPECT_EQ(ico[mask] & 0x80, 0x80) << "transparent corner must be masked";
        EXPECT_EQ(ico[mask + (w - 1 - y) * ((w + 31) / 32 * 4) + x / 8] & (0x80 >> (x % 8)), 0)
            << "opaque pixel must not be masked";
    }
    EXPECT_EQ(expectedOffset, ico.size());
}

}  // namespace
}  // namespace corvane
