#pragma once
// The program's timers: each ticks on the event loop while it is enabled with an interval.

#include <functional>
#include <memory>
#include <string>

namespace corvane {

class Runtime;
class TimerPeer;

class Timer {
  public:
    Timer(Runtime& runtime, std::string name, int intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    void setEnabled(bool on);
    void setInterval(int ms);
    // A timer ticks only while it is enabled with a non-zero interval.
    bool running() const { return enabled_ && interval_ > 0; }

    std::function<void()> onTimer;
    void fire();  // backends call this on every tick

  private:
    Runtime& runtime_;
    std::string name_;
    int interval_;
    bool enabled_;
    std::unique_ptr<TimerPeer> peer_;
};

}  // namespace corvane
