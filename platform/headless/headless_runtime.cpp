#include "platform/headless/headless_runtime.h"

#include <cstdio>

namespace corvane {

HeadlessRuntime::HeadlessRuntime() = default;
HeadlessRuntime::~HeadlessRuntime() = default;

std::unique_ptr<FormPeer> HeadlessRuntime::createFormPeer(Form& form) {
    return std::make_unique<HeadlessFormPeer>(form, calls);
}

std::unique_ptr<Runtime> createRuntime(int, char**) { return std::make_unique<HeadlessRuntime>(); }

bool writeToConsole(const std::string& out, const std::string& err) {
    const bool written = std::fputs(out.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return std::fputs(err.c_str(), stderr) >= 0 && written;
}

}  // namespace corvane
