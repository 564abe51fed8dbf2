#include "platform/qt/qt_pixels_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/qt_form_widget.h"

namespace corvane {

namespace {

QImage toQImage(const PixelImage& img) {
    QImage q(img.width(), img.height(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(q.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const Color c = img.at(x, y);
            row[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
    }
    return q;
}

}  // namespace

QtPixelsWidget::QtPixelsWidget(QtFormWidget& form, Control& control)
    : QWidget(&form), form_(form), control_(control) {
    setMouseTracking(true);
    // A picture fills its place; an image may leave the form's colour around its picture.
    setAttribute(Qt::WA_OpaquePaintEvent, control.kind() == ControlKind::Picture);
}

void QtPixelsWidget::paintEvent(QPaintEvent*) {
    const PixelImage& pixels = control_.kind() == ControlKind::Picture
                                   ? static_cast<const Picture&>(control_).image()
                                   : static_cast<const Image&>(control_).picture();
    if (pixels.width() == 0 || pixels.height() == 0) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), toQImage(pixels));
}

QPoint QtPixelsWidget::onForm(QMouseEvent* e) const { return mapTo(&form_, e->position().toPoint()); }

void QtPixelsWidget::mousePressEvent(QMouseEvent* e) { form_.routePress(e, onForm(e)); }
void QtPixelsWidget::mouseMoveEvent(QMouseEvent* e) { form_.routeMove(e, onForm(e)); }
void QtPixelsWidget::mouseReleaseEvent(QMouseEvent* e) { form_.routeRelease(e, onForm(e)); }
void QtPixelsWidget::mouseDoubleClickEvent(QMouseEvent* e) { form_.routeDoubleClick(e, onForm(e)); }

}  // namespace corvane
