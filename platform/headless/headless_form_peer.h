#pragma once
// A form with no window behind it: the model is all there is, so the peer only writes down what a
// native window would have been asked to do.

#include <string>
#include <vector>

#include "platform/runtime.h"

namespace corvane {

class HeadlessFormPeer final : public FormPeer {
  public:
    HeadlessFormPeer(Form& form, std::vector<std::string>& log) : form_(form), log_(log) {}

    void geometryChanged() override { ++moves; }
    void visibilityChanged() override { ++shows; }
    void backColorChanged() override { ++repaints; }
    void captionChanged() override { ++captions; }
    void topmostChanged() override;
    void controlChanged(Control& control) override;
    void focusChanged() override { ++focusMoves; }

    // How often a native window would have been asked to repaint a control or the whole form.
    int repaints = 0;
    // How often it would have been moved or sized, shown or hidden, retitled, or given the focus.
    int moves = 0, shows = 0, captions = 0, focusMoves = 0;

  private:
    Form& form_;
    std::vector<std::string>& log_;
};

}  // namespace corvane
