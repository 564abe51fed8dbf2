#include "platform/qt/qt_frame_widget.h"

#include <QPainter>
#include <QRegion>
#include <QStyle>

namespace corvane {

namespace {

// Where the caption stands, as the standard group box of the system the layouts were made for has it.
constexpr int kCaptionLeft = 8;
constexpr int kCaptionGap = 1;  // the line stops a pixel short of the caption on either side

}  // namespace

QtFrameWidget::QtFrameWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtFrameWidget::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void QtFrameWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int top = caption_.isEmpty() ? 0 : metrics.height() / 2 - 1;
    const QRect text(kCaptionLeft, 0, metrics.horizontalAdvance(caption_), metrics.height());
    if (!caption_.isEmpty())
        painter.setClipRegion(QRegion(rect()) - text.adjusted(-kCaptionGap, 0, kCaptionGap, 0));
    // Etched: a shadow outline with a light one a pixel down and right of it.
    const int w = width() - 2, h = height() - 2 - top;
    if (w >= 0 && h >= 0) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(QRect(0, top, w, h));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(QRect(1, top + 1, w, h));
    }
    if (caption_.isEmpty()) return;
    painter.setClipping(false);
    style()->drawItemText(&painter, text, Qt::AlignLeft | Qt::AlignTop, palette(), isEnabled(), caption_,
                          QPalette::WindowText);
}

}  // namespace corvane
