#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "platform/qt/qt_convert.h"
#include "platform/text.h"

namespace corvane {

namespace {

QString familyFor(const std::string& name) {
    struct Twin {
        const char* name;
        const char* twin;
    };
    static constexpr Twin kTwins[] = {
        {"arial", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
    };
    const QString wanted = latin1(name);
    for (const Twin& t : kTwins)
        if (wanted.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return latin1(t.twin);
    return wanted;
}

}  // namespace

QFont QtText::qfont(const Font& font) {
    QFont q(familyFor(font.name));
    q.setPixelSize(emPixels(font, screen_.twipsPerPixelY()));
    q.setBold(font.bold);
    // Whole-pixel glyph advances and no kerning, as GDI lays text out.
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    return q;
}

TextExtent QtText::measureLine(const Font& font, std::string_view line) {
    const QFontMetrics metrics(qfont(font));
    const QString text = latin1(line);
    const int advance = metrics.horizontalAdvance(text);
    return {advance, metrics.height(), std::max(advance, metrics.boundingRect(text).right() + 1)};
}

// Only the line's own box is painted, on a copy of the pixels under it, so the text blends with what
// is there and the rest of the picture is not touched.
void QtText::drawLine(PixelImage& image, int x, int y, const Font& font, std::string_view line, Color color) {
    const QFont q = qfont(font);
    const QFontMetrics metrics(q);
    const QString text = latin1(line);
    const int left = std::max(x, 0), top = std::max(y, 0);
    // A glyph may reach a little past its advance.
    const int right = static_cast<int>(
        std::min<long long>(image.width(), 0LL + x + metrics.horizontalAdvance(text) + metrics.maxWidth()));
    const int bottom = static_cast<int>(std::min<long long>(image.height(), 0LL + y + metrics.height()));
    if (right <= left || bottom <= top) return;
    QImage box(right - left, bottom - top, QImage::Format_RGB32);
    for (int row = top; row < bottom; ++row)
        for (int col = left; col < right; ++col)
            box.setPixel(col - left, row - top, toQRgb(image.at(col, row)));
    {
        QPainter painter(&box);
        painter.setFont(q);
        painter.setPen(QColor(toQRgb(color)));
        painter.drawText(x - left, y - top + metrics.ascent(), text);
    }
    for (int row = top; row < bottom; ++row)
        for (int col = left; col < right; ++col)
            image.plot(col, row, fromQRgb(box.pixel(col - left, row - top)));
}

Color QtText::windowTextColor() {
    return fromQRgb(QApplication::palette().color(QPalette::Active, QPalette::WindowText).rgb());
}

}  // namespace corvane
