// The one-second tick on the headless backend: readings, the hour of samples and its phase, the
// minutes on battery, the blink and the alarm, the tray tip, and a whole day of ticking.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "program_fixture.h"

// Counts the allocations that are alive, so a long run can show that the program's memory stays flat.
namespace {
std::atomic<long> gLiveAllocations{0};
void* take(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (p) ++gLiveAllocations;
    return p;
}
void giveBack(void* p) {
    if (p) --gLiveAllocations;
    std::free(p);
}
}  // namespace
void* operator new(std::size_t n) {
    if (void* p = take(n)) return p;
    throw std::bad_alloc();
}
// The library's temporary buffers (std::stable_sort) come from the nothrow form.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return take(n); }
void operator delete(void* p) noexcept { giveBack(p); }
void operator delete(void* p, std::size_t) noexcept { giveBack(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { giveBack(p); }

namespace corvane::test {
namespace {

TEST(Readings, TheLevelSourceAndFullLifeAsTheTickReadsThem) {
    // The line status, percent and full life read; the level and source the meter takes.
    const std::tuple<std::uint8_t, std::uint8_t, std::int32_t, float, const char*> cases[] = {
        {1, 57, 7200, 57, "AC"},  {1, 99, 7200, 99, "AC"}, {0, 100, -1, 100, "DC"},
        {255, 101, 0, 100, "DC"}, {0, 255, 5, 100, "DC"},  {7, 0, 9, 0, "DC"}};
    TestProgram p;
    for (const auto& [ac, percent, fullLife, level, source] : cases) {
        p.rt.setPowerStatus(
            {.ACLineStatus = ac, .BatteryLifePercent = percent, .BatteryFullLifeTime = fullLife});
        p.meter().ReadPowerStatus();
        EXPECT_EQ((std::tuple{p.meter().mEnergyLevel, p.meter().msPowerSrc, p.k.plFullLifeSaved}),
                  (std::tuple{level, std::string(source), fullLife}))
            << int(ac) << " " << int(percent);
    }
    p.ticks(1);
    p.exit();
    EXPECT_EQ(p.stored("FullLife"), " 9");  // every tick overwrites it, and it is saved
}

// Ticks second by second and writes down each sample the tick takes ("time source level elapsed"),
// telling a sample by the history filling up (it holds fewer than sixty here).
std::vector<std::string> samplesOver(TestProgram& p, int seconds) {
    const auto& sources = p.meter().msSrcHistory;
    std::vector<std::string> out;
    for (int i = 0; i < seconds; ++i) {
        const auto before = std::count(sources.begin(), sources.end(), "");
        p.ticks(1);
        if (std::count(sources.begin(), sources.end(), "") != before)
            out.push_back(p.rt.clock().timeOfDay() + " " + p.meter().msSrcHistory[0] + " " +
                          std::to_string(int(p.meter().mHistory[0])) + " " +
                          std::to_string(p.k.pnElapsedMin));
    }
    return out;
}

TEST(Tick, SamplesFallOnTheSecondOfTheLastChangeOfSource) {
    TestProgram p("", false);
    p.rt.setTimeOfDay(10, 20, 36);  // the first tick comes a second after the start: 10:20:37
    p.power(true, 80);
    p.program.start();
    auto samples = samplesOver(p, 275);  // to 10:25:11
    p.power(false, 79);                  // unplugged at 10:25:12
    auto after = samplesOver(p, 121);    // to 10:27:12
    samples.insert(samples.end(), after.begin(), after.end());
    EXPECT_EQ(samples, (std::vector<std::string>{"10:20:37 AC 80 0", "10:21:37 AC 80 0", "10:22:37 AC 80 0",
                                                 "10:23:37 AC 80 0", "10:24:37 AC 80 0", "10:26:12 DC 79 1",
                                                 "10:27:12 DC 79 2"}));
    EXPECT_EQ(p.meter().msSrcHistory[2], "AC");  // the mains samples move down the history
    p.power(true, 79);
    p.ticks(1);  // plugged in again
    EXPECT_EQ(p.k.pnElapsedMin, 0);
    p.ticks(120);
    EXPECT_EQ(p.k.pnElapsedMin, 0);
}

TEST(Tick, ALateTickStillSamplesButAWholeHourMissedLooksLikeNoTimeAtAll) {
    TestProgram p("", false);
    p.rt.setTimeOfDay(8, 0, 14);
    p.power(false, 60);
    p.program.start();  // first tick 8:00:15
    EXPECT_EQ(samplesOver(p, 59).size(), 1u);
    p.rt.setTimeOfDay(8, 1, 15);  // the tick due at 8:01:15 comes a second late
    EXPECT_EQ(samplesOver(p, 1), (std::vector<std::string>{"08:01:16 DC 60 1"}));
    p.rt.setTimeOfDay(9, 1, 20);  // no tick for an hour: the same shifted minute, no sample
    EXPECT_TRUE(samplesOver(p, 1).empty());
    EXPECT_EQ(samplesOver(p, 60), (std::vector<std::string>{"09:02:15 DC 60 2"}));
}

TEST(Tick, TheSixtyFirstSampleDropsTheFirstAndElapsedMinutesStopAtTheirLargest) {
    TestProgram p;
    p.power(false, 90);
    p.ticks(1);
    for (int minute = 1; minute <= 60; ++minute) {
        p.power(false, 90 - minute % 80);
        p.ticks(60);
    }
    // The 61st sample, then the second; the first, 90, is gone.
    EXPECT_EQ((std::tuple{p.meter().mHistory[0], p.meter().mHistory[59], p.k.pnElapsedMin}),
              (std::tuple{30, 89, 60}));
    p.k.pnElapsedMin = 32766;
    p.ticks(120);
    EXPECT_EQ(p.k.pnElapsedMin, 32767);
}

// The bar shows on one low tick and is wiped on the next; the grid stays. The alarm sounds at once on a
// meter that starts low, then every tenth low tick, and the count goes on where it stopped.
TEST(Tick, LowOnBatteryTheBarBlinksAndTheAlarmSoundsEveryTenthTick) {
    TestProgram p("SoundFile=C:\\alarm.wav", false);
    p.power(false, 24);
    p.program.start();
    const Picture& pic = p.meter().picHistory;
    auto barShown = [&] { return pic.image().at(2, 48) == 0xFFFu; };  // low colour near the bottom
    std::string shown;
    for (int i = 0; i < 4; ++i) {
        p.ticks(1);
        shown += barShown() ? '#' : '.';
        EXPECT_EQ(pic.image().at(4, 40), 0xFFFFFFu);  // a grid line, in every tick
    }
    EXPECT_EQ(shown, "#.#.");
    p.ticks(7);  // eleventh low tick: the second sound
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 2u);
    p.ticks(7);  // 7 more low ticks
    p.power(true, 24);
    p.ticks(30);  // mains: neither blinks nor sounds, however low
    EXPECT_TRUE(barShown());
    p.power(false, 24);
    p.ticks(2);
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 2u);
    p.ticks(1);  // the third low tick after the pause, not the tenth
    EXPECT_EQ(p.callsStartingWith("PlaySound"), (std::vector<std::string>(3, "PlaySound(C:\\alarm.wav)")));

    p.power(false, 25);
    p.ticks(20);  // at the bound: not low
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 3u);
    p.k.pnAlarmEnabled = 0;
    p.power(false, 10);
    p.ticks(1);  // without the alarm it still blinks
    const bool first = barShown();
    p.ticks(1);
    EXPECT_NE(first, barShown());
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 3u);
}

