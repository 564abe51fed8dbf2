#include "platform/linux/sysfs_power.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Every attribute we read is a short number or word. Reading no more than
// this keeps a stray huge or endless file from stalling the meter.
constexpr std::size_t kMaxAttrBytes = 64;

// First line of an attribute with surrounding blanks stripped; empty when the
// file is missing, unreadable, not a plain file or longer than any real value.
std::string readAttr(const fs::path& dir, const char* name) {
    const fs::path path = dir / name;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};  // a FIFO or device here would block or never end
    std::ifstream in(path, std::ios::binary);
    char buf[kMaxAttrBytes];
    in.read(buf, sizeof buf);
    std::string text(buf, static_cast<std::size_t>(in.gcount()));
    const auto eol = text.find('\n');
    if (eol == std::string::npos && text.size() == sizeof buf) return {};  // cut off: the value is not whole
    text.resize(std::min(eol, text.size()));
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

// A whole decimal integer or nothing; "12abc", "nan" and overflowing text are rejected.
std::optional<std::int64_t> readInt(const fs::path& dir, const char* name) {
    const std::string text = readAttr(dir, name);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Levels and capacities cannot be negative, so a negative one is a broken reading.
std::optional<double> readAmount(const fs::path& dir, const char* name) {
    const auto value = readInt(dir, name);
    if (!value || *value < 0) return std::nullopt;
    return static_cast<double>(*value);
}

// Some drivers sign the flow (negative while discharging); only its size matters here.
std::optional<double> readRate(const fs::path& dir, const char* name) {
    const auto value = readInt(dir, name);
    if (!value || *value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
    return static_cast<double>(*value < 0 ? -*value : *value);
}

enum class Unit { kNone, kEnergy, kCharge };

struct Battery {
    std::string status;
    std::optional<double> percent;
    Unit unit = Unit::kNone;  // what fullSize is measured in, so packs can be compared
    double fullSize = 0;
    std::optional<double> energyNow, powerNow, chargeNow, currentNow;
};

std::optional<double> ratioPercent(std::optional<double> now, std::optional<double> full) {
    if (!now || !full || *full <= 0) return std::nullopt;
    return *now / *full * 100.0;
}

Battery readBattery(const fs::path& dir) {
    Battery b;
    b.status = readAttr(dir, "status");
    b.energyNow = readAmount(dir, "energy_now");
    b.powerNow = readRate(dir, "power_now");
    b.chargeNow = readAmount(dir, "charge_now");
    b.currentNow = readRate(dir, "current_now");
    const auto energyFull = readAmount(dir, "energy_full");
    const auto chargeFull = readAmount(dir, "charge_full");
    b.percent = ratioPercent(b.energyNow, energyFull);
    if (!b.percent) b.percent = ratioPercent(b.chargeNow, chargeFull);
    if (!b.percent) {
        const auto capacity = readAmount(dir, "capacity");
        if (capacity && *capacity <= 100) b.percent = capacity;
    }
    if (b.percent) b.percent = std::min(*b.percent, 100.0);  // worn packs may report now > full
    if (energyFull && *energyFull > 0) {
        b.unit = Unit::kEnergy;
        b.fullSize = *energyFull;
    } else if (chargeFull && *chargeFull > 0) {
        b.unit = Unit::kCharge;
        b.fullSize = *chargeFull;
    }
    return b;
}

// Weighted by pack size when every known pack has a size in the same unit,
// otherwise each pack counts the same.
std::optional<double> combinedPercent(const std::vector<Battery>& batteries) {
    double sum = 0, weightedSum = 0, totalSize = 0;
    int known = 0;
    bool comparable = true;
    Unit unit = Unit::kNone;
    for (const Battery& b : batteries) {
        if (!b.percent) continue;
        if (known++ == 0) unit = b.unit;
        comparable = comparable && b.unit != Unit::kNone && b.unit == unit;
        sum += *b.percent;
        weightedSum += *b.percent * b.fullSize;
        totalSize += b.fullSize;
    }
    if (known == 0) return std::nullopt;
    return comparable && totalSize > 0 ? weightedSum / totalSize : sum / known;
}

using Reading = std::optional<double> Battery::*;

// Hours until empty from what is left over the present draw, summed over all
// packs (while one pack feeds the system the others sit idle but still count).
std::optional<double> hoursLeft(const std::vector<Battery>& batteries, Reading left, Reading rate) {
    double totalLeft = 0, totalRate = 0;
    for (const Battery& b : batteries) {
        if (!(b.*left) || !(b.*rate)) return std::nullopt;
        totalLeft += *(b.*left);
        totalRate += *(b.*rate);
    }
    if (totalRate <= 0) return std::nullopt;
    return totalLeft / totalRate;
}

// Unknown when the draw is zero or the packs do not all report the same unit.
std::int32_t secondsLeft(const std::vector<Battery>& batteries) {
    auto hours = hoursLeft(batteries, &Battery::energyNow, &Battery::powerNow);
    if (!hours) hours = hoursLeft(batteries, &Battery::chargeNow, &Battery::currentNow);
    if (!hours) return -1;
    const double seconds = std::round(*hours * 3600.0);
    return seconds <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(seconds) : -1;
}

// Without an adapter to ask, the batteries' own state tells whether power comes from outside.
std::uint8_t lineFromBatteries(const std::vector<Battery>& batteries) {
    auto any = [&](const char* status) {
        for (const Battery& b : batteries)
            if (b.status == status) return true;
        return false;
    };
    if (any("Charging")) return kACOnline;
    if (any("Discharging")) return kACOffline;
    if (any("Full") || any("Not charging")) return kACOnline;
    return kUnknownByte;
}

}  // namespace

SystemPowerStatus readSysfsPowerStatus(const fs::path& root) {
    bool adapterOnline = false, adapterOffline = false;
    std::vector<Battery> batteries;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& dir = it->path();
        const std::string type = readAttr(dir, "type");
        const auto online = readInt(dir, "online");
        if (type == "Mains" || type.rfind("USB", 0) == 0) {
            // An idle USB port says nothing about the notebook's own supply;
            // a mains adapter whose state cannot be read says nothing either.
            adapterOnline = adapterOnline || online == 1;
            adapterOffline = adapterOffline || (type == "Mains" && online == 0);
        } else if (type == "Battery" && readAttr(dir, "scope") != "Device" && readInt(dir, "present") != 0) {
            batteries.push_back(readBattery(dir));
        }
    }

    SystemPowerStatus s;
    s.ACLineStatus = adapterOnline ? kACOnline : adapterOffline ? kACOffline : lineFromBatteries(batteries);
    s.BatteryFullLifeTime = -1;
    s.BatteryLifeTime = -1;
    if (batteries.empty()) {
        s.BatteryFlag = kBatteryFlagNoBattery;
        s.BatteryLifePercent = kUnknownByte;
        return s;
    }

    bool charging = false;
    for (const Battery& b : batteries) charging = charging || b.status == "Charging";
    const auto percent = combinedPercent(batteries);
    s.BatteryFlag = charging ? kBatteryFlagCharging : 0;
    if (percent) {
        // Halves go to the even neighbour, as every rounding in the program does.
        const int rounded = static_cast<int>(std::clamp(std::nearbyint(*percent), 0.0, 100.0));
        s.BatteryLifePercent = static_cast<std::uint8_t>(rounded);
        if (rounded > 66) s.BatteryFlag |= kBatteryFlagHigh;
        if (rounded < 33) s.BatteryFlag |= kBatteryFlagLow;
        if (rounded < 5) s.BatteryFlag |= kBatteryFlagCritical;
    } else {
        s.BatteryLifePercent = kUnknownByte;
        if (!charging) s.BatteryFlag = kUnknownByte;
    }
    if (s.ACLineStatus == kACOffline && !charging) s.BatteryLifeTime = secondsLeft(batteries);
    return s;
}

SystemPowerStatus readPlatformPowerStatus() { return readSysfsPowerStatus("/sys/class/power_supply"); }

}  // namespace corvane
