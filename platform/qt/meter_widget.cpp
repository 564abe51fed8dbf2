#include "platform/qt/meter_widget.h"

#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {

QColor toQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

std::int16_t buttonBits(Qt::MouseButtons b) {
    return static_cast<std::int16_t>(((b & Qt::LeftButton) ? 1 : 0) | ((b & Qt::RightButton) ? 2 : 0) |
                                     ((b & Qt::MiddleButton) ? 4 : 0));
}

std::int16_t shiftBits(Qt::KeyboardModifiers m) {
    return static_cast<std::int16_t>(((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) |
                                     ((m & Qt::AltModifier) ? 4 : 0));
}

}  // namespace

FormWidget::FormWidget(Form& form)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint), form_(form) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button reach the picture too
    setWindowTitle("Corvane");
}

void FormWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(form_.backColor()));
    for (const Picture& pic : form_.pictures()) {
        const PixelImage& img = pic.image();
        if (img.width() == 0 || img.height() == 0) continue;
        QImage q(img.width(), img.height(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(q.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const Color c = img.at(x, y);
                row[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            }
        }
        painter.drawImage(QPoint(pic.pixelLeft(), pic.pixelTop()), q);
    }
}

Picture* FormWidget::pictureAt(QPoint p) {
    for (Picture& pic : form_.pictures()) {
        const QRect r(pic.pixelLeft(), pic.pixelTop(), pic.image().width(), pic.image().height());
        if (r.contains(p)) return &pic;
    }
    return nullptr;
}

void FormWidget::deliver(QMouseEvent* e, Kind kind) {
    const QPoint p = e->position().toPoint();
    Picture* pic = captured_ ? captured_ : pictureAt(p);
    if (!pic) return;
    const double x = p.x() - pic->pixelLeft(), y = p.y() - pic->pixelTop();
    const std::int16_t shift = shiftBits(e->modifiers());
    switch (kind) {
        case Kind::Down:
            captured_ = pic;
            pic->mouseDown(buttonBits(e->button()), shift, x, y);
            break;
        case Kind::Move:
            pic->mouseMove(buttonBits(e->buttons()), shift, x, y);
            break;
        case Kind::Up:
            if (e->buttons() == Qt::NoButton) captured_ = nullptr;
            pic->mouseUp(buttonBits(e->button()), shift, x, y);
            break;
    }
}

void FormWidget::mousePressEvent(QMouseEvent* e) { deliver(e, Kind::Down); }
void FormWidget::mouseMoveEvent(QMouseEvent* e) { deliver(e, Kind::Move); }
void FormWidget::mouseReleaseEvent(QMouseEvent* e) { deliver(e, Kind::Up); }

// The second press of a double-click is reported as the double-click itself, not as another press.
void FormWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return deliver(e, Kind::Down);
    captured_ = pictureAt(e->position().toPoint());
    if (captured_) captured_->dblClick();
}

// Only the program shows and hides its windows: a close from the window manager (Alt+F4, a panel's
// close command) would hide the meter behind the program's back.
void FormWidget::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace corvane
