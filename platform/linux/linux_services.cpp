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
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return buf;
}

}  // namespace corvane
