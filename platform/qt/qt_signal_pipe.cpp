#include "platform/qt/qt_signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

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

QtSignalPipe::QtSignalPipe(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
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
    if (!notifier_) return;
    // The default action again before the pipe goes, so a late signal still ends the process.
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (const int sig : kSignals) ::sigaction(sig, &sa, nullptr);
    notifier_.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

}  // namespace corvane
