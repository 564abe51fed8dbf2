#pragma once
#include <filesystem>
#include <memory>

#include "platform/power.h"

namespace corvane {

inline constexpr const char* kPowerSupplyRoot = "/sys/class/power_supply";

// Reads the power supplies under root (normally kPowerSupplyRoot) into the
// Windows-shaped record. Never throws: anything unreadable maps to the record's
// "unknown" values. Keeps the files it reads open for the next reading.
class SysfsPowerReader {
  public:
    explicit SysfsPowerReader(std::filesystem::path root);
    ~SysfsPowerReader();
    SysfsPowerReader(const SysfsPowerReader&) = delete;
    SysfsPowerReader& operator=(const SysfsPowerReader&) = delete;

    SystemPowerStatus read();

    class Files;

  private:
    std::unique_ptr<Files> files_;
};

// One reading, nothing kept open.
SystemPowerStatus readSysfsPowerStatus(const std::filesystem::path& root);

// The same for the running system's supplies.
SystemPowerStatus readPlatformPowerStatus();

}  // namespace corvane
