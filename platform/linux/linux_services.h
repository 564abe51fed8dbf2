#pragma once
// The Linux backend's services that need no window system: the battery and the local time of day.

#include <ctime>
#include <limits>
#include <string>

#include "platform/linux/sysfs_power.h"
#include "platform/runtime.h"

namespace corvane {

// The battery as /sys/class/power_supply describes it, read afresh on every call: the power source and
// the level, all the program reads of it.
class SysfsPowerService final : public PowerService {
  public:
    int getSystemPowerStatus(SystemPowerStatus& status) override;
    SysfsPowerReader& reader() { return reader_; }

  private:
    SysfsPowerReader reader_{kPowerSupplyRoot, SysfsPowerReader::Detail::kSourceAndLevel};
};

class LocalClock final : public Clock {
  public:
    // The time comes from the system; a test hands in a source of its own to step across a minute.
    explicit LocalClock(std::time_t (*now)(std::time_t*) = std::time) : now_(now) {}
    std::string timeOfDay() override;

  private:
    std::time_t (*now_)(std::time_t*);
    long offset_ = 0;                                                     // seconds east of UTC
    std::time_t offsetMinute_ = std::numeric_limits<std::time_t>::min();  // the UTC minute it was taken in
};

}  // namespace corvane
