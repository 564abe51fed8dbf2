#pragma once
// Scripted time: nothing happens until a test advances it. Timers fire in time order, deferred calls
// run before the next timer, and the clock reads the scripted time of day.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace corvane {

class HeadlessTime final : public Clock {
  public:
    HeadlessTime(Runtime& runtime, std::vector<std::string>& log) : runtime_(runtime), log_(log) {}

    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer);
    void post(std::function<void()> fn) { posted_.push_back(std::move(fn)); }

    // Runs every deferred call and every timer that falls due within the next ms milliseconds, in
    // time order.
    void advance(long long ms);
    // Runs the deferred calls only, as the event loop does right after the handler that posted them.
    void runPosted();
    long long now() const { return nowMs_; }
    void setTimeOfDay(int hour, int minute, int second);

    std::string timeOfDay() override;  // "HH:MM:SS"

  private:
    friend class HeadlessTimerPeer;
    struct Entry {
        Timer* timer;
        long long due;  // -1 while stopped
    };
    Runtime& runtime_;
    std::vector<std::string>& log_;
    std::vector<Entry> timers_;
    std::deque<std::function<void()>> posted_;
    long long nowMs_ = 0;
    int startSecondOfDay_ = 10 * 3600;
};

}  // namespace corvane
