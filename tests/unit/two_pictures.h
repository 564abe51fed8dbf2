#pragma once
// A form of the tests' own: two pictures, the second lying over the right half of the first, each
// writing down what reaches it. The headless tests and a real backend's tests feed it the same mouse,
// so both show that every backend routes the mouse by the one rule.

#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"

namespace corvane::test {

// A form's or control's left, top, width and height in one call.
inline void place(Placement& c, double left, double top, double width, double height) {
    c.setLeft(left);
    c.setTop(top);
    c.setWidth(width);
    c.setHeight(height);
}

// The names of controls in a row, each followed by a blank.
template <class Controls>
std::string namesOf(const Controls& controls) {
    std::string names;
    for (const Control* c : controls) names += c->name() + " ";
    return names;
}

struct TwoPictures {
    explicit TwoPictures(Runtime& rt, FormStyle style = FormStyle{.caption = "Test", .font = {}})
        : window(rt, "dlg", std::move(style)) {
        window.setScaleMode(ScaleMode::Pixels);
        for (Picture* p : {&under, &over}) {
            place(*p, p == &over ? 10 : 0, 0, 20, 10);
            const std::string name = p->name();
            p->onMouseDown = [this, name](const MouseArgs& e) { log("down", name, e); };
            p->onMouseMove = [this, name](const MouseArgs& e) { log("move", name, e); };
            p->onMouseUp = [this, name](const MouseArgs& e) { log("up", name, e); };
            p->onDblClick = [this, name] { seen.push_back("dbl " + name); };
        }
    }
    void log(const char* what, const std::string& name, const MouseArgs& e) {
        seen.push_back(std::string(what) + " " + name + " " + std::to_string(int(e.x)) + "," +
                       std::to_string(int(e.y)) + " b" + std::to_string(e.button));
    }
    Form window;
    Picture& under = window.addPicture("under");
    Picture& over = window.addPicture("over");
    std::vector<std::string> seen;
};

}  // namespace corvane::test
