#pragma once
// The descriptors that rarely have anything to read (the signal pipe, the one-copy socket, a fake
// battery's folder watch), waited on by the event loop as one. The loop wakes every second for the
// tick, and each wake-up asks the kernel about every descriptor it waits on; grouped in an epoll set,
// they cost the loop one descriptor however many there are.

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace corvane {

class QtDescriptorWatch {
  public:
    QtDescriptorWatch();
    ~QtDescriptorWatch();
    QtDescriptorWatch(const QtDescriptorWatch&) = delete;
    QtDescriptorWatch& operator=(const QtDescriptorWatch&) = delete;

    // ready runs from the event loop while fd has something to read; it must read it.
    void watch(int fd, std::function<void()> ready);
    // Before fd is closed.
    void forget(int fd);

  private:
    struct Watched {
        int fd;
        std::function<void()> ready;
        std::unique_ptr<QSocketNotifier> alone;  // only where no epoll set could be made
    };
    void dispatch();

    int set_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<Watched> watched_;
};

}  // namespace corvane
