#include "platform/qt/qt_form_widget.h"

#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {

QColor toQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

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

bool shown(const Control& control) {
    for (const Control* c = &control; c; c = c->container())
        if (!c->visible()) return false;
    return true;
}

std::int16_t buttonBits(Qt::MouseButtons b) {
    return static_cast<std::int16_t>(((b & Qt::LeftButton) ? kLeftButton : 0) |
                                     ((b & Qt::RightButton) ? kRightButton : 0) |
                                     ((b & Qt::MiddleButton) ? kMiddleButton : 0));
}

std::int16_t shiftBits(Qt::KeyboardModifiers m) {
    return static_cast<std::int16_t>(((m & Qt::ShiftModifier) ? kShiftKey : 0) |
                                     ((m & Qt::ControlModifier) ? kCtrlKey : 0) |
                                     ((m & Qt::AltModifier) ? kAltKey : 0));
}

}  // namespace

QtFormWidget::QtFormWidget(Form& form, Qt::WindowFlags flags) : QWidget(nullptr, flags), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button reach the controls too
}

void QtFormWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(form_.backColor()));
    // In the form's order, so a later control covers an earlier one.
    for (const auto& c : form_.controls()) {
        if (c->kind() != ControlKind::Picture || !shown(*c)) continue;
        const PixelImage& img = static_cast<const Picture&>(*c).image();
        if (img.width() == 0 || img.height() == 0) continue;
        const PixelRect r = c->pixelRect();
        painter.drawImage(QPoint(r.left, r.top), toQImage(img));
    }
}

// Qt grabs the mouse for this window from a press until the last button is up, which is when the
// form's router holds a control too; a press outside every control leaves the router without one, and
// the moves Qt still brings go to whatever control lies under the cursor, as they would without a grab.
// Only the router can be left behind: when the grab ended where no event of ours saw it (a popup took
// the mouse), the next event with no button held before it lets go.
void QtFormWidget::forgetStaleCapture(Qt::MouseButtons heldBefore) {
    if (heldBefore == Qt::NoButton && form_.mouse().captured()) form_.mouse().captureLost();
}

void QtFormWidget::mousePressEvent(QMouseEvent* e) {
    forgetStaleCapture(e->buttons() & ~e->button());
    const QPoint p = e->position().toPoint();
    form_.mouse().press(buttonBits(e->button()), shiftBits(e->modifiers()), p.x(), p.y());
}

void QtFormWidget::mouseMoveEvent(QMouseEvent* e) {
    forgetStaleCapture(e->buttons());
    const QPoint p = e->position().toPoint();
    form_.mouse().move(buttonBits(e->buttons()), shiftBits(e->modifiers()), p.x(), p.y());
}

void QtFormWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    form_.mouse().release(buttonBits(e->button()), buttonBits(e->buttons()), shiftBits(e->modifiers()), p.x(),
                          p.y());
}

// Qt reports the second press of a double-click as the double-click itself, not as another press.
void QtFormWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    forgetStaleCapture(e->buttons() & ~e->button());
    const QPoint p = e->position().toPoint();
    form_.mouse().doubleClick(buttonBits(e->button()), shiftBits(e->modifiers()), p.x(), p.y());
}

// Only the program shows, hides and unloads its windows: a close from the window system (Alt+F4, a
// close box, a panel's close command) is a question the form's own handlers answer, and a form that
// unloads is hidden by the model.
void QtFormWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    form_.queryUnload(kCloseFromWindow);
}

// An unmapped window loses the pointer grab, so no release will come for a button held now.
void QtFormWidget::hideEvent(QHideEvent*) { form_.mouse().captureLost(); }

}  // namespace corvane
