#include "platform/linux/sysfs_power.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "linux_test_support.h"
#include "platform/linux/linux_services.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Attrs = std::map<std::string, std::string>;
using Tree = std::map<std::string, Attrs>;

class SysfsPower : public ::testing::Test {
  protected:
    // Writes the value exactly as given (no newline added), as a broken driver might.
    void put(const std::string& supply, const std::string& name, const std::string& raw) {
        test::spit(root_ / supply / name, raw);
    }
    // A battery that comes, its level written as given.
    void addBattery(const std::string& supply, const std::string& capacity) {
        put(supply, "type", "Battery\n");
        put(supply, "capacity", capacity);
    }

    // As the fake battery writes a value: a new file renamed over the old one.
    void replace(const std::string& supply, const std::string& name, const std::string& value) {
        put(supply, ".new", value + "\n");
        fs::rename(root_ / supply / ".new", root_ / supply / name);
    }

    // A fresh tree each time, with values ended by a newline as the kernel writes them.
    SystemPowerStatus read(const Tree& tree) {
        fs::remove_all(root_);
        fs::create_directories(root_);
        for (const auto& [supply, attrs] : tree)
            for (const auto& [name, value] : attrs) put(supply, name, value + "\n");
        const SystemPowerStatus full = readSysfsPowerStatus(root_);
        // The program's own reading, of the source and the level only, agrees on both, and tells of no
        // flag but a missing battery.
        const auto lean = SysfsPowerReader(root_, SysfsPowerReader::Detail::kSourceAndLevel).read();
        const std::uint8_t leanFlag =
            full.BatteryFlag == kBatteryFlagNoBattery ? kBatteryFlagNoBattery : kUnknownByte;
        EXPECT_EQ((std::tuple{lean.ACLineStatus, lean.BatteryLifePercent, lean.BatteryFlag}),
                  (std::tuple{full.ACLineStatus, full.BatteryLifePercent, leanFlag}));
        return full;
    }

    test::ScratchFolder scratch_;
    const fs::path root_ = scratch_.path() / "power_supply";
};

const Attrs kMainsOn{{"type", "Mains"}, {"online", "1"}};
const Attrs kMainsOff{{"type", "Mains"}, {"online", "0"}};

Attrs battery(const std::string& status, Attrs attrs) {
    attrs["type"] = "Battery";
    if (!status.empty()) attrs["status"] = status;
    return attrs;
}

// A discharging pack sized in energy: its full size, its level and its draw, and any more values.
Attrs draining(const char* full, const char* now, const char* draw, Attrs more = {}) {
    more.insert({{"energy_full", full}, {"energy_now", now}, {"power_now", draw}});
    return battery("Discharging", more);
}
// The adapter unplugged, one pack.
Tree unplugged(const Attrs& pack) { return {{"AC", kMainsOff}, {"BAT0", pack}}; }

// energy_* says 57 %, charge_* 40 % and capacity 30 %, so each fallback shows in the result.
Attrs layered(const std::string& status) {
    return battery(status, {{"energy_full", "50000000"},
                            {"energy_now", "28500000"},
                            {"power_now", "9500000"},
                            {"charge_full", "4000000"},
                            {"charge_now", "1600000"},
                            {"current_now", "-800000"},
                            {"capacity", "30"}});
}

// The power source, the flags, the level in percent and the seconds left.
using Want = std::tuple<int, int, int, int>;
Want wantOf(const SystemPowerStatus& s) {
    return {s.ACLineStatus, s.BatteryFlag, s.BatteryLifePercent, s.BatteryLifeTime};
}

