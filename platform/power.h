#pragma once
#include <cstdint>

namespace corvane {

// The battery reading every backend produces, laid out as the Windows call
// fills it, so the monitor code reads one record whatever the platform.
struct SystemPowerStatus {
    std::uint8_t ACLineStatus = 0;  // 0 offline, 1 online, 255 unknown
    std::uint8_t BatteryFlag = 0;
    std::uint8_t BatteryLifePercent = 0;  // 0..100, 255 unknown
    std::uint8_t Reserved1 = 0;
    std::int32_t BatteryLifeTime = 0;      // seconds, -1 unknown
    std::int32_t BatteryFullLifeTime = 0;  // seconds, -1 unknown
};

constexpr std::uint8_t kACOffline = 0;
constexpr std::uint8_t kACOnline = 1;
constexpr std::uint8_t kUnknownByte = 255;
constexpr std::uint8_t kBatteryFlagHigh = 1;
constexpr std::uint8_t kBatteryFlagLow = 2;
constexpr std::uint8_t kBatteryFlagCritical = 4;
constexpr std::uint8_t kBatteryFlagCharging = 8;
constexpr std::uint8_t kBatteryFlagNoBattery = 128;

}  // namespace corvane