// The load colours the meter and puts it on top whatever ShowTop says; the first tick applies it.
TEST(Tick, TheFirstTickAppliesShowTopAndEveryTickSetsTheTrayTip) {
    for (bool hover : {true, false}) {
        TestProgram p("ShowTop=0", false);
        p.rt.tray().setReportsHover(hover);
        p.power(true, 57);
        p.program.start();
        p.rt.advance(999);  // the first tick comes a whole second after the start
        const std::vector<Color>& pixels = p.meter().picHistory.image().pixels();
        EXPECT_EQ(
            (std::tuple{p.meterWindow().topmost(), p.k.psTrayTip,
                        std::count(pixels.begin(), pixels.end(), 0x808080u), p.meterWindow().backColor(),
                        p.callsStartingWith("SetTopmost(frmMonitor,1)").size()}),
            (std::tuple{true, "", 8 * 51, 0xFFFFFFu, 1u}));
        p.rt.advance(1);
        EXPECT_EQ((std::tuple{p.meterWindow().topmost(), p.k.psTrayTip}),
                  (std::tuple{false, " Energy level: 57 %, Acquiring data..."}));
        p.ticks(3);
        // An icon that does not report hovering gets the tip whenever it changes, and only then; one that
        // does keeps the tip it was added with until it is hovered.
        EXPECT_EQ(p.rt.tray().calls.size(), hover ? 1u : 2u);
        EXPECT_EQ(p.rt.tray().calls.back().second, hover ? std::string("Battery status") : p.k.psTrayTip);
    }
}

// A day on battery and mains with the plug pulled and pushed at random moments: nothing breaks, the
// history keeps its shape at every tick, the meter repaints only when its picture changes, and the
// program's memory does not grow.
TEST(Tick, ADayOfTickingKeepsTheHistoryWholeAndTheMemoryFlat) {
    TestProgram p;
    std::mt19937 rng(20261206);
    bool mains = false;
    int level = 100;
    long liveAfterAnHour = 0;
    int repaints = 0, changesOrBlinks = 0;
    for (int second = 1; second <= 86400; ++second) {
        const bool wasMains = mains;
        const int wasLevel = level;
        if (rng() % 1800 == 0) mains = !mains;
        if (rng() % 90 == 0) level = std::clamp(level + (mains ? 1 : -1), 0, 100);
        changesOrBlinks += mains != wasMains || level != wasLevel || (!mains && level < 25);
        p.power(mains, level);
        const int before = p.rt.peerOf(p.meterWindow()).repaints;
        p.ticks(1);
        p.rt.calls.clear();
        repaints += p.rt.peerOf(p.meterWindow()).repaints - before;
        const frmMonitor& m = p.meter();
        ASSERT_EQ(m.mEnergyLevel, float(level)) << second;
        for (int i = 0; i < kHistorySize; ++i) {
            // A slot is filled exactly when it has a source; levels stay within 0 to 100.
            ASSERT_TRUE(m.msSrcHistory[i].empty() ? m.mHistory[i] == 0
                                                  : m.msSrcHistory[i] == "AC" || m.msSrcHistory[i] == "DC")
                << second << " " << i;
            ASSERT_TRUE(m.mHistory[i] >= 0 && m.mHistory[i] <= 100);
        }
        ASSERT_LE(p.k.psTrayTip.size(), 60u);
        if (second == 3600) liveAfterAnHour = gLiveAllocations;
    }
    EXPECT_EQ(gLiveAllocations, liveAfterAnHour);
    EXPECT_LE(repaints, changesOrBlinks + 1);  // the same picture is not repainted
}

}  // namespace
}  // namespace corvane::test
