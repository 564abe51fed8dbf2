#pragma once
// A system call that a signal interrupts before it has done anything fails with EINTR, unless the
// handler asked for restarts; the reads and writes of files made again then, as if nothing had come.

#include <cerrno>

namespace corvane {

// call's result, the call made again for as long as it fails with EINTR.
template <typename Call>
auto retryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

}  // namespace corvane
