#pragma once
// A form of the tests' own, over any runtime: two pictures, the second lying over the right half of the
// first, each writing down what reaches it.

#include <string>
#include <vector>

#include "platform/forms.h"

namespace corvane {

struct TwoPictures {
    explicit TwoPictures(Runtime& rt) : window(rt, "dlg", FormStyle{.caption = "Test", .font = {}}) {
        window.setScaleMode(ScaleMode::Pixels);
        for (Picture* p : {&under, &over}) {
            p->setTop(0), p->setWidth(20), p->setHeight(10);
            const std::string name = p->name();
            p->onMouseDown = [this, name](const MouseArgs& e) { log("down", name, e); };
            p->onMouseMove = [this, name](const MouseArgs& e) { log("move", name, e); };
            p->onMouseUp = [this, name](const MouseArgs& e) { log("up", name, e); };
            p->onDblClick = [this, name] { seen.push_back("dbl " + name); };
        }
        over.setLeft(10);
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

}  // namespace corvane
