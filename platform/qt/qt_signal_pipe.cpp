#include "platform/qt/qt_signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/qt/qt_descriptor_watch.h"

namespace corvane {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// One pipe for the process: a signal handler can reach nothing else.
int gPipe[2] = {-1, -1};

// Only an async-signal-safe write here; the event loop does the real work.
void onSignalHandler(int sig) {
    const auto b = static_cast<unsigned char>(sig);
    const int saved = errno;
    [[maybe_unused]] const auto n = ::write(gPipe[1], &b, 1);
    errno = saved;
}

}  // namespace

QtSignalPipe::QtSignalPipe(QtDescriptorWatch& watch, std::function<void()> onSignal)
    : watch_(watch), onSignal_(std::move(onSignal)) {
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    installed_ = true;
    watch_.watch(gPipe[0], [this] {
        unsigned char b;
        while (::read(gPipe[0], &b, 1) == 1) {
        }
        if (onSignal_) onSignal_();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignalHandler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int sig : kSignals) ::sigaction(sig, &sa, nullptr);
}

QtSignalPipe::~QtSignalPipe() {
    if (!installed_) return;
    // The default action again before the pipe goes, so a late signal still ends the process.
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (const int sig : kSignals) ::sigaction(sig, &sa, nullptr);
    watch_.forget(gPipe[0]);
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

}  // namespace corvane
