#include "platform/headless/headless_text.h"

#include "platform/text.h"

namespace corvane {

HeadlessText::Cell HeadlessText::cellOf(const Font& font) {
    const int em = emPixels(font, screen_.twipsPerPixelY());
    return {em, em / 2 + (font.bold ? 1 : 0), em + em / 4};
}

TextExtent HeadlessText::measureLine(const Font& font, std::string_view line) {
    const Cell cell = cellOf(font);
    const int width = cell.width * static_cast<int>(line.size());
    // A bold glyph's last stroke reaches a pixel past its advance.
    return {width, cell.height, width + (font.bold && width > 0 ? 1 : 0)};
}

void HeadlessText::drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line,
                            Color color) {
    const Cell cell = cellOf(font);
    for (char ch : line) {
        if (x >= image.width()) break;  // the rest is clipped
        if (ch != ' ' && cell.width >= 2)
            image.fillRect(x, y + cell.em / 4, x + cell.width - 2, y + cell.em - 1, color);
        x += cell.width;
    }
}

}  // namespace corvane
