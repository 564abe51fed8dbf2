#pragma once
// Mirrors one form onto a Qt top-level widget, built from the form's style alone.

#include "platform/qt/qt_form_widget.h"
#include "platform/runtime.h"

namespace corvane {

class QtFormPeer final : public FormPeer {
  public:
    explicit QtFormPeer(Form& form);

    void geometryChanged() override;
    void visibilityChanged() override;
    void backColorChanged() override;
    void captionChanged() override;
    void topmostChanged() override;
    void controlChanged(Control& control) override;

    QtFormWidget& widget() { return widget_; }

  private:
    Form& form_;
    // No native window until the form is first shown: a form that never shows (the main form) costs
    // one widget object and nothing on the X server.
    QtFormWidget widget_;
};

}  // namespace corvane