TEST_F(SysfsPower, ReadsTrees) {
    const Attrs bigFull = draining("6000", "6000", "1000"), smallEmpty = draining("2000", "0", "0");
    const std::string whole = std::string(62, '0') + "1";
    const Attrs chargeEmpty = battery("", {{"charge_full", "1"}, {"charge_now", "0"}});
    const Attrs chargeFull = battery("", {{"charge_full", "3000"}, {"charge_now", "3000"}});
    const Attrs almostFlat = battery("Discharging", {{"capacity", "3"}});
    const auto capacity = [](const char* percent) {
        return Tree{{"BAT0", battery("", {{"capacity", percent}})}};
    };
    // (The layered pack discharging with the adapter unplugged: the kept reader's first step.)
    // clang-format off
    const std::vector<std::tuple<const char*, Tree, Want>> cases{
        {"charging on AC", {{"AC", kMainsOn}, {"BAT0", layered("Charging")}}, {1, 8, 57, -1}},
        {"topping up a weak adapter", {{"AC", kMainsOn}, {"BAT0", layered("Discharging")}}, {1, 0, 57, -1}},
        {"weighted by size", {{"AC", kMainsOff}, {"BAT0", bigFull}, {"BAT1", smallEmpty}}, {0, 1, 75, 21600}},
        {"mixed units averaged", {{"BAT0", bigFull}, {"BAT1", chargeEmpty}}, {0, 0, 50, -1}},
        {"charge units weighted by size", {{"BAT0", chargeFull}, {"BAT1", chargeEmpty}}, {255, 1, 100, -1}},
        {"capacity only, no adapter", {{"BAT0", almostFlat}}, {0, 6, 3, -1}},
        {"no battery", {{"AC", kMainsOn}}, {1, 128, 255, -1}},
        {"nothing at all", {}, {255, 128, 255, -1}},
        {"full, level unknown", {{"BAT0", battery("Full", {})}}, {1, 255, 255, -1}},
        {"device and absent batteries ignored", {{"BAT0", almostFlat},
            {"mouse", battery("Discharging", {{"scope", "Device"}, {"capacity", "90"}})},
            {"BAT1", battery("Discharging", {{"present", "0"}, {"capacity", "90"}})}}, {0, 6, 3, -1}},
        {"USB-C online counts", {{"AC", kMainsOff}, {"ucsi", {{"type", "USB_C"}, {"online", "1"}}}},
            {1, 128, 255, -1}},
        {"idle USB port ignored", {{"usb", {{"type", "USB"}, {"online", "0"}}}, {"BAT0", layered("Charging")}},
            {1, 8, 57, -1}},
        {"unreadable adapter ignored", {{"AC", {{"type", "Mains"}, {"online", "?"}}},
            {"BAT0", layered("Charging")}}, {1, 8, 57, -1}},
        {"worn pack counts as full", {{"BAT0", battery("", {{"charge_full", "100"}, {"charge_now", "130"}})},
            {"BAT1", battery("", {{"charge_full", "100"}, {"charge_now", "2"}})}}, {255, 0, 51, -1}},
        // Right after unplugging, packs still say "Full" or "Not charging": the adapter knows better.
        {"offline adapter over a full battery", unplugged(battery("Full", {})), {0, 255, 255, -1}},
        {"offline adapter over a resting battery",
            unplugged(battery("Not charging", {{"capacity", "80"}})), {0, 1, 80, -1}},
        {"no power draw: time from charge and current",
            unplugged(draining("100", "50", "0", {{"charge_now", "2000"}, {"current_now", "1000"}})), {0, 0, 50, 7200}},
        {"time from charge, one pack sized in energy", {{"AC", kMainsOff},
            {"BAT0", battery("Discharging", {{"charge_full", "100"}, {"charge_now", "50"}, {"current_now", "10"}})},
            {"BAT1", battery("Discharging", {{"energy_full", "100"}, {"energy_now", "50"}, {"charge_now", "50"},
             {"current_now", "10"}})}}, {0, 0, 50, 18000}},
        {"2^31 - 1 s left is known", unplugged(draining("2147483647", "2147483647", "3600")), {0, 1, 100, 2147483647}},
        {"2^31 s left is unknown", unplugged(draining("2147483648", "2147483648", "3600")), {0, 1, 100, -1}},
        {"a draw of -1 is a draw of 1", unplugged(draining("2", "1", "-1")), {0, 0, 50, 3600}},
        {"64 bytes with the newline are whole", unplugged(draining("2", whole.c_str(), "-1")), {0, 0, 50, 3600}},
        {"a full size of 0 falls back", {{"BAT0", battery("", {{"energy_full", "0"}, {"energy_now", "5"},
            {"capacity", "30"}})}}, {255, 2, 30, -1}},
        {"a full size of 1 is a size", {{"BAT0", battery("", {{"energy_full", "1"}, {"energy_now", "0"},
            {"capacity", "30"}})}}, {255, 6, 0, -1}},
        {"a pack without a size makes every pack count the same", {{"BAT0", battery("", {{"energy_full", "0"},
            {"capacity", "40"}})}, {"BAT1", battery("", {{"energy_full", "100"}, {"energy_now", "80"}})}},
            {255, 0, 60, -1}},
        {"nor does a charge size of 0", {{"BAT0", battery("", {{"charge_full", "0"}, {"capacity", "40"}})},
            {"BAT1", battery("", {{"charge_full", "100"}, {"charge_now", "80"}})}}, {255, 0, 60, -1}},
        {"capacity 100", capacity("100"), {255, 1, 100, -1}},  {"67 is high", capacity("67"), {255, 1, 67, -1}},
        {"66 is not high", capacity("66"), {255, 0, 66, -1}},  {"33 is not low", capacity("33"), {255, 0, 33, -1}},
        {"32 is low", capacity("32"), {255, 2, 32, -1}},  {"5 is low, not critical", capacity("5"), {255, 2, 5, -1}},
        {"4 is critical", capacity("4"), {255, 6, 4, -1}},  {"101 is broken", capacity("101"), {255, 255, 255, -1}},
        {"blanks around values", {{"AC", {{"type", " Mains\t"}, {"online", "0 "}}},
            {"BAT0", battery(" Full ", {{"capacity", " 70\r"}})}}, {0, 1, 70, -1}},
    };
    // clang-format on
    // (No reading knows a full charge's life: the power service's test below.)
    for (const auto& [name, tree, want] : cases) EXPECT_EQ(wantOf(read(tree)), want) << name;
    EXPECT_EQ(wantOf(readSysfsPowerStatus(root_ / "absent")), (Want{255, 128, 255, -1}));
}

