#pragma once
// SIGTERM, SIGINT and SIGHUP reach the program as an event of its loop: the signal handler only writes
// a byte into a pipe, and the loop reads it and calls the program back.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace corvane {

class QtSignalPipe {
  public:
    // Installs the handlers; onSignal runs from the event loop, once for each batch of signals.
    explicit QtSignalPipe(std::function<void()> onSignal);
    ~QtSignalPipe();
    QtSignalPipe(const QtSignalPipe&) = delete;
    QtSignalPipe& operator=(const QtSignalPipe&) = delete;

  private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace corvane
