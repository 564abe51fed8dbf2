#include "platform/controls.h"

#include <utility>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

Label::Label(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    contentChanged();
}

void Label::contentChanged() {
    if (!autoSize_) {
        changed();
        return;
    }
    setWidth(textWidthIn(owner(), font(), caption()));
    setHeight(textHeightIn(owner(), font(), caption()));
}

TextBox::TextBox(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container),
      backColor_(owner.runtime().screen().systemColor(SystemColor::Window)) {}

void TextBox::setText(std::string text) {
    text_ = std::move(text);
    changed();
}

void TextBox::setLocked(bool on) {
    locked_ = on;
    changed();
}

void TextBox::setBorder(bool on) {
    border_ = on;
    changed();
}

void TextBox::setBackColor(Color c) {
    backColor_ = c;
    changed();
}

void TextBox::userEdited(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (onChange && live()) onChange();
}

CheckBox::CheckBox(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

void CheckBox::setValue(std::int16_t v) {
    value_ = v;
    changed();
}

void CheckBox::userClicked() {
    setValue(value_ == kChecked ? kUnchecked : kChecked);
    click();
}

OptionButton::OptionButton(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

void OptionButton::setValue(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (auto* other = c->as<OptionButton>();
                other && other != this && other->container() == container() && other->value_) {
                other->value_ = false;
                other->changed();
            }
    value_ = on;
    changed();
}

void OptionButton::userClicked() {
    setValue(true);
    click();
}

CommandButton::CommandButton(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

void CommandButton::setDefault(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (auto* other = c->as<CommandButton>(); other && other != this && other->default_) {
                other->default_ = false;
                other->changed();
            }
    default_ = on;
    changed();
}

void CommandButton::setCancel(bool on) {
    if (on)
        for (const auto& c : owner().controls())
            if (auto* other = c->as<CommandButton>(); other && other != this) other->cancel_ = false;
    cancel_ = on;
}

Frame::Frame(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

Image::Image(Form& owner, std::string name, Control* container)
    : Control(owner, std::move(name), kKind, container) {}

void Image::setPicture(PixelImage picture) {
    picture_ = std::move(picture);
    changed();
}

}  // namespace corvane
