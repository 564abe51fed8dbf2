#pragma once
// The native window of one form: it paints the form's back colour, hands the user's mouse (its own and
// that of its pictures and images), Enter, Esc and close requests to the form.

#include <QWidget>

#include "platform/forms.h"

class QMouseEvent;

namespace corvane {

class QtFormWidget final : public QWidget {
  public:
    QtFormWidget(Form& form, Qt::WindowFlags flags);

    Form& form() const { return form_; }

    // A mouse event at a place in the form's client pixels, from this window or from one of the
    // controls' widgets in it, to the form's router.
    void routePress(QMouseEvent* e, QPoint p);
    void routeMove(QMouseEvent* e, QPoint p);
    void routeRelease(QMouseEvent* e, QPoint p);
    void routeDoubleClick(QMouseEvent* e, QPoint p);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void forgetStaleCapture(Qt::MouseButtons heldBefore);

    Form& form_;
};

}  // namespace corvane
