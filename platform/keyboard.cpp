#include "platform/keyboard.h"

#include <algorithm>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

namespace {

// By tab index; ties stay in the form's order.
template <class C>
void sortByTabIndex(std::vector<C*>& controls) {
    std::stable_sort(controls.begin(), controls.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
}

}  // namespace

bool Keyboard::live() const { return !form_.runtime().ended() && form_.loaded(); }

void Keyboard::focus(Control* control) {
    active_ = control;
    form_.peer().focusChanged();
}

void Keyboard::focusOnShow() {
    if (active_ && active_->canHaveFocus()) return;
    active_ = nullptr;
    for (Control* c : tabOrder())
        if (c->canHaveFocus()) {
            active_ = c;
            break;
        }
}

std::vector<Control*> Keyboard::tabOrder() const {
    std::vector<Control*> order;
    for (const auto& c : form_.controls())
        if (c->tabStop()) order.push_back(c.get());
    sortByTabIndex(order);
    return order;
}

void Keyboard::keyPress(std::int16_t keyAscii) {
    if (!live()) return;
    Control* focused = active_;
    if (focused) {
        focused->keyPress(keyAscii);
        if (keyAscii == 0 || !live()) return;
    }
    Control* button = nullptr;
    if (keyAscii == kKeyReturn && focused && focused->as<CommandButton>()) {
        button = focused;
    } else {
        for (const auto& c : form_.controls())
            if (const auto* b = c->as<CommandButton>(); b && ((keyAscii == kKeyReturn && b->isDefault()) ||
                                                              (keyAscii == kKeyEscape && b->isCancel())))
                button = c.get();
    }
    if (button && button->canHaveFocus()) button->click();
}

void Keyboard::arrowKey(bool forward) {
    if (!live() || !active_ || !active_->as<OptionButton>()) return;
    std::vector<OptionButton*> group;
    for (const auto& c : form_.controls())
        if (auto* option = c->as<OptionButton>();
            option && option->container() == active_->container() && option->canHaveFocus())
            group.push_back(option);
    sortByTabIndex(group);
    const auto at = std::find(group.begin(), group.end(), active_);
    if (at == group.end()) return;
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    OptionButton* next = group[static_cast<std::size_t>(((at - group.begin()) + (forward ? 1 : n - 1)) % n)];
    next->setFocus();
    next->userClicked();
}

}  // namespace corvane