// Broken values make the reader fall back one source at a time, energy -> charge
// -> capacity -> unknown, and never take the broken text as a number. A value that
// fills the reader's 64 bytes may go on past them: it is not taken either.
TEST_F(SysfsPower, BrokenValuesFallBack) {
    // clang-format off
    const std::string garbage[] = {"", "\n", "abc\n", "-5\n", "-1\n", "99999999999999999999\n", "nan\n", "57.5\n",
                                   "12abc", "\x01\xff\x00\x7f"s, std::string(64, '0'), std::string(1 << 20, '0')};
    // clang-format on
    const std::vector<std::string> broken[] = {
        {"energy_now"}, {"energy_full", "charge_now"}, {"energy_now", "charge_full", "capacity"}};
    // Time left comes from whichever of energy or charge still has both level and rate.
    const Want expected[] = {{0, 0, 40, 7200}, {0, 2, 30, 10800}, {0, 255, 255, 7200}};
    for (const std::string& bad : garbage) {
        for (std::size_t level = 0; level < std::size(broken); ++level) {
            SCOPED_TRACE(::testing::Message() << "value '" << bad.substr(0, 24) << "', level " << level);
            read(unplugged(layered("Discharging")));
            for (const std::string& name : broken[level]) put("BAT0", name, bad);
            EXPECT_EQ(wantOf(readSysfsPowerStatus(root_)), expected[level]);
        }
    }
}

