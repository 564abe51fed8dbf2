// The whole program over the headless backend, as the unit tests build it, ticking through a day of a
// notebook's battery: the Linux reader reads a supply tree in a temporary folder every second (the
// way the Linux program reads /sys), its record goes to the program's power service and the program
// ticks. Prints the time per tick of the reading and of the rest of the tick. bench/tick_phases.sh
// runs it under callgrind as well and splits the tick into its phases by instructions, which unlike
// times do not depend on what else the machine is doing.
// With --cold every tick finds the caches as a tick at rest does, a second after the last one with
// other programs run in between: the benchmark writes over more memory than the caches hold before
// each tick, and the time a tick takes then is mostly the memory it touches, not its instructions.
//   corvane_bench_ticks [ticks] [--cold]        (100000 ticks by default)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless_runtime.h"
#include "platform/linux/sysfs_power.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Written in place, as the kernel changes its values.
void put(const fs::path& file, const std::string& value) { std::ofstream(file) << value << '\n'; }

// A pack like the end-to-end tests' fake battery: 5 Ah at 11.4 V.
struct Tree {
    explicit Tree(fs::path root) : root(std::move(root)) {
        fs::create_directories(this->root / "AC");
        fs::create_directories(this->root / "BAT0");
        put(this->root / "AC" / "type", "Mains");
        const fs::path bat = this->root / "BAT0";
        put(bat / "type", "Battery");
        put(bat / "present", "1");
        put(bat / "voltage_now", "11400000");
        put(bat / "charge_full", "5000000");
        put(bat / "energy_full", "57000000");
    }
    void set(bool mains, int percent) {
        const fs::path bat = root / "BAT0";
        if (mains != mains_) put(root / "AC" / "online", mains ? "1" : "0");
        if (mains != mains_ || percent == 100 || percent_ == 100)
            put(bat / "status", !mains ? "Discharging" : percent == 100 ? "Full" : "Charging");
        if (percent != percent_) {
            put(bat / "capacity", std::to_string(percent));
            put(bat / "charge_now", std::to_string(50000 * percent));
            put(bat / "energy_now", std::to_string(570000 * percent));
        }
        if (mains != mains_) {
            put(bat / "current_now", "1500000");
            put(bat / "power_now", "17100000");
        }
        mains_ = mains, percent_ = percent;
    }
    fs::path root;
    bool mains_ = true;
    int percent_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 100000;
    const bool cold = argc > 2 && std::strcmp(argv[2], "--cold") == 0;
    std::vector<char> evict(cold ? 64 << 20 : 0);
    std::string folder = (fs::temp_directory_path() / "corvane-ticks.XXXXXX").string();
    if (!mkdtemp(folder.data())) return std::perror("mkdtemp"), 1;
    Tree tree(folder);
    tree.set(false, 100);

    corvane::HeadlessRuntime rt;
    corvane::Program program(rt);
    corvane::SysfsPowerReader reader(tree.root, corvane::SysfsPowerReader::Detail::kSourceAndLevel);
    program.start();

    // Four hours down to 20 % on battery (a percent every 144 s, the last minutes low and blinking),
    // then an hour and a half back to full on mains, and again.
    Clock::duration reading{}, ticking{};
    for (long t = 0; t < ticks; ++t) {
        const long s = t % 20160;
        const bool mains = s >= 11520;
        tree.set(mains, mains ? std::min(100, 20 + int((s - 11520) / 108)) : 100 - int(s / 144));
        for (std::size_t at = 0; at < evict.size(); at += 64) evict[at] = static_cast<char>(t);
        const auto t0 = Clock::now();
        rt.setPowerStatus(reader.read());
        const auto t1 = Clock::now();
        rt.advance(1000);
        ticking += Clock::now() - t1;
        reading += t1 - t0;
        rt.calls.clear();  // the headless services' log of calls, which would only grow
    }
    fs::remove_all(folder);
    auto us = [&](Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count() / ticks; };
    std::printf("%ld%s ticks: reading %.2f us, the rest of the tick %.2f us, per tick\n", ticks,
                cold ? " cold" : "", us(reading), us(ticking));
    return 0;
}
