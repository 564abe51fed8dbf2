#pragma once
// The kinds of control: the picture box (picture.h), labels, text boxes, check boxes, option buttons,
// buttons, frames and images, and the one visit over them.

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/control.h"
#include "platform/graphics.h"
#include "platform/picture.h"

namespace corvane {

// A caption on the form's background, at the size it is given or, with autoSize, the width and height
// of its caption measured in its font.
class Label final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::Label;
    static constexpr bool kTakesFocus = false;
    Label(Form& owner, std::string name, Control* container = nullptr);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

  protected:
    void contentChanged() override;

  private:
    bool autoSize_ = false;
};

// A line of text the user can edit, unless it is locked.
class TextBox final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::TextBox;
    static constexpr bool kTakesFocus = true;
    TextBox(Form& owner, std::string name, Control* container = nullptr);
    const std::string& text() const { return text_; }
    // The program's change: shown, and not reported back as if the user had typed it.
    void setText(std::string text);
    bool locked() const { return locked_; }
    void setLocked(bool on);
    bool border() const { return border_; }
    void setBorder(bool on);
    Color backColor() const { return backColor_; }
    void setBackColor(Color c);

    // The user changed the text (the backends call this); onChange hears of it.
    void userEdited(std::string text);
    std::function<void()> onChange;

  private:
    std::string text_;
    bool locked_ = false;
    bool border_ = true;
    Color backColor_;
};

constexpr std::int16_t kUnchecked = 0;
constexpr std::int16_t kChecked = 1;

class CheckBox final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::CheckBox;
    static constexpr bool kTakesFocus = true;
    CheckBox(Form& owner, std::string name, Control* container = nullptr);
    std::int16_t value() const { return value_; }
    // The program's change: no click.
    void setValue(std::int16_t v);
    // The user clicked it or pressed Space on it (the backends call this): checked becomes clear and
    // anything else checked, then onClick.
    void userClicked();

  private:
    std::int16_t value_ = kUnchecked;
};

// One of a group of options: the option buttons in the same container, of which at most one is
// selected.
class OptionButton final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::OptionButton;
    static constexpr bool kTakesFocus = true;
    OptionButton(Form& owner, std::string name, Control* container = nullptr);
    bool value() const { return value_; }
    // Selecting one clears the others of its group. The program's change: no click.
    void setValue(bool on);
    // The user chose it (the backends call this): selected, then onClick.
    void userClicked();

  private:
    bool value_ = false;
};

class CommandButton final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::CommandButton;
    static constexpr bool kTakesFocus = true;
    CommandButton(Form& owner, std::string name, Control* container = nullptr);
    // Enter presses the default button and Esc the cancel button (see Keyboard::keyPress); a form has at
    // most one of each.
    bool isDefault() const { return default_; }
    void setDefault(bool on);
    bool isCancel() const { return cancel_; }
    void setCancel(bool on);

  private:
    bool default_ = false;
    bool cancel_ = false;
};

// A container with an optional caption along its top edge: its controls' places are relative to its
// top left corner.
class Frame final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::Frame;
    static constexpr bool kTakesFocus = false;
    Frame(Form& owner, std::string name, Control* container = nullptr);
};

// A picture the program hands over whole, shown at the control's top left corner and cut off at its
// edges.
class Image final : public Control {
  public:
    static constexpr ControlKind kKind = ControlKind::Image;
    static constexpr bool kTakesFocus = false;
    Image(Form& owner, std::string name, Control* container = nullptr);
    const PixelImage& picture() const { return picture_; }
    void setPicture(PixelImage picture);

  private:
    PixelImage picture_;
};

// A visitor made of lambdas, one for each kind: Overloaded{[](Picture&) {...}, [](Label&) {...}, ...}.
template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

template <class F>
decltype(auto) Control::visit(F&& f) {
    switch (kind_) {
        case ControlKind::Picture:
            return std::forward<F>(f)(static_cast<Picture&>(*this));
        case ControlKind::Label:
            return std::forward<F>(f)(static_cast<Label&>(*this));
        case ControlKind::TextBox:
            return std::forward<F>(f)(static_cast<TextBox&>(*this));
        case ControlKind::CheckBox:
            return std::forward<F>(f)(static_cast<CheckBox&>(*this));
        case ControlKind::OptionButton:
            return std::forward<F>(f)(static_cast<OptionButton&>(*this));
        case ControlKind::CommandButton:
            return std::forward<F>(f)(static_cast<CommandButton&>(*this));
        case ControlKind::Frame:
            return std::forward<F>(f)(static_cast<Frame&>(*this));
        case ControlKind::Image:
            break;
    }
    return std::forward<F>(f)(static_cast<Image&>(*this));
}

template <class F>
decltype(auto) Control::visit(F&& f) const {
    return const_cast<Control&>(*this).visit(
        [&f](auto& control) -> decltype(auto) { return std::forward<F>(f)(std::as_const(control)); });
}

}  // namespace corvane
