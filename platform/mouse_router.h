#pragma once

#include <cstdint>

#include "platform/control.h"

namespace corvane {

class Form;

// Which control gets the mouse, decided once for every backend: the control on top (Form::drawingOrder)
// under the cursor, except that the control under a pressed button keeps the mouse until every
// button is up again. Backends feed it the native events in the form's client pixels. A left button
// pressed and let go on the same control, not as part of a double-click, is also its click.
class MouseRouter {
  public:
    explicit MouseRouter(Form& form) : form_(form) {}

    // Each returns whether a control holds the mouse afterwards, so the backend can hold or let go of
    // the native capture to match.
    bool press(std::int16_t button, std::int16_t shift, int x, int y);
    bool move(std::int16_t buttonsHeld, std::int16_t shift, int x, int y);
    bool release(std::int16_t button, std::int16_t buttonsStillHeld, std::int16_t shift, int x, int y);
    // The second press of a double-click, which comes instead of a press.
    bool doubleClick(std::int16_t button, std::int16_t shift, int x, int y);
    // The window system took the mouse away (another window grabbed it).
    void captureLost() { captured_ = clicked_ = nullptr; }

    Control* controlAt(int x, int y) const;
    Control* captured() const { return captured_; }

  private:
    Control* target(int x, int y) const { return captured_ ? captured_ : controlAt(x, y); }

    Form& form_;
    Control* captured_ = nullptr;
    Control* clicked_ = nullptr;  // where the left button went down, until it comes up
};

}  // namespace corvane
