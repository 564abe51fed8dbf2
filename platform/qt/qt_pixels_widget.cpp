#include "platform/qt/qt_pixels_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_form_widget.h"

namespace corvane {

namespace {

QImage toQImage(const PixelImage& img) {
    QImage q(img.width(), img.height(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(q.scanLine(y));
        for (int x = 0; x < img.width(); ++x) row[x] = toQRgb(img.at(x, y));
    }
    return q;
}

}  // namespace

QtPixelsWidget::QtPixelsWidget(QtFormWidget& form, const PixelImage& pixels, const Keyboard& keyboard)
    : QWidget(&form), form_(form), pixels_(pixels), keyboard_(keyboard) {
    setMouseTracking(true);
}

// A picture with the focus shows the focus mark as the system draws one: a dotted rectangle one pixel
// inside its edge, each dot the inverse of what lies beneath, so it shows on any colour.
void QtPixelsWidget::paintEvent(QPaintEvent*) {
    if (pixels_.width() == 0 || pixels_.height() == 0) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), toQImage(pixels_));
    if (!hasFocus() || !keyboard_.showsFocusMark()) return;
    const int right = width() - 2, bottom = height() - 2;
    QPolygon dots;
    for (int x = 1; x <= right; x += 2) dots << QPoint(x, 1) << QPoint(x, bottom);
    for (int y = 3; y < bottom; y += 2) dots << QPoint(1, y) << QPoint(right, y);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::white);
    painter.drawPoints(dots);
}

QPoint QtPixelsWidget::onForm(QMouseEvent* e) const { return mapTo(&form_, e->position().toPoint()); }

void QtPixelsWidget::mousePressEvent(QMouseEvent* e) { form_.routePress(e, onForm(e)); }
void QtPixelsWidget::mouseMoveEvent(QMouseEvent* e) { form_.routeMove(e, onForm(e)); }
void QtPixelsWidget::mouseReleaseEvent(QMouseEvent* e) { form_.routeRelease(e, onForm(e)); }
void QtPixelsWidget::mouseDoubleClickEvent(QMouseEvent* e) { form_.routeDoubleClick(e, onForm(e)); }

}  // namespace corvane
