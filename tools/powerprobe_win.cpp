// Prints what GetSystemPowerStatus reports, in the same one-line shape as the
// Linux probe, so test scripts can compare both readers on one fake battery.
#include <windows.h>

#include <cstdio>

int main() {
    SYSTEM_POWER_STATUS s{};
    if (!GetSystemPowerStatus(&s)) {
        std::fprintf(stderr, "GetSystemPowerStatus failed: %lu\n", GetLastError());
        return 1;
    }
    std::printf(
        "ACLineStatus=%u BatteryFlag=%u BatteryLifePercent=%u BatteryLifeTime=%ld BatteryFullLifeTime=%ld\n",
        s.ACLineStatus, s.BatteryFlag, s.BatteryLifePercent, static_cast<long>(s.BatteryLifeTime),
        static_cast<long>(s.BatteryFullLifeTime));
    return 0;
}
