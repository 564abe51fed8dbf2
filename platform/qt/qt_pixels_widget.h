#pragma once
// A picture box or an image as a widget of its own among the form's controls: it shows the model's
// pixels and hands the mouse to the form's router, so a picture inside a frame is painted above the
// frame and gets the mouse by the same rule as one on the form.

#include <QWidget>

#include "platform/graphics.h"
#include "platform/keyboard.h"

namespace corvane {

class QtFormWidget;

class QtPixelsWidget final : public QWidget {
  public:
    // Never marked opaque, though a picture box's pixels cover it: an opaque child has Qt cut it out of
    // the form's region at each repaint, code (64 KB of it resident) that filling the form's colour
    // beneath, drawn over at once, does without. An image's pixels may leave that colour around them.
    QtPixelsWidget(QtFormWidget& form, const PixelImage& pixels, const Keyboard& keyboard);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

  private:
    QPoint onForm(QMouseEvent* e) const;

    QtFormWidget& form_;
    const PixelImage& pixels_;
    const Keyboard& keyboard_;
};

}  // namespace corvane
