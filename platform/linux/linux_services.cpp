#include "platform/linux/linux_services.h"

#include <ctime>

namespace corvane {

int SysfsPowerService::getSystemPowerStatus(SystemPowerStatus& status) {
    status = reader_.read();
    return 1;
}

// The zone's offset from UTC changes only at its transitions, which fall on whole minutes: it is taken
// from localtime_r at the first reading of each minute and added by hand at the others. Found cold, as
// the tick finds it a second after the last one, localtime_r costs 4 to 6 us (its lock and the zone's
// tables), more than ten times what the sum costs.
std::string LocalClock::timeOfDay() {
    const std::time_t now = now_(nullptr);
    const std::time_t minute = now / 60;
    if (minute != offsetMinute_) {
        std::tm local{};
        if (!::localtime_r(&now, &local)) return "00:00:00";
        offset_ = local.tm_gmtoff;
        offsetMinute_ = minute;
    }
    constexpr std::time_t kDay = 24 * 60 * 60;
    const std::time_t secondOfDay = ((now + offset_) % kDay + kDay) % kDay;
    // Written by hand: the locale's formatting code is pages the once-a-second tick would touch.
    char text[] = "00:00:00";
    char* at = text;
    for (const std::time_t part : {secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60}) {
        at[0] = static_cast<char>('0' + part / 10);
        at[1] = static_cast<char>('0' + part % 10);
        at += 3;  // past the colon
    }
    return text;
}

}  // namespace corvane
