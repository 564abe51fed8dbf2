#pragma once

#include <QWidget>

#include "platform/forms.h"

namespace corvane {

// A borderless window that shows its form's back colour and the pixels of each picture, and hands
// mouse input to the picture under the cursor (or the one holding the capture).
class FormWidget final : public QWidget {
  public:
    explicit FormWidget(Form& form);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    Picture* pictureAt(QPoint p);
    enum class Kind { Down, Move, Up };
    void deliver(QMouseEvent* e, Kind kind);

    Form& form_;
    Picture* captured_ = nullptr;  // the picture that got the press keeps the mouse until release
};

}  // namespace corvane
