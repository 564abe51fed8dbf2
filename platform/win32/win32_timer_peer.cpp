#include "platform/win32/win32_timer_peer.h"

namespace corvane {

std::unique_ptr<TimerPeer> Win32Timers::createPeer(Timer& timer) {
    return std::make_unique<Win32TimerPeer>(*this, timer);
}

void Win32Timers::fire(UINT_PTR id) {
    // Looked up afresh for every tick: a handler may create or destroy timers.
    const auto it = peers_.find(id);
    if (it != peers_.end()) it->second->timer().fire();
}

void Win32Timers::stopAll() {
    stopped_ = true;
    // Ticks already queued are dropped by the model, which sees that the program has ended.
    for (const auto& [id, peer] : peers_) KillTimer(window_, id);
}

Win32TimerPeer::Win32TimerPeer(Win32Timers& timers, Timer& timer)
    : timers_(timers), timer_(timer), id_(timers.nextId_++) {
    timers_.peers_[id_] = this;
    stateChanged();
}

Win32TimerPeer::~Win32TimerPeer() {
    KillTimer(timers_.window_, id_);
    timers_.peers_.erase(id_);
}

void Win32TimerPeer::stateChanged() {
    if (timer_.running() && !timers_.stopped_)
        SetTimer(timers_.window_, id_, static_cast<UINT>(timer_.interval()), nullptr);
    else
        KillTimer(timers_.window_, id_);
}

}  // namespace corvane