// The kernel's values change in place (a pack's full size is read anew when the supplies are next listed);
// the fake battery of the end-to-end tests replaces each file; a supply can go and come. A reader that keeps
// its files open sees all of it, whether it looks at its watch of the tree itself or an event loop does and
// tells it (the Linux program's way). Standard input closed, at the start or later, leaves descriptor 0 to
// what the reader opens next: its watch, its folder or a value file. Each serves like any other and goes with
// the reader.
TEST_F(SysfsPower, AReaderKeptOpenSeesEveryChange) {
    const std::vector<std::tuple<const char*, std::function<void()>, Want>> steps{
        {"as it was", [] {}, {0, 0, 57, 10800}},
        {"level replaced", [&] { replace("BAT0", "energy_now", "20000000"); }, {0, 0, 40, 7579}},
        {"level written in place", [&] { put("BAT0", "energy_now", "25000000\n"); }, {0, 0, 50, 9474}},
        {"full size in place", [&] { put("BAT0", "energy_full", "100000000\n"); }, {0, 0, 50, 9474}},
        {"plugged in, replaced: listed again", [&] { replace("AC", "online", "1"); }, {1, 2, 25, -1}},
        {"battery gone", [&] { fs::remove_all(root_ / "BAT0"); }, {1, 128, 255, -1}},
        {"another battery, its level one byte, no newline", [&] { addBattery("BAT1", "9"); }, {1, 2, 9, -1}},
        {"a second one beside it", [&] { addBattery("BAT2", "91\n"); }, {1, 0, 50, -1}},
    };
    const test::StdinClosed noStdin;
    const struct Run {
        bool handedOver;
        int closeBefore;  // the step before which standard input is closed; -1: before the reader
    } runs[] = {{true, -1}, {false, 0}, {false, 1}};
    for (const auto& [handedOver, closeBefore] : runs) {
        SCOPED_TRACE(::testing::Message()
                     << (handedOver ? "the watch handed over" : "the reader looks itself")
                     << ", standard input closed before step " << closeBefore);
        noStdin.reopen();
        read(unplugged(layered("Discharging")));
        const long none = test::openFiles() - 1;  // standard input closed
        if (closeBefore < 0) ::close(0);
        auto reader = std::make_unique<SysfsPowerReader>(root_);
        const int watch = handedOver ? reader->handOverWatch() : -1;
        ASSERT_EQ(watch >= 0, handedOver) << "a tree of plain files is watched";
        std::vector<long> open;
        for (const auto& [name, change, want] : steps) {
            SCOPED_TRACE(name);
            if (std::ssize(open) == closeBefore) ::close(0);
            change();
            if (handedOver) {
                reader->watchFired();
                pollfd ready{watch, POLLIN, 0};
                EXPECT_EQ(::poll(&ready, 1, 0), 0) << "emptied, or the event loop would spin";
            }
            EXPECT_EQ(wantOf(reader->read()), want);
            open.push_back(test::openFiles());
        }
        EXPECT_EQ(open[2], open[1]) << "the same files, read again";
        EXPECT_LT(open[5], open[4]) << "the files of a supply that has gone are closed";
        SysfsPowerReader fresh(root_);
        fresh.read();
        EXPECT_EQ(test::openFiles() - open.back(), open.back() - none) << "as many kept as opened anew";
        reader.reset();
        EXPECT_EQ(::fcntl(0, F_GETFD), -1) << "the reader let go of descriptor 0";
    }
}

