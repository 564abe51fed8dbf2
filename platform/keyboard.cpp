#include "platform/keyboard.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

namespace {

// By tab index; ties stay in the form's order. An insertion sort: a form has a few dozen controls at
// most, and the library's stable sort would add 1.7 KB to the code every start runs.
template <class C>
void sortByTabIndex(std::vector<C*>& controls) {
    for (std::size_t i = 1; i < controls.size(); ++i)
        for (std::size_t j = i; j > 0 && controls[j]->tabIndex() < controls[j - 1]->tabIndex(); --j)
            std::swap(controls[j], controls[j - 1]);
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

// From a control Tab does not stop at (a clicked option that is not the chosen one), Tab goes on by
// that control's tab index, as from a stop.
void Keyboard::tab(bool forward) {
    if (!live()) return;
    keyed_ = true;
    std::vector<Control*> chain;
    for (const auto& c : form_.controls())
        if (c->tabStop() || c.get() == active_) chain.push_back(c.get());
    sortByTabIndex(chain);
    const auto n = static_cast<std::ptrdiff_t>(chain.size());
    const auto at = std::find(chain.begin(), chain.end(), active_);
    std::ptrdiff_t i = at != chain.end() ? at - chain.begin() : forward ? n - 1 : 0;
    for (std::ptrdiff_t step = 0; step < n; ++step) {
        i = (i + (forward ? 1 : n - 1)) % n;
        if (Control* c = chain[static_cast<std::size_t>(i)]; c != active_ && c->canHaveFocus()) {
            focus(c);
            return;
        }
    }
}

bool Keyboard::arrowKey(bool forward) {
    if (!live()) return false;
    keyed_ = true;
    if (!active_ || active_->as<TextBox>()) return false;
    if (!active_->as<OptionButton>()) return true;
    std::vector<OptionButton*> group;
    for (const auto& c : form_.controls())
        if (auto* option = c->as<OptionButton>();
            option && option->container() == active_->container() && option->canHaveFocus())
            group.push_back(option);
    sortByTabIndex(group);
    const auto at = std::find(group.begin(), group.end(), active_);
    if (at == group.end()) return true;
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    OptionButton* next = group[static_cast<std::size_t>(((at - group.begin()) + (forward ? 1 : n - 1)) % n)];
    // Chosen before it takes the focus: a window system that clicks an option as it takes the focus
    // finds it chosen already.
    next->userClicked();
    if (live()) next->setFocus();
    return true;
}

void Keyboard::keyPress(std::int16_t keyAscii) {
    if (!live()) return;
    keyed_ = true;
    Control* focused = active_;
    if (focused) {
        focused->keyPress(keyAscii);  // a key it swallows comes back as 0, which presses no button
        if (!live()) return;
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

}  // namespace corvane
