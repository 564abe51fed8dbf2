#include "platform/linux/sysfs_power.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/netlink.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linux/interrupted.h"
#include "platform/linux/path_text.h"
#include "platform/nearest.h"

namespace corvane {
namespace {

// Every attribute we read is a short number or word. Reading no more than
// this keeps a stray huge or endless file from stalling the meter.
constexpr std::size_t kMaxAttrBytes = 64;

// The attributes read at every reading; a supply's type and scope never change
// and are read only when the supplies are listed.
enum Attr : std::uint8_t {
    kOnline,
    kPresent,
    kStatus,
    kEnergyFull,
    kEnergyNow,
    kChargeFull,
    kChargeNow,
    kCapacity,
    kPowerNow,
    kCurrentNow,
    kAttrCount
};
constexpr const char* kAttrNames[kAttrCount] = {"online",     "present",     "status",     "energy_full",
                                                "energy_now", "charge_full", "charge_now", "capacity",
                                                "power_now",  "current_now"};

// Whether a pack is in and what it holds when full change only when it is swapped or recalibrated. They
// are read once a listing, not every second: a pack that goes makes its other values fail, which lists
// the supplies again at once, and one that comes or is recalibrated is seen within the minute.
constexpr bool readOnceListed(Attr a) { return a == kPresent || a == kEnergyFull || a == kChargeFull; }

// Where the reader hears of changes (the kernel announces every change of an adapter's state), an
// adapter's state is kept from one reading to the next and read again every this many readings all the
// same, for a kernel or a sandbox that does not pass the announcements on.
constexpr unsigned kAdapterEvery = 5;

// What a descriptor slot holds besides an open file.
constexpr int kNotOpened = -1;  // not needed yet
constexpr int kMissing = -2;    // absent, or not a plain file, until the next listing
constexpr int kNotKept = -3;    // beyond the budget: opened, read and closed each time

// One read from the start gives a sysfs value whole, made afresh by the kernel.
ssize_t preadAll(int fd, char (&buf)[kMaxAttrBytes]) {
    return retryInterrupted([&] { return ::pread(fd, buf, sizeof buf, 0); });
}

// Not blocking: a FIFO or device here would otherwise wait or never end. Only a
// plain file is a value. Without a folder (dir -1) the open fails, path being relative.
int openValue(int dir, const std::string& path) {
    const int fd = ::openat(dir, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// First line of a value with surrounding blanks stripped, in place in the buffer read into; empty
// when the value could not be read or is longer than any real one.
std::string_view firstLine(const char* buf, ssize_t n) {
    if (n <= 0) return {};
    std::string_view text(buf, static_cast<std::size_t>(n));
    const auto eol = text.find('\n');
    if (eol == std::string_view::npos && text.size() == kMaxAttrBytes) return {};  // cut off: not whole
    text = text.substr(0, std::min(eol, text.size()));
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

}  // namespace

// The supplies as last listed, each with the descriptors of its values kept
// open from one reading to the next: opening a file costs several times what
// reading it does. sysfs makes a value afresh at each read from the start, and a
// supply that has gone makes its files fail; a tree of ordinary files is watched
// instead, since a file replaced there still reads as it was.
class SysfsPowerReader::Files {
  public:
    enum class Kind : std::uint8_t { kOther, kMains, kUsb, kBattery };
    struct Supply {
        std::string name;
        Kind kind = Kind::kOther;
        std::array<int, kAttrCount> fd;
        std::array<bool, kAttrCount> readWell{};                          // since it was opened
        std::array<std::optional<std::int64_t>, kAttrCount> listedValue;  // those read once a listing
        Supply() { fd.fill(kNotOpened); }
    };
    enum class Unit : std::uint8_t { kNone, kEnergy, kCharge };
    struct Battery {
        std::size_t supply;  // its place among the supplies listed
        std::string status;
        std::optional<double> percent;
        Unit unit = Unit::kNone;  // what fullSize is measured in, so packs can be compared
        double fullSize = 0;
        std::optional<double> energyNow, chargeNow;
    };

    explicit Files(std::string root) : root_(std::move(root)) {
        struct statfs fsInfo {};
        if (::statfs(root_.c_str(), &fsInfo) != 0) return;
        if (fsInfo.f_type != SYSFS_MAGIC) {
            watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            return;
        }
        // sysfs cannot be watched, but the kernel announces each change of a supply to whoever listens.
        uevents_ = true;
        const int listener =
            ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        kernel.nl_groups = 1;  // the kernel's own announcements
        if (listener < 0) return;
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) == 0)
            watch_ = listener;
        else
            ::close(listener);
    }
    ~Files() {
        closeValues();
        if (dir_) ::closedir(dir_);
        if (watch_ >= 0) ::close(watch_);
    }
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    const std::vector<Supply>& supplies() const { return supplies_; }

    // The batteries of one reading, kept from one to the next so that a reading allocates nothing.
    std::vector<Battery>& batteries() {
        batteries_.clear();
        return batteries_;
    }

    // Lists the supplies again when a minute has passed or the watched tree has
    // changed; the first reading lists them in any case.
    void prepare() {
        const auto now = std::chrono::steady_clock::now();
        if (!listed_ || now - listedAt_ >= kListEvery || treeChanged()) {
            list(now);
        } else if (watch_ >= 0 && ++readings_ % kAdapterEvery == 0) {
            for (Supply& s : supplies_) s.listedValue[kOnline].reset();
        }
    }

    // Whether a file that had read well failed since the last call: its supply
    // may have gone, so the supplies are listed again at once.
    bool takeFailure() { return std::exchange(failed_, false); }

    int handOverWatch() {
        handedOver_ = true;
        return watch_;
    }
    void watchFired() { changed_ = drainWatch() || changed_; }
    void listAgain() { list(std::chrono::steady_clock::now()); }

    std::string read(std::size_t supply, Attr a) {
        char buf[kMaxAttrBytes];
        return std::string(firstLine(buf, readRaw(supplies_[supply], a, buf)));
    }

    // A whole decimal integer or nothing; "12abc", "nan" and overflowing text are rejected. Parsed
    // where it was read: nothing is copied or allocated for the numbers read every second.
    std::optional<std::int64_t> readInt(std::size_t supply, Attr a) {
        Supply& s = supplies_[supply];
        std::optional<std::int64_t>& listed = s.listedValue[a];
        if (listed) return listed;
        char buf[kMaxAttrBytes];
        const std::string_view text = firstLine(buf, readRaw(s, a, buf));
        std::int64_t value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
        // A value that failed is tried again at the next reading.
        if (readOnceListed(a) || (a == kOnline && watch_ >= 0)) listed = value;
        return value;
    }

    // Levels and capacities cannot be negative, so a negative one is a broken reading.
    std::optional<double> readAmount(std::size_t supply, Attr a) {
        const auto value = readInt(supply, a);
        if (!value || *value < 0) return std::nullopt;
        return static_cast<double>(*value);
    }

    // Some drivers sign the flow (negative while discharging); only its size matters here.
    std::optional<double> readRate(std::size_t supply, Attr a) {
        const auto value = readInt(supply, a);
        if (!value) return std::nullopt;
        return std::fabs(static_cast<double>(*value));
    }

  private:
    // The folder, the watch and one file opened for a moment stand beside the kept files.
    static constexpr int kMaxKept = kMaxOpenFiles - 3;

    void list(std::chrono::steady_clock::time_point now) {
        listed_ = true;
        listedAt_ = now;
        closeValues();
        supplies_.clear();
        if (dir_)
            ::rewinddir(dir_);
        else
            dir_ = ::opendir(root_.c_str());
        if (!dir_) return;
        if (watch_ >= 0)
            ::inotify_add_watch(watch_, root_.c_str(),
                                IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR);
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir_))
            if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
        std::sort(names.begin(), names.end());
        supplies_.reserve(names.size());
        for (std::string& name : names) {
            if (watch_ >= 0)  // a supply's values are replaced, one by one
                ::inotify_add_watch(watch_, joinPath(root_, name).c_str(),
                                    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR);
            Supply& s = supplies_.emplace_back();
            s.name = std::move(name);
            const std::string type = readOnce(s.name, "type");
            if (type == "Mains")
                s.kind = Kind::kMains;
            else if (type.starts_with("USB"))
                s.kind = Kind::kUsb;
            else if (type == "Battery" && readOnce(s.name, "scope") != "Device")  // not a mouse's battery
                s.kind = Kind::kBattery;
        }
    }