// A supply that goes makes its files fail, and at the first failure the supplies are listed again, even
// while the caller looks at the watch and has told of no change; till then a value found missing stays
// missing. Here the charge is a finished child's command line, which reads empty (read all the same:
// no failure) and fails once the child is reaped.
TEST_F(SysfsPower, AValueThatFailsListsTheSuppliesAgain) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    siginfo_t ended{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT), 0);  // not reaped yet
    addBattery("BAT0", "57\n");
    fs::create_symlink("/proc/" + std::to_string(child) + "/cmdline", root_ / "BAT0" / "charge_now");
    SysfsPowerReader reader(root_);
    reader.handOverWatch();
    EXPECT_EQ(reader.read().BatteryLifePercent, 57);
    addBattery("BAT1", "91\n");
    put("BAT0", "energy_full", "100\n");
    put("BAT0", "energy_now", "9\n");
    EXPECT_EQ(reader.read().BatteryLifePercent, 57) << "the supplies as listed, while all reads well";
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(reader.read().BatteryLifePercent, 50) << "9 % and 91 %, in no common unit";
}

// However many supplies there are, the reader holds a few descriptors, the first supplies' by name:
// the files beyond them are opened for each reading, and a change in one of them, or its failing,
// counts as much as in any other.
TEST_F(SysfsPower, HundredsOfSuppliesTakeAFewDescriptors) {
    Tree tree{{"AC", kMainsOff}};
    for (int i = 100; i < 400; ++i)  // tiny packs, all empty: more files than a process may have open
        tree["BAT" + std::to_string(i)] = battery("Discharging", {{"energy_full", "1"}, {"energy_now", "0"}});
    tree["BAT999"] = battery("Discharging", {{"energy_full", "100000"}, {"energy_now", "50000"}});
    read(tree);
    const auto before = test::openFiles();
    auto reader = std::make_unique<SysfsPowerReader>(root_);
    reader->handOverWatch();  // and never told of a change: a supply that goes is seen by its failing files
    EXPECT_EQ(reader->read().BatteryLifePercent, 50);  // weighted by size: the big pack counts
    EXPECT_EQ(test::openFiles() - before + 1, SysfsPowerReader::kMaxOpenFiles) << "all kept, one place left";
    EXPECT_EQ(test::openings(root_ / "BAT100/energy_now") - test::openings(root_ / "BAT999/energy_now"), 1)
        << "the first supplies by name keep theirs, whatever order the folder lists them in";
    put("BAT999", "energy_now", "100000\n");
    EXPECT_EQ(reader->read().BatteryLifePercent, 100);
    fs::rename(root_ / "BAT999", root_ / "BAT998");
    EXPECT_EQ(reader->read().BatteryLifePercent, 100) << "listed again when a file beyond the few fails";
    EXPECT_EQ(test::openFiles() - before + 1, SysfsPowerReader::kMaxOpenFiles) << "as many kept after it";
    reader.reset();
    EXPECT_EQ(test::openFiles(), before) << "all closed with the reader";
}

// Where the reader hears of changes, an adapter's state is kept between readings, but read again every
// fifth reading, so that a state changed unannounced (here written in place, which the watch of a tree
// does not report) still shows within five seconds. The kernel's announcements are told apart by their
// subsystem; reading them empties the socket, or the event loop would spin (an announcement of another
// subsystem is made here where the machine lets us).
TEST_F(SysfsPower, AdaptersAreReadWhenAnnouncedAndEveryFifthReading) {
    read(unplugged(layered("Discharging")));
    SysfsPowerReader reader(root_, SysfsPowerReader::Detail::kSourceAndLevel);
    reader.handOverWatch();
    EXPECT_EQ(reader.read().ACLineStatus, kACOffline);
    put("AC", "online", "1\n");
    std::vector<int> seen;
    for (int i = 0; i < 6; ++i) seen.push_back(reader.read().ACLineStatus);
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0, 1, 1}));

    const std::pair<std::string, bool> messages[] = {
        {"change@/devices/LNXSYSTM:00/ACPI0003:00/power_supply/AC\0ACTION=change\0SUBSYSTEM=power_supply\0"s,
         true},
        {"add@/x\0SUBSYSTEM=power_supply"s, true},
        {"change@/devices/virtual/net/lo\0ACTION=change\0SUBSYSTEM=net\0"s, false},
        {"change@/power_supply/AC\0SUBSYSTEM=power_supply_x\0XSUBSYSTEM=power_supply\0"s, false},
        {""s, false},
    };
    for (const auto& [message, ours] : messages) EXPECT_EQ(isPowerSupplyUevent(message), ours) << message;

    SysfsPowerReader kernel(kPowerSupplyRoot);
    const int announcements = kernel.handOverWatch();
    ASSERT_GE(announcements, 0) << "the kernel's announcements are listened to on sysfs";
    kernel.read();
    const int trigger = ::open("/sys/class/net/lo/uevent", O_WRONLY | O_CLOEXEC);
    if (trigger < 0) GTEST_SKIP() << "no announcement can be made here";
    ASSERT_EQ(::write(trigger, "change", 6), 6);
    ::close(trigger);
    pollfd ready{announcements, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 60'000), 1) << "announced";
    kernel.watchFired();
    EXPECT_EQ(::poll(&ready, 1, 0), 0) << "emptied";
}

