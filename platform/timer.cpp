#include "platform/timer.h"

#include <algorithm>
#include <utility>

#include "platform/runtime.h"

namespace corvane {

Timer::Timer(Runtime& runtime, std::string name, int intervalMs, bool enabled)
    : runtime_(runtime),
      name_(std::move(name)),
      interval_(std::max(0, intervalMs)),
      enabled_(enabled),
      peer_(runtime.createTimerPeer(*this)) {}

Timer::~Timer() = default;

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    peer_->stateChanged();
}

void Timer::setInterval(int ms) {
    interval_ = std::max(0, ms);
    peer_->stateChanged();
}

void Timer::fire() {
    if (runtime_.ended() || !running()) return;
    if (onTimer) onTimer();
}

}  // namespace corvane
