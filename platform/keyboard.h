#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

class Control;
class Form;

constexpr std::int16_t kKeyReturn = 13;
constexpr std::int16_t kKeyEscape = 27;

// The keyboard of one form, decided once for every backend: which control has the focus, where Tab
// stops, what Enter and Esc press and where an arrow key moves among option buttons. Backends report
// the keys and the user's moves of the focus, and show the focus where the form has it.
class Keyboard {
  public:
    explicit Keyboard(Form& form) : form_(form) {}

    // The control that has the focus, or none.
    Control* activeControl() const { return active_; }
    // The user moved the focus (the backends call this): noted, not sent back to the window.
    void userFocused(Control* control) { active_ = control; }
    // The program moves the focus (Control::setFocus): noted and shown.
    void focus(Control* control);
    // The form is being shown: the focus goes to the first control in the tab order that can have it,
    // unless one has it already. The form tells the peer once its window is up.
    void focusOnShow();

    // The controls Tab stops at, in tab order (by tab index, ties in the form's order).
    std::vector<Control*> tabOrder() const;
    // Tab (forward) and Shift+Tab: the focus moves to the next stop that can have it, round, from
    // wherever it is (also from a control Tab does not stop at, by its tab index).
    void tab(bool forward);
    // An arrow key, before the control with the focus sees it (down and right forward). On an option
    // button it selects the next option of its group (or the previous one), in tab order and round,
    // which takes the focus. It is the text box's own (the caret) and does nothing elsewhere. Returns
    // whether the form took the key: one it leaves goes on to the control.
    bool arrowKey(bool forward);
    // A character the control with the focus did not take for itself, Enter (13) and Esc (27) among
    // them: that control hears it first and may consume it; then Enter clicks the button with the
    // focus, or else the default button, and Esc clicks the cancel button.
    void keyPress(std::int16_t keyAscii);
    // Whether the focus shows its mark: once a key has reached the form, as the system shows focus
    // cues only after the keyboard is used; a click alone shows none (the meter's picture has the
    // focus whenever its window is clicked).
    bool showsFocusMark() const { return keyed_; }

  private:
    bool live() const;

    Form& form_;
    Control* active_ = nullptr;
    bool keyed_ = false;
};

}  // namespace corvane
