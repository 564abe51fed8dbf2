#pragma once
// Mirrors one form onto a Qt top-level widget, built from the form's style alone, and each of its
// controls onto a plain widget placed at the control's pixel rectangle: no layouts, so places and sizes
// are the model's whatever the desktop's theme.

#include <QObject>
#include <map>
#include <memory>

#include "platform/qt/qt_form_widget.h"
#include "platform/runtime.h"

namespace corvane {

// The flags of the top-level widget a form's style asks for.
Qt::WindowFlags windowFlagsOf(const FormStyle& style);

class QtFormPeer final : public FormPeer {
  public:
    explicit QtFormPeer(Form& form);
    ~QtFormPeer() override;
    QtFormPeer(const QtFormPeer&) = delete;
    QtFormPeer& operator=(const QtFormPeer&) = delete;

    void geometryChanged() override;
    void visibilityChanged() override;
    void backColorChanged() override;
    void captionChanged() override;
    void topmostChanged() override;
    void controlChanged(Control& control) override;
    void focusChanged() override;

    QtFormWidget& widget() { return widget_; }
    // The widget that shows a control, once the form has been shown; null before.
    QWidget* widgetOf(const Control& control) const;

  private:
    class FocusWatch;
    QWidget* make(Control& control);
    void mirror(Control& control, QWidget& w);
    void makeAll();
    void order();

    Form& form_;
    // No native window until the form is first shown: a form that never shows (the main form) costs
    // one widget object and nothing on the X server.
    QtFormWidget widget_;
    std::unique_ptr<FocusWatch> focusWatch_;
    // The controls' widgets, children of widget_, made at the form's first show.
    std::map<const Control*, QWidget*> children_;
    bool made_ = false;
};

}  // namespace corvane