    // Whether anything was created, removed or replaced in the watched tree since the last look.
    bool treeChanged() { return handedOver_ ? std::exchange(changed_, false) : drainWatch(); }

    bool drainWatch() {                            // without a watch (-1) the read fails at once
        alignas(inotify_event) char events[4096];  // a kernel announcement is at most 2 KB
        bool changed = false;
        for (;;) {
            const ssize_t n = ::read(watch_, events, sizeof events);
            if (n > 0) {
                changed = changed || !uevents_ || isPowerSupplyUevent({events, static_cast<std::size_t>(n)});
            } else if (n < 0 && (errno == ENOBUFS || errno == EINTR)) {
                changed = changed || errno == ENOBUFS;  // announcements were lost: any may have been ours
            } else {
                return changed;
            }
        }
    }

    std::string readOnce(const std::string& supply, const char* name) {
        const int fd = openValue(::dirfd(dir_), supply + '/' + name);
        if (fd < 0) return {};
        char buf[kMaxAttrBytes];
        const ssize_t n = preadAll(fd, buf);
        ::close(fd);
        return std::string(firstLine(buf, n));
    }

    // A kept file is opened at its first reading; one beyond the budget is opened, read and closed.
    ssize_t readRaw(Supply& s, Attr a, char (&buf)[kMaxAttrBytes]) {
        int& fd = s.fd[a];
        if (fd == kMissing) return -1;
        if (fd < 0) {
            const int opened = openValue(::dirfd(dir_), s.name + '/' + kAttrNames[a]);
            if (opened < 0) {
                if (fd == kNotKept) failed_ = true;  // it was there before
                fd = kMissing;
                return -1;
            }
            if (fd == kNotKept || kept_ >= kMaxKept) {
                const ssize_t n = preadAll(opened, buf);
                ::close(opened);
                fd = kNotKept;
                return n;
            }
            fd = opened;
            ++kept_;
        }
        const ssize_t n = preadAll(fd, buf);
        // A file that never read well is broken, not gone: it is tried again next time.
        if (n < 0 && s.readWell[a]) failed_ = true;
        s.readWell[a] = n >= 0;
        return n;
    }

