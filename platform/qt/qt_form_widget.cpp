#include "platform/qt/qt_form_widget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_services.h"

namespace corvane {

namespace {

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

// The controls draw themselves in widgets of their own, over this.
void QtFormWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(form_.backColor()));
}

// Qt grabs the mouse for the widget pressed from a press until the last button is up, which is when the
// form's router holds a control too; a press outside every control leaves the router without one, and
// the moves Qt still brings go to whatever control lies under the cursor, as they would without a grab.
// Only the router can be left behind: when the grab ended where no event of ours saw it (a popup took
// the mouse), the next event with no button held before it lets go.
void QtFormWidget::forgetStaleCapture(Qt::MouseButtons heldBefore) {
    if (heldBefore == Qt::NoButton && form_.mouse().captured()) form_.mouse().captureLost();
}

void QtFormWidget::routePress(QMouseEvent* e, QPoint p) {
    const PointerOfEvent at(e->globalPosition().toPoint());
    forgetStaleCapture(e->buttons() & ~e->button());
    form_.mouse().press(buttonBits(e->button()), shiftBits(e->modifiers()), p.x(), p.y());
}

void QtFormWidget::routeMove(QMouseEvent* e, QPoint p) {
    const PointerOfEvent at(e->globalPosition().toPoint());
    forgetStaleCapture(e->buttons());
    form_.mouse().move(buttonBits(e->buttons()), shiftBits(e->modifiers()), p.x(), p.y());
}

void QtFormWidget::routeRelease(QMouseEvent* e, QPoint p) {
    const PointerOfEvent at(e->globalPosition().toPoint());
    form_.mouse().release(buttonBits(e->button()), buttonBits(e->buttons()), shiftBits(e->modifiers()), p.x(),
                          p.y());
}

// Qt reports the second press of a double-click as the double-click itself, not as another press.
void QtFormWidget::routeDoubleClick(QMouseEvent* e, QPoint p) {
    const PointerOfEvent at(e->globalPosition().toPoint());
    forgetStaleCapture(e->buttons() & ~e->button());
    form_.mouse().doubleClick(buttonBits(e->button()), shiftBits(e->modifiers()), p.x(), p.y());
}

void QtFormWidget::mousePressEvent(QMouseEvent* e) { routePress(e, e->position().toPoint()); }
void QtFormWidget::mouseMoveEvent(QMouseEvent* e) { routeMove(e, e->position().toPoint()); }
void QtFormWidget::mouseReleaseEvent(QMouseEvent* e) { routeRelease(e, e->position().toPoint()); }
void QtFormWidget::mouseDoubleClickEvent(QMouseEvent* e) { routeDoubleClick(e, e->position().toPoint()); }

// Enter, Esc and the characters that no control took for itself (a line edit, a check box and a button
// without the default role pass Enter and Esc on; a picture passes everything) are the form's: its
// rule picks the control that hears them and the button they press.
void QtFormWidget::keyPressEvent(QKeyEvent* e) {
    const QString text = e->text();
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            form_.keyboard().keyPress(kKeyReturn);
            return;
        case Qt::Key_Escape:
            form_.keyboard().keyPress(kKeyEscape);
            return;
        default:
            if (text.size() == 1 && text[0].unicode() >= ' ' && text[0].unicode() < 256)
                form_.keyboard().keyPress(static_cast<std::int16_t>(text[0].unicode()));
            else
                QWidget::keyPressEvent(e);
    }
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
