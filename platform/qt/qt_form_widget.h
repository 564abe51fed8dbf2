#pragma once
// The native window of one form: it paints the form's back colour and its pictures' pixels, and hands
// the user's mouse and close requests to the form.

#include <QWidget>

#include "platform/forms.h"

namespace corvane {

class QtFormWidget final : public QWidget {
  public:
    QtFormWidget(Form& form, Qt::WindowFlags flags);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void forgetStaleCapture(Qt::MouseButtons heldBefore);

    Form& form_;
};

}  // namespace corvane
