#include "platform/linux/linux_services.h"

#include <ctime>

namespace corvane {

int SysfsPowerService::getSystemPowerStatus(SystemPowerStatus& status) {
    status = reader_.read();
    return 1;
}

std::string LocalClock::timeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    // Written by hand: the locale's formatting code is pages the once-a-second tick would touch.
    char text[] = "00:00:00";
    const int parts[] = {local.tm_hour, local.tm_min, local.tm_sec};
    for (int i = 0; i < 3; ++i) {
        text[3 * i] = static_cast<char>('0' + parts[i] / 10);
        text[3 * i + 1] = static_cast<char>('0' + parts[i] % 10);
    }
    return text;
}

}  // namespace corvane