// A FIFO or a folder must not hang the reader; a value whose read fails (drivers answer EIO or ENODEV
// while a pack is in a strange state; here a plain file no byte of which can be read) counts as missing.
TEST_F(SysfsPower, SpecialFilesAndFailingReadsCountAsMissing) {
    read({{"BAT0", battery("Discharging", {{"charge_full", "100"}})}});
    ASSERT_EQ(mkfifo((root_ / "BAT0" / "capacity").c_str(), 0600), 0);
    fs::create_directory(root_ / "BAT0" / "energy_now");
    fs::create_symlink("/proc/self/mem", root_ / "BAT0" / "charge_now");
    const long before = test::openFiles();
    EXPECT_EQ(readSysfsPowerStatus(root_).BatteryLifePercent, 255);
    EXPECT_EQ(test::openFiles(), before);  // what was opened only to be refused is closed again
}

// The services the Linux program reads the battery and the clock through: a reading of the machine's
// own supplies, which has no full-charge life, and the local time of day, by default the system's. A
// stepped clock shows the zone's offset (odd seconds here) taken at a minute's first reading and added
// at its others though the zone changed since, around an hour's and a day's end.
TEST(LinuxServices, ThePowerServiceReadsTheSuppliesAndTheClockTellsTheLocalTime) {
    SystemPowerStatus status{.BatteryFullLifeTime = 12345};
    EXPECT_EQ(SysfsPowerService().getSystemPowerStatus(status), 1);
    EXPECT_EQ(status.BatteryFullLifeTime, -1);
    test::ScopedEnv zone{"TZ"};
    test::ScopedEnv::set("TZ", "<LOC>-5:30:07");
    const auto local = [](std::time_t t) {
        std::tm tm{};
        char text[16];
        std::strftime(text, sizeof text, "%H:%M:%S", ::localtime_r(&t, &tm));
        return std::string(text);
    };
    const std::time_t before = std::time(nullptr);
    const std::string first = LocalClock().timeOfDay();
    EXPECT_TRUE(first == local(before) || first == local(std::time(nullptr))) << first;
    static std::time_t now;
    LocalClock stepped([](std::time_t*) { return now; });
    const std::tuple<const char*, std::time_t, const char*> steps[] = {
        {"<ONE>-1", 59, "01:00:59"},          {"<TWO>-2", 59, "01:00:59"},
        {"<TWO>-2", 60, "02:01:00"},          {"UTC0", 3600, "01:00:00"},
        {"<EAS>-1:02:03", 14262, "04:59:45"}, {"UTC0", 14279, "05:00:02"},
        {"<WES>+0:00:07", 14340, "03:58:53"}, {"<WES>+0:00:07", 3, "23:59:56"},
    };
    for (const auto& [tz, at, want] : steps) {
        test::ScopedEnv::set("TZ", tz);
        now = at;
        EXPECT_EQ(stepped.timeOfDay(), want) << tz << " " << at;
    }
}

}  // namespace
}  // namespace corvane
