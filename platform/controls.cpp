#include "platform/controls.h"

#include <utility>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

namespace {

// Each other control of the same kind on the form, for the settings of which at most one is on: the
// selected option of a group, the default and the cancel button.
template <class K, class F>
void forOthers(K& self, F&& f) {
    for (const auto& c : self.owner().controls())
        if (auto* other = c->template as<K>(); other && other != &self) f(*other);
}

}  // namespace

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
    setWidth(textWidthIn(owner(), font(), caption(), TextWidth::Fit));
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
        forOthers(*this, [this](OptionButton& other) {
            if (other.container() != container() || !other.value_) return;
            other.value_ = false;
            other.changed();
        });
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
        forOthers(*this, [](CommandButton& other) {
            if (!other.default_) return;
            other.default_ = false;
            other.changed();
        });
    default_ = on;
    changed();
}

void CommandButton::setCancel(bool on) {
    if (on) forOthers(*this, [](CommandButton& other) { other.cancel_ = false; });
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
