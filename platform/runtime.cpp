#include "platform/runtime.h"

#include <algorithm>

namespace corvane {

void Runtime::end() {
    if (ended_) return;
    ended_ = true;
    stopLoop();
}

void Runtime::endSession() {
    const std::vector<Form*> forms = forms_;  // a handler may create or release forms
    for (Form* f : forms) {
        if (ended_) return;
        if (std::find(forms_.begin(), forms_.end(), f) != forms_.end()) f->queryUnload(kCloseSessionEnd);
    }
}

void Runtime::anotherStarted() {
    post([this] {
        if (onAnotherStart) onAnotherStart();
    });
}

}  // namespace corvane
