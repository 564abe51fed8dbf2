#include "platform/headless/headless_time.h"

#include <cstdio>

namespace corvane {

class HeadlessTimerPeer final : public TimerPeer {
  public:
    HeadlessTimerPeer(HeadlessTime& time, Timer& timer) : time_(time), timer_(timer) {
        time_.timers_.push_back({&timer_, -1});
        stateChanged();
    }
    ~HeadlessTimerPeer() override {
        std::erase_if(time_.timers_, [this](const auto& e) { return e.timer == &timer_; });
    }
    void stateChanged() override {
        for (auto& e : time_.timers_)
            if (e.timer == &timer_) e.due = timer_.running() ? time_.nowMs_ + timer_.interval() : -1;
    }

  private:
    HeadlessTime& time_;
    Timer& timer_;
};

std::unique_ptr<TimerPeer> HeadlessTime::createTimerPeer(Timer& timer) {
    return std::make_unique<HeadlessTimerPeer>(*this, timer);
}

void HeadlessTime::runPosted() {
    while (!posted_.empty() && !runtime_.ended()) {
        auto fn = std::move(posted_.front());
        posted_.pop_front();
        fn();
    }
}

void HeadlessTime::advance(long long ms) {
    const long long target = nowMs_ + ms;
    for (;;) {
        runPosted();
        if (runtime_.ended()) break;
        // The earliest due timer; ties go to the one created first, as a message queue would order them.
        Entry* next = nullptr;
        for (auto& e : timers_)
            if (e.due >= 0 && e.due <= target && (!next || e.due < next->due)) next = &e;
        if (!next) break;
        nowMs_ = next->due;
        next->due += next->timer->interval();
        next->timer->fire();  // may create or destroy timers: next is not used after this
    }
    nowMs_ = target;
}

void HeadlessTime::setTimeOfDay(int hour, int minute, int second) {
    startSecondOfDay_ =
        static_cast<int>((hour * 3600 + minute * 60 + second - nowMs_ / 1000) % 86400 + 86400) % 86400;
}

std::string HeadlessTime::timeOfDay() {
    log_.emplace_back("Time");
    const long long s = (startSecondOfDay_ + nowMs_ / 1000) % 86400;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    return buf;
}

}  // namespace corvane
