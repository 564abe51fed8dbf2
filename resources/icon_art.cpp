#include "icon_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <stdexcept>

namespace corvane {
namespace {

struct Vec {
    double x;
    double y;
};

struct Rgb {
    double r;
    double g;
    double b;
};

constexpr Rgb hex(std::uint32_t rgb) {
    return {static_cast<double>((rgb >> 16) & 0xFF), static_cast<double>((rgb >> 8) & 0xFF),
            static_cast<double>(rgb & 0xFF)};
}

Rgb mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Palette. The outline is a dark blue rather than black so the cell still reads as blue on dark panels.
constexpr Rgb kOutline = hex(0x0E3479);
constexpr Rgb kBodyLight = hex(0x7DBBFF);
constexpr Rgb kBodyMid = hex(0x2C78E4);
constexpr Rgb kBodyDark = hex(0x1A4FB0);
constexpr Rgb kNubLight = hex(0xA9D1FF);
constexpr Rgb kNubDark = hex(0x3A80E0);
constexpr Rgb kFaceLight = hex(0xFFFFFF);
constexpr Rgb kFaceShade = hex(0xD5E2F2);
constexpr Rgb kRim = hex(0x0E3479);
constexpr Rgb kTick = hex(0x7C8CA6);
constexpr std::uint32_t kHandRgb = 0x141B2A;
constexpr Rgb kHand = hex(kHandRgb);

// Signed distances (negative inside) keep every shape resolution independent; anti-aliasing then comes
// for free from supersampling.
double roundRectDistance(Vec p, double x0, double y0, double x1, double y1, double radius) {
    const double qx = std::abs(p.x - (x0 + x1) / 2) - ((x1 - x0) / 2 - radius);
    const double qy = std::abs(p.y - (y0 + y1) / 2) - ((y1 - y0) / 2 - radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

double circleDistance(Vec p, Vec centre, double radius) {
    return std::hypot(p.x - centre.x, p.y - centre.y) - radius;
}

double segmentDistance(Vec p, Vec a, Vec b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

struct HandAngles {
    double hour;  // degrees clockwise from twelve
    double minute;
};

// All lengths in target pixels; pixel (i, j) covers [i, i+1) x [j, j+1).
struct Layout {
    int size;
    double bodyX0, bodyY0, bodyX1, bodyY1, bodyRadius;
    double nubX0, nubY0, nubX1, nubY1, nubRadius;
    double outline;
    Vec face;
    double faceRadius, rim;
    double tickInner, tickOuter, tickHalfWidth;  // tickHalfWidth 0 leaves the hour ticks out
    double hourLength, hourHalfWidth;
    double minuteLength, minuteHalfWidth;
    HandAngles classic;
    bool crispHands;  // whole pixels only: one-pixel hands turn grey when anti-aliased
    Vec plus;
    double plusHalfLength, plusHalfWidth;  // plusHalfLength 0 leaves the polarity mark out
};

constexpr Layout kLayout32{
    .size = 32,
    .bodyX0 = 6,
    .bodyY0 = 5,
    .bodyX1 = 26,
    .bodyY1 = 31,
    .bodyRadius = 3.5,
    .nubX0 = 12,
    .nubY0 = 2,
    .nubX1 = 20,
    .nubY1 = 6,
    .nubRadius = 1.25,
    .outline = 1.25,
    .face = {16, 20},
    .faceRadius = 7,
    .rim = 1,
    .tickInner = 5,
    .tickOuter = 6,
    .tickHalfWidth = 1,
    .hourLength = 3.5,
    .hourHalfWidth = 1,
    .minuteLength = 5,
    .minuteHalfWidth = 0.7,
    .classic = {305, 60},  // 10:10, the hour hand a sixth of the way from ten towards eleven
    .crispHands = false,
    .plus = {15.5, 9.5},
    .plusHalfLength = 1.5,
    .plusHalfWidth = 0.5,
};

// At 16 px every stroke must cover at least one whole pixel, so the edges sit on pixel boundaries and the
// rim is dropped: the blue body already frames the face.
constexpr Layout kLayout16{
    .size = 16,
    .bodyX0 = 3,
    .bodyY0 = 2,
    .bodyX1 = 14,
    .bodyY1 = 16,
    .bodyRadius = 1.5,
    .nubX0 = 6,
    .nubY0 = 0,
    .nubX1 = 11,
    .nubY1 = 3,
    .nubRadius = 0.5,
    .outline = 1,
    .face = {8.5, 9.5},
    .faceRadius = 3.6,
    .rim = 0,
    .tickInner = 0,
    .tickOuter = 0,
    .tickHalfWidth = 0,
    .hourLength = 2,
    .hourHalfWidth = 0.5,
    .minuteLength = 2.6,
    .minuteHalfWidth = 0.5,
    .classic = {270, 0},  // nine o'clock: one-pixel diagonals break up into dots at this size
    .crispHands = true,
    .plus = {0, 0},
    .plusHalfLength = 0,
    .plusHalfWidth = 0,
};

// 22 and 24 pixels, the usual tray sizes: the 32-pixel picture with its edges on whole pixels, an odd
// body width so that the face's centre falls on a pixel's centre and the ticks cover single pixels.
constexpr Layout kLayout24{
    .size = 24,
    .bodyX0 = 5,
    .bodyY0 = 4,
    .bodyX1 = 20,
    .bodyY1 = 24,
    .bodyRadius = 2.5,
    .nubX0 = 9,
    .nubY0 = 1,
    .nubX1 = 16,
    .nubY1 = 5,
    .nubRadius = 1,
    .outline = 1,
    .face = {12.5, 15.5},
    .faceRadius = 6,
    .rim = 1,
    .tickInner = 3.5,
    .tickOuter = 4.5,
    .tickHalfWidth = 0.5,
    .hourLength = 3,
    .hourHalfWidth = 0.8,
    .minuteLength = 4.1,
    .minuteHalfWidth = 0.6,
    .classic = {305, 60},
    .crispHands = false,
    .plus = {12.5, 7.5},
    .plusHalfLength = 1.5,
    .plusHalfWidth = 0.5,
};

constexpr Layout kLayout22{
    .size = 22,
    .bodyX0 = 4,
    .bodyY0 = 4,
    .bodyX1 = 19,
    .bodyY1 = 22,
    .bodyRadius = 2.5,
    .nubX0 = 8,
    .nubY0 = 1,
    .nubX1 = 15,
    .nubY1 = 5,
    .nubRadius = 1,
    .outline = 1,
    .face = {11.5, 14.5},
    .faceRadius = 5.5,
    .rim = 1,
    .tickInner = 3.5,
    .tickOuter = 4.5,
    .tickHalfWidth = 0.5,
    .hourLength = 2.8,
    .hourHalfWidth = 0.8,
    .minuteLength = 3.9,
    .minuteHalfWidth = 0.6,
    .classic = {305, 60},
    .crispHands = false,
    .plus = {11.5, 7.5},
    .plusHalfLength = 1.5,
    .plusHalfWidth = 0.5,
};

// The design layout at another scale. The body's and the nub's edges go onto whole pixels, where they
// stay sharp; the round shapes are smooth at any scale.
Layout scaledLayout(int side) {
    const double k = side / static_cast<double>(kLayout32.size);
    const auto edge = [k](double v) { return std::round(v * k); };
    Layout l = kLayout32;
    l.size = side;
    l.bodyX0 = edge(l.bodyX0), l.bodyY0 = edge(l.bodyY0), l.bodyX1 = edge(l.bodyX1),
    l.bodyY1 = edge(l.bodyY1);
    l.nubX0 = edge(l.nubX0), l.nubY0 = edge(l.nubY0), l.nubX1 = edge(l.nubX1), l.nubY1 = edge(l.nubY1);
    for (double* length : {&l.bodyRadius, &l.nubRadius, &l.outline, &l.faceRadius, &l.rim, &l.tickInner,
                           &l.tickOuter, &l.tickHalfWidth, &l.hourLength, &l.hourHalfWidth, &l.minuteLength,
                           &l.minuteHalfWidth, &l.plusHalfLength, &l.plusHalfWidth})
        *length *= k;
    l.face = {l.face.x * k, l.face.y * k};
    l.plus = {l.plus.x * k, l.plus.y * k};
    return l;
}

Layout layoutFor(int side) {
    switch (side) {
        case 16:
            return kLayout16;
        case 22:
            return kLayout22;
        case 24:
            return kLayout24;
        default:
            return scaledLayout(side);
    }
}

HandAngles anglesFor(const Layout& l, ClockHands hands) {
    switch (hands) {
        case ClockHands::Up:
            return {0, 0};
        case ClockHands::Right:
            return {90, 90};
        case ClockHands::Down:
            return {180, 180};
        case ClockHands::Left:
            return {270, 270};
        case ClockHands::Classic:
            break;
    }
    return l.classic;
}

Vec handTip(Vec centre, double degrees, double length) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {centre.x + std::sin(radians) * length, centre.y - std::cos(radians) * length};
}

bool onHands(const Layout& l, const HandAngles& angles, Vec p) {
    return segmentDistance(p, l.face, handTip(l.face, angles.hour, l.hourLength)) <= l.hourHalfWidth ||
           segmentDistance(p, l.face, handTip(l.face, angles.minute, l.minuteLength)) <= l.minuteHalfWidth;
}

// Colour of the topmost shape under p, painting back to front; nullopt where the icon is transparent.
std::optional<Rgb> sample(const Layout& l, const HandAngles& angles, Vec p) {
    std::optional<Rgb> colour;

    const double nub = roundRectDistance(p, l.nubX0, l.nubY0, l.nubX1, l.nubY1, l.nubRadius);
    if (nub <= 0) {
        const double t = (p.x - l.nubX0) / (l.nubX1 - l.nubX0);
        colour = nub <= -l.outline ? mix(kNubLight, kNubDark, t) : kOutline;
    }

    const double body = roundRectDistance(p, l.bodyX0, l.bodyY0, l.bodyX1, l.bodyY1, l.bodyRadius);
    if (body <= 0) {
        // Light band a third of the way in, darker to the right: reads as a round cell, not a box.
        const double t = (p.x - l.bodyX0) / (l.bodyX1 - l.bodyX0);
        const Rgb fill =
            t < 0.3 ? mix(kBodyMid, kBodyLight, t / 0.3) : mix(kBodyLight, kBodyDark, (t - 0.3) / 0.7);
        colour = body <= -l.outline ? fill : kOutline;
    }

    if (l.plusHalfLength > 0) {
        const double dx = std::abs(p.x - l.plus.x);
        const double dy = std::abs(p.y - l.plus.y);
        if ((dx <= l.plusHalfLength && dy <= l.plusHalfWidth) ||
            (dx <= l.plusHalfWidth && dy <= l.plusHalfLength)) {
            colour = kFaceLight;
        }
    }

    const double face = circleDistance(p, l.face, l.faceRadius);
    if (face <= 0) {
        const double shade = ((p.x - l.face.x) + (p.y - l.face.y)) / (2 * l.faceRadius) + 0.5;
        colour = face <= -l.rim ? mix(kFaceLight, kFaceShade, shade) : kRim;
    }

    if (l.tickHalfWidth > 0) {
        // Square-ended ticks at 12, 3, 6 and 9 stay crisp where round dots would smear over two pixels.
        const double dx = std::abs(p.x - l.face.x);
        const double dy = std::abs(p.y - l.face.y);
        const auto tick = [&l](double along, double across) {
            return along >= l.tickInner && along <= l.tickOuter && across <= l.tickHalfWidth;
        };
        if (tick(dx, dy) || tick(dy, dx)) {
            colour = kTick;
        }
    }

    if (!l.crispHands && onHands(l, angles, p)) {
        colour = kHand;
    }
    return colour;
}

std::vector<std::uint32_t> render(const Layout& l, ClockHands hands) {
    // 64 samples per pixel for smooth edges at tray sizes; at 64 pixels and more 16 do as well.
    const int grid = l.size >= 64 ? 4 : 8;
    const HandAngles angles = anglesFor(l, hands);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(l.size) * static_cast<std::size_t>(l.size));
    for (int y = 0; y < l.size; ++y) {
        for (int x = 0; x < l.size; ++x) {
            // Averaging premultiplied colour over the covered samples gives correct edge blending.
            Rgb sum{0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    const Vec p{x + (sx + 0.5) / grid, y + (sy + 0.5) / grid};
                    if (const auto c = sample(l, angles, p)) {
                        sum = {sum.r + c->r, sum.g + c->g, sum.b + c->b};
                        ++covered;
                    }
                }
            }
            std::uint32_t argb = 0;
            if (l.crispHands && onHands(l, angles, {x + 0.5, y + 0.5})) {
                argb = 0xFF000000u | kHandRgb;
            } else if (covered > 0) {
                const auto channel = [covered](double v) {
                    return static_cast<std::uint32_t>(std::lround(v / covered));
                };
                const auto alpha = static_cast<std::uint32_t>(covered * 255 / (grid * grid));
                argb = alpha << 24 | channel(sum.r) << 16 | channel(sum.g) << 8 | channel(sum.b);
            }
            out[static_cast<std::size_t>(y * l.size + x)] = argb;
        }
    }
    return out;
}

// ---- file encoders ---------------------------------------------------------------------------------

using Bytes = std::vector<std::uint8_t>;

void putLe16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putLe32(Bytes& out, std::uint32_t v) {
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}

void checkImage(const IconImageView& image, int maxSide) {
    if (image.width < 1 || image.height < 1 || image.width > maxSide || image.height > maxSide ||
        image.argb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        throw std::invalid_argument("icon image has an unusable size");
    }
}

}  // namespace

std::vector<std::uint32_t> programIconPixels(int side, ClockHands hands) {
    if (side < 1 || side > 256) throw std::invalid_argument("icon size out of range");
    return render(layoutFor(side), hands);
}

std::vector<std::uint8_t> encodeIco(std::span<const IconImageView> images) {
    constexpr std::uint32_t kHeaderSize = 6;
    constexpr std::uint32_t kEntrySize = 16;
    constexpr std::uint32_t kInfoHeaderSize = 40;

    Bytes ico;
    putLe16(ico, 0);  // reserved
    putLe16(ico, 1);  // type: icon
    putLe16(ico, static_cast<std::uint32_t>(images.size()));

    Bytes bitmaps;
    for (const IconImageView& image : images) {
        checkImage(image, 256);
        const auto w = static_cast<std::uint32_t>(image.width);
        const auto h = static_cast<std::uint32_t>(image.height);
        const std::uint32_t maskStride = (w + 31) / 32 * 4;
        const std::uint32_t pixelBytes = w * h * 4 + maskStride * h;
        const auto offset = kHeaderSize + kEntrySize * static_cast<std::uint32_t>(images.size()) +
                            static_cast<std::uint32_t>(bitmaps.size());

        ico.push_back(static_cast<std::uint8_t>(w & 0xFF));  // 256 is written as 0
        ico.push_back(static_cast<std::uint8_t>(h & 0xFF));
        ico.push_back(0);  // palette size
        ico.push_back(0);  // reserved
        putLe16(ico, 1);   // planes
        putLe16(ico, 32);  // bits per pixel
        putLe32(ico, kInfoHeaderSize + pixelBytes);
        putLe32(ico, offset);

        // BITMAPINFOHEADER; the height counts the colour rows and the mask rows together.
        putLe32(bitmaps, kInfoHeaderSize);
        putLe32(bitmaps, w);
        putLe32(bitmaps, h * 2);
        putLe16(bitmaps, 1);
        putLe16(bitmaps, 32);
        putLe32(bitmaps, 0);  // BI_RGB
        putLe32(bitmaps, pixelBytes);
        for (int i = 0; i < 4; ++i) putLe32(bitmaps, 0);

        // Rows go bottom-up in both the colour plane and the mask.
        for (std::uint32_t row = h; row-- > 0;) {
            for (std::uint32_t x = 0; x < w; ++x) putLe32(bitmaps, image.argb[row * w + x]);  // B G R A
        }
        // Mask bit set = transparent; only shells that ignore alpha look at it, so cut at half alpha.
        for (std::uint32_t row = h; row-- > 0;) {
            Bytes line(maskStride, 0);
            for (std::uint32_t x = 0; x < w; ++x) {
                if ((image.argb[row * w + x] >> 24) < 0x80)
                    line[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
            bitmaps.insert(bitmaps.end(), line.begin(), line.end());
        }
    }
    ico.insert(ico.end(), bitmaps.begin(), bitmaps.end());
    return ico;
}

std::array<std::uint32_t, 12 * 12> signPixels(Sign sign) {
    constexpr std::uint32_t kLightYellow = 0xFFFFFF80, kBlack = 0xFF000000;
    std::array<std::uint32_t, 12 * 12> px;
    px.fill(kLightYellow);
    // An eight-pixel bar across the middle two rows, and for plus the same bar down the middle two
    // columns: the sign stands centred with two pixels of yellow around it.
    for (int a = 2; a < 10; ++a)
        for (int b = 5; b < 7; ++b) {
            px[static_cast<std::size_t>(b * 12 + a)] = kBlack;
            if (sign == Sign::Plus) px[static_cast<std::size_t>(a * 12 + b)] = kBlack;
        }
    return px;
}

}  // namespace corvane
