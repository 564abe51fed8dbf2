#include "platform/win32/win32_text.h"

#include <algorithm>
#include <cstdint>

#include "platform/text.h"

namespace corvane {

namespace {

int lengthOf(std::string_view line) {
    return static_cast<int>(std::min<std::size_t>(line.size(), INT32_MAX));
}

}  // namespace

Win32Text::Win32Text(Screen& screen) : screen_(screen), dc_(CreateCompatibleDC(nullptr)) {}

HFONT Win32Text::fontFor(const Font& font) {
    const int em = emPixels(font, screen_.twipsPerPixelY());
    auto key = std::make_tuple(font.name, em, font.bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        // A negative height asks for the em itself, as a size in points does.
        HFONT made = CreateFontA(-em, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
        it = fonts_.emplace(std::move(key), UniqueFont(made)).first;
    }
    return it->second.get();
}

TextExtent Win32Text::measureLine(const Font& font, std::string_view line) {
    const Selection selected(dc_.get(), fontFor(font));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_.get(), &metrics);
    SIZE size{};
    GetTextExtentPoint32A(dc_.get(), line.data(), lengthOf(line), &size);
    const int advance = static_cast<int>(size.cx);
    if (line.empty()) return {0, static_cast<int>(metrics.tmHeight), 0};
    // The last glyph's ink may run past its advance (a negative C width); and a static control as
    // wide as the advance drops its last glyph (the "." of "with it."): it needs a pixel more.
    ABC last{};
    const UINT c = static_cast<unsigned char>(line.back());
    const int overhang = GetCharABCWidthsA(dc_.get(), c, c, &last) ? std::max(0, -last.abcC) : 0;
    return {advance, static_cast<int>(metrics.tmHeight), advance + overhang + 1};
}

void Win32Text::drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                         Color color) {
    const TextExtent extent = measureLine(font, line);
    // A glyph may reach a little past the line's advance.
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right =
        static_cast<int>(std::min<long long>(image.width(), 0LL + x + extent.width + extent.height));
    const int bottom = static_cast<int>(std::min<long long>(image.height(), 0LL + y + extent.height));
    if (right <= left || bottom <= top) return;
    const int w = right - left, h = bottom - top;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueBitmap section(CreateDIBSection(dc_.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return;
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) px[row * w + col] = toXrgb(image.at(left + col, top + row));
    {
        const Selection bitmap(dc_.get(), section.get());
        const Selection selected(dc_.get(), fontFor(font));
        SetBkMode(dc_.get(), TRANSPARENT);
        SetTextColor(dc_.get(), color);  // a COLORREF is 0x00BBGGRR too
        SetTextAlign(dc_.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
        TextOutA(dc_.get(), x - left, y - top, line.data(), lengthOf(line));
        GdiFlush();
    }
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) image.plot(left + col, top + row, fromXrgb(px[row * w + col]));
}

}  // namespace corvane
