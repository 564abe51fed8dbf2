#include "platform/qt/qt_descriptor_watch.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <utility>

#include "platform/linux/interrupted.h"

namespace corvane {

QtDescriptorWatch::QtDescriptorWatch() : set_(::epoll_create1(EPOLL_CLOEXEC)) {
    if (set_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(set_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { dispatch(); });
}

QtDescriptorWatch::~QtDescriptorWatch() {
    notifier_.reset();
    if (set_ >= 0) ::close(set_);
}

void QtDescriptorWatch::watch(int fd, std::function<void()> ready) {
    if (fd < 0) return;
    forget(fd);
    Watched& w = watched_.emplace_back(Watched{fd, std::move(ready), nullptr});
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (set_ >= 0 && ::epoll_ctl(set_, EPOLL_CTL_ADD, fd, &event) == 0) return;
    // Without the set (no memory, or no descriptors left) each is waited on by itself, as is any
    // descriptor epoll does not take: a program that no longer hears its end is worse than a slower loop.
    w.alone = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(w.alone.get(), &QSocketNotifier::activated, [ready = w.ready] { ready(); });
}

void QtDescriptorWatch::forget(int fd) {
    const auto it =
        std::find_if(watched_.begin(), watched_.end(), [fd](const Watched& w) { return w.fd == fd; });
    if (it == watched_.end()) return;
    if (!it->alone) ::epoll_ctl(set_, EPOLL_CTL_DEL, fd, nullptr);
    watched_.erase(it);
}

void QtDescriptorWatch::dispatch() {
    std::array<epoll_event, 4> events;
    const int n = retryInterrupted([&] { return ::epoll_wait(set_, events.data(), int(events.size()), 0); });
    for (int i = 0; i < n; ++i) {
        // A call before may have forgotten this one, or ended the program.
        const auto it = std::find_if(watched_.begin(), watched_.end(),
                                     [fd = events[i].data.fd](const Watched& w) { return w.fd == fd; });
        if (it == watched_.end()) continue;
        const std::function<void()> ready = it->ready;  // it may forget itself
        ready();
    }
}

}  // namespace corvane
