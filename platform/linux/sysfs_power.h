#pragma once
#include <filesystem>

#include "platform/power.h"

namespace corvane {

// Reads the power supplies under root (normally /sys/class/power_supply) into
// the Windows-shaped record. Never throws: anything unreadable maps to the
// record's "unknown" values.
SystemPowerStatus readSysfsPowerStatus(const std::filesystem::path& root);

// The same for the running system's /sys/class/power_supply.
SystemPowerStatus readPlatformPowerStatus();

}  // namespace corvane
