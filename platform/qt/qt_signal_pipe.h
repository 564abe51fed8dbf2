#pragma once
// SIGTERM, SIGINT and SIGHUP reach the program as an event of its loop: the signal handler only writes
// a byte into a pipe, and the loop reads it and calls the program back.

#include <functional>

namespace corvane {

class QtDescriptorWatch;

class QtSignalPipe {
  public:
    // Installs the handlers; onSignal runs from the event loop, once for each batch of signals. The
    // watch must outlive the pipe.
    QtSignalPipe(QtDescriptorWatch& watch, std::function<void()> onSignal);
    ~QtSignalPipe();
    QtSignalPipe(const QtSignalPipe&) = delete;
    QtSignalPipe& operator=(const QtSignalPipe&) = delete;

  private:
    QtDescriptorWatch& watch_;
    std::function<void()> onSignal_;
    bool installed_ = false;
};

}  // namespace corvane