    void closeValues() {
        for (Supply& s : supplies_)
            for (int fd : s.fd)
                if (fd >= 0) ::close(fd);
        kept_ = 0;
    }

    std::string root_;
    DIR* dir_ = nullptr;
    int watch_ = -1;
    bool uevents_ = false;     // the watch is the kernel's announcements, not a watch of the tree
    unsigned readings_ = 0;    // since the reader was made, to read the adapters again now and then
    bool handedOver_ = false;  // the caller looks at the watch and tells of a change
    bool changed_ = false;
    bool listed_ = false;
    std::chrono::steady_clock::time_point listedAt_;
    std::vector<Supply> supplies_;
    std::vector<Battery> batteries_;
    int kept_ = 0;
    bool failed_ = false;
};

namespace {

using Unit = SysfsPowerReader::Files::Unit;
using Battery = SysfsPowerReader::Files::Battery;

std::optional<double> ratioPercent(std::optional<double> now, std::optional<double> full) {
    if (!now || !full || *full <= 0) return std::nullopt;
    return *now / *full * 100.0;
}

// Each source is read only when the one before it gave no answer.
Battery readBattery(SysfsPowerReader::Files& folder, std::size_t supply, bool status) {
    Battery b;
    b.supply = supply;
    if (status) b.status = folder.read(supply, kStatus);
    const auto energyFull = folder.readAmount(supply, kEnergyFull);
    b.energyNow = folder.readAmount(supply, kEnergyNow);
    b.percent = ratioPercent(b.energyNow, energyFull);
    const bool energySize = energyFull && *energyFull > 0;
    std::optional<double> chargeFull;
    if (!b.percent || !energySize) chargeFull = folder.readAmount(supply, kChargeFull);
    if (!b.percent) {
        b.chargeNow = folder.readAmount(supply, kChargeNow);
        b.percent = ratioPercent(b.chargeNow, chargeFull);
    }
    if (!b.percent) {
        const auto capacity = folder.readAmount(supply, kCapacity);
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
    return comparable ? weightedSum / totalSize : sum / known;  // comparable packs all have a size
}

// Hours until empty from what is left over the present draw, summed over all
// packs (while one pack feeds the system the others sit idle but still count).
// The draw is read only here, on battery power alone.
std::optional<double> hoursLeft(SysfsPowerReader::Files& folder, std::vector<Battery>& batteries,
                                bool charge) {
    double totalLeft = 0, totalRate = 0;
    for (Battery& b : batteries) {
        if (charge && !b.chargeNow) b.chargeNow = folder.readAmount(b.supply, kChargeNow);
        const auto left = charge ? b.chargeNow : b.energyNow;
        const auto rate = folder.readRate(b.supply, charge ? kCurrentNow : kPowerNow);
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

SysfsPowerReader::SysfsPowerReader(std::string root, Detail detail)
    : files_(std::make_unique<Files>(std::move(root))), detail_(detail) {}
SysfsPowerReader::~SysfsPowerReader() = default;

namespace {

SystemPowerStatus readSupplies(SysfsPowerReader::Files& folder, SysfsPowerReader::Detail detail) {
    using Kind = SysfsPowerReader::Files::Kind;
    const bool full = detail == SysfsPowerReader::Detail::kFull;
    bool adapterOnline = false, adapterOffline = false;
    std::vector<Battery>& batteries = folder.batteries();
    const auto& supplies = folder.supplies();
    for (std::size_t i = 0; i < supplies.size(); ++i) {
        const Kind kind = supplies[i].kind;
        if (kind == Kind::kMains || kind == Kind::kUsb) {
            const auto online = folder.readInt(i, kOnline);
            // An idle USB port says nothing about the notebook's own supply;
            // a mains adapter whose state cannot be read says nothing either.
            adapterOnline = adapterOnline || online == 1;
            adapterOffline = adapterOffline || (kind == Kind::kMains && online == 0);
        } else if (kind == Kind::kBattery && folder.readInt(i, kPresent) != 0) {
            batteries.push_back(readBattery(folder, i, full));
        }
    }
    if (!full && !adapterOnline && !adapterOffline)
        for (Battery& b : batteries) b.status = folder.read(b.supply, kStatus);

    SystemPowerStatus s;
    s.ACLineStatus = adapterOnline ? kACOnline : adapterOffline ? kACOffline : lineFromBatteries(batteries);
    s.BatteryFullLifeTime = -1;
    s.BatteryLifeTime = -1;
    if (batteries.empty()) {
        s.BatteryFlag = kBatteryFlagNoBattery;
        s.BatteryLifePercent = kUnknownByte;
        return s;
    }

    // Every pack's level lies within 0 to 100 %, and so does any average of them. Halves go to the even
    // neighbour, as every rounding in the program does.
    const auto percent = combinedPercent(batteries);
    s.BatteryLifePercent = percent ? static_cast<std::uint8_t>(nearestEven(*percent)) : kUnknownByte;
    if (!full) {
        s.BatteryFlag = kUnknownByte;
        return s;
    }
    bool charging = false;
    for (const Battery& b : batteries) charging = charging || b.status == "Charging";
    s.BatteryFlag = charging ? kBatteryFlagCharging : 0;
    if (percent) {
        const int rounded = s.BatteryLifePercent;
        if (rounded > 66) s.BatteryFlag |= kBatteryFlagHigh;
        if (rounded < 33) s.BatteryFlag |= kBatteryFlagLow;
        if (rounded < 5) s.BatteryFlag |= kBatteryFlagCritical;
    } else if (!charging) {
        s.BatteryFlag = kUnknownByte;
    }
    if (s.ACLineStatus == kACOffline && !charging) s.BatteryLifeTime = secondsLeft(folder, batteries);
    return s;
}

}  // namespace

SystemPowerStatus SysfsPowerReader::read() {
    Files& folder = *files_;
    folder.prepare();
    SystemPowerStatus s = readSupplies(folder, detail_);
    if (folder.takeFailure()) {
        folder.listAgain();
        s = readSupplies(folder, detail_);
    }
    return s;
}

int SysfsPowerReader::handOverWatch() { return files_->handOverWatch(); }

void SysfsPowerReader::watchFired() { files_->watchFired(); }

bool isPowerSupplyUevent(std::string_view message) {
    for (std::size_t at = 0; at < message.size();) {
        const std::size_t end = std::min(message.find('\0', at), message.size());
        if (message.substr(at, end - at) == "SUBSYSTEM=power_supply") return true;
        at = end + 1;
    }
    return false;
}

SystemPowerStatus readSysfsPowerStatus(const std::string& root) { return SysfsPowerReader(root).read(); }

SystemPowerStatus readPlatformPowerStatus() { return readSysfsPowerStatus(kPowerSupplyRoot); }

}  // namespace corvane
