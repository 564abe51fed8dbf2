// Prints the battery record as the Linux backend reads it, in one line, so
// scripts can check the reader against a fake or real /sys tree.
#include <cstdio>

#include "platform/linux/sysfs_power.h"

int main() {
    const corvane::SystemPowerStatus s = corvane::readPlatformPowerStatus();
    std::printf(
        "ACLineStatus=%u BatteryFlag=%u BatteryLifePercent=%u BatteryLifeTime=%d BatteryFullLifeTime=%d\n",
        s.ACLineStatus, s.BatteryFlag, s.BatteryLifePercent, static_cast<int>(s.BatteryLifeTime),
        static_cast<int>(s.BatteryFullLifeTime));
    return 0;
}
