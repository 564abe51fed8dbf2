#include "platform/headless/headless_runtime.h"

namespace corvane {

HeadlessRuntime::HeadlessRuntime() = default;
HeadlessRuntime::~HeadlessRuntime() = default;

std::unique_ptr<FormPeer> HeadlessRuntime::createFormPeer(Form& form) {
    return std::make_unique<HeadlessFormPeer>(form, calls);
}

std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<HeadlessRuntime>(); }

}  // namespace corvane
