#include "platform/linux/sysfs_power.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Every attribute we read is a short number or word. Reading no more than
// this keeps a stray huge or endless file from stalling the meter.
constexpr std::size_t kMaxAttrBytes = 64;

}  // namespace

// The supplies' folder and the attribute files read from it, kept open from one
// reading to the next: opening a file costs several times what reading it does,
// and the meter reads a dozen every second. A file is read again from its start,
// which makes the kernel produce the value afresh; one that has been replaced or
// has gone since (a supply unplugged, a file written anew) is opened again.
class SysfsPowerReader::Files {
  public:
    explicit Files(fs::path root) : root_(std::move(root)) {}
    ~Files() {
        for (const auto& [key, fd] : open_) ::close(fd);
        if (dir_) ::closedir(dir_);
    }
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    // Starts a reading: the supplies are listed anew each time.
    void rewind() {
        if (dir_)
            ::rewinddir(dir_);
        else
            dir_ = ::opendir(root_.c_str());
        listed_.clear();
    }

    // The next supply's name, or null at the end, when the files of supplies no
    // longer listed are closed.
    const char* next() {
        while (const dirent* entry = dir_ ? ::readdir(dir_) : nullptr) {
            if (entry->d_name[0] == '.') continue;
            listed_.emplace_back(entry->d_name);
            return entry->d_name;
        }
        std::erase_if(open_, [this](const auto& item) {
            const bool gone = std::find(listed_.begin(), listed_.end(), item.first.first) == listed_.end();
            if (gone) ::close(item.second);
            return gone;
        });
        return nullptr;
    }

    // First line of an attribute with surrounding blanks stripped; empty when the
    // file is missing, unreadable, not a plain file or longer than any real value.
    std::string read(const std::string& supply, const char* name) {
        char buf[kMaxAttrBytes];
        const ssize_t n = readRaw(supply, name, buf);
        if (n <= 0) return {};
        std::string text(buf, static_cast<std::size_t>(n));
        const auto eol = text.find('\n');
        if (eol == std::string::npos && text.size() == sizeof buf)
            return {};  // cut off: the value is not whole
        text.resize(std::min(eol, text.size()));
        const auto first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos) return {};
        return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
    }

    // A whole decimal integer or nothing; "12abc", "nan" and overflowing text are rejected.
    std::optional<std::int64_t> readInt(const std::string& supply, const char* name) {
        const std::string text = read(supply, name);
        std::int64_t value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
        return value;
    }

    // Levels and capacities cannot be negative, so a negative one is a broken reading.
    std::optional<double> readAmount(const std::string& supply, const char* name) {
        const auto value = readInt(supply, name);
        if (!value || *value < 0) return std::nullopt;
        return static_cast<double>(*value);
    }

    // Some drivers sign the flow (negative while discharging); only its size matters here.
    std::optional<double> readRate(const std::string& supply, const char* name) {
        const auto value = readInt(supply, name);
        if (!value || *value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
        return static_cast<double>(*value < 0 ? -*value : *value);
    }

  private:
    using Key = std::pair<std::string, std::string>;  // supply, attribute

    ssize_t readRaw(const std::string& supply, const char* name, char (&buf)[kMaxAttrBytes]) {
        Key key{supply, name};
        if (const auto it = open_.find(key); it != open_.end()) {
            struct stat st {};
            const ssize_t n =
                ::fstat(it->second, &st) == 0 && st.st_nlink > 0 ? preadAll(it->second, buf) : -1;
            if (n >= 0) return n;
            ::close(it->second);  // replaced or gone: open it again
            open_.erase(it);
        }
        if (!dir_) return -1;
        const std::string path = supply + '/' + name;
        // Not blocking: a FIFO or device here would otherwise wait or never end.
        const int fd = ::openat(::dirfd(dir_), path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return -1;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return -1;
        }
        open_.emplace(std::move(key), fd);
        return preadAll(fd, buf);
    }

    // One read from the start gives a sysfs value whole.
    static ssize_t preadAll(int fd, char (&buf)[kMaxAttrBytes]) {
        ssize_t n;
        do n = ::pread(fd, buf, sizeof buf, 0);
        while (n < 0 && errno == EINTR);
        return n;
    }

    fs::path root_;
    DIR* dir_ = nullptr;
    std::vector<std::string> listed_;
    std::map<Key, int> open_;
};

namespace {

enum class Unit { kNone, kEnergy, kCharge };

struct Battery {
    std::string supply;  // its folder's name
    std::string status;
    std::optional<double> percent;
    Unit unit = Unit::kNone;  // what fullSize is measured in, so packs can be compared
    double fullSize = 0;
    std::optional<double> energyNow, chargeNow;
    bool chargeNowRead = false;
};

std::optional<double> ratioPercent(std::optional<double> now, std::optional<double> full) {
    if (!now || !full || *full <= 0) return std::nullopt;
    return *now / *full * 100.0;
}

// Each source is read only when the one before it gave no answer.
Battery readBattery(SysfsPowerReader::Files& folder, const std::string& supply) {
    Battery b;
    b.supply = supply;
    b.status = folder.read(supply, "status");
    const auto energyFull = folder.readAmount(supply, "energy_full");
    b.energyNow = folder.readAmount(supply, "energy_now");
    b.percent = ratioPercent(b.energyNow, energyFull);
    const bool energySize = energyFull && *energyFull > 0;
    std::optional<double> chargeFull;
    if (!b.percent || !energySize) chargeFull = folder.readAmount(supply, "charge_full");
    if (!b.percent) {
        b.chargeNow = folder.readAmount(supply, "charge_now");
        b.chargeNowRead = true;
        b.percent = ratioPercent(b.chargeNow, chargeFull);
    }
    if (!b.percent) {
        const auto capacity = folder.readAmount(supply, "capacity");
        if (capacity && *capacity <= 100) b.percent = capacity;
    }
    if (b.percent) b.percent = std::min(*b.percent, 100.0);  // worn packs may report now > full
    if (energySize) {
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

// Hours until empty from what is left over the present draw, summed over all
// packs (while one pack feeds the system the others sit idle but still count).
// The draw is read only here, on battery power alone.
std::optional<double> hoursLeft(SysfsPowerReader::Files& folder, std::vector<Battery>& batteries,
                                bool charge) {
    double totalLeft = 0, totalRate = 0;
    for (Battery& b : batteries) {
        if (charge && !b.chargeNowRead) {
            b.chargeNow = folder.readAmount(b.supply, "charge_now");
            b.chargeNowRead = true;
        }
        const auto left = charge ? b.chargeNow : b.energyNow;
        const auto rate = folder.readRate(b.supply, charge ? "current_now" : "power_now");
        if (!left || !rate) return std::nullopt;
        totalLeft += *left;
        totalRate += *rate;
    }
    if (totalRate <= 0) return std::nullopt;
    return totalLeft / totalRate;
}

// Unknown when the draw is zero or the packs do not all report the same unit.
std::int32_t secondsLeft(SysfsPowerReader::Files& folder, std::vector<Battery>& batteries) {
    auto hours = hoursLeft(folder, batteries, false);
    if (!hours) hours = hoursLeft(folder, batteries, true);
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

SysfsPowerReader::SysfsPowerReader(fs::path root) : files_(std::make_unique<Files>(std::move(root))) {}
SysfsPowerReader::~SysfsPowerReader() = default;

SystemPowerStatus SysfsPowerReader::read() {
    bool adapterOnline = false, adapterOffline = false;
    std::vector<Battery> batteries;
    Files& folder = *files_;
    folder.rewind();
    while (const char* name = folder.next()) {
        const std::string supply = name;
        const std::string type = folder.read(supply, "type");
        if (type == "Mains" || type.rfind("USB", 0) == 0) {
            const auto online = folder.readInt(supply, "online");
            // An idle USB port says nothing about the notebook's own supply;
            // a mains adapter whose state cannot be read says nothing either.
            adapterOnline = adapterOnline || online == 1;
            adapterOffline = adapterOffline || (type == "Mains" && online == 0);
        } else if (type == "Battery" && folder.read(supply, "scope") != "Device" &&
                   folder.readInt(supply, "present") != 0) {
            batteries.push_back(readBattery(folder, supply));
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
    if (s.ACLineStatus == kACOffline && !charging) s.BatteryLifeTime = secondsLeft(folder, batteries);
    return s;
}

SystemPowerStatus readSysfsPowerStatus(const fs::path& root) { return SysfsPowerReader(root).read(); }

SystemPowerStatus readPlatformPowerStatus() { return readSysfsPowerStatus(kPowerSupplyRoot); }

}  // namespace corvane
