#include <gtest/gtest.h>

#include <algorithm>

#include "program_fixture.h"
#include "two_pictures.h"

namespace corvane::test {
namespace {

// A second monitor of 1280 x 800 pixels left of the primary one, in the program's pixels.
const std::vector<PixelRect> kLeftMonitor{{-1280, 0, 1280, 800}};

// Screens are 1024 x 768 pixels at 15 twips per pixel unless a case says otherwise: 15360 x 11520 twips.
// A remembered place that lies on some monitor is kept; one that lies on none, from another
// arrangement of monitors or a garbled store, comes back inside the primary monitor, there and at the
// revive step.
TEST(MeterWindow, SizeAndPlaceFollowOrientationThicknessPositionAndTheMonitors) {
    struct Case {
        const char* stored;
        Rect window;
        std::array<int, 4> surface = {1, 0, 8, 51};  // pixels: left, top, width, height
        std::vector<PixelRect> others = {};
        int screenW = 1024, screenH = 768, twipsPerPixel = 15;
    } const cases[] = {
        // clang-format off
        // Upright, 10 thick, in the upper right corner unless the position says otherwise.
        {"", {15210, 0, 150, 765}},            {"Position=0", {0, 0, 150, 765}},
        {"Position=1", {0, 10755, 150, 765}},  {"Position=3", {15210, 10755, 150, 765}},
        {"Upright=0 Position=3",        {14595, 11370, 765, 150}, {0, 1, 51, 8}},
        {"Upright=0 Position=1",        {0, 11370, 765, 150},     {0, 1, 51, 8}},
        {"Upright=0 Width=8",           {14595, 0, 765, 120},     {0, 1, 51, 6}},
        {"Position=4 Left=1200 Top=900", {1200, 900, 150, 765}},
        {"Upright=0 Width=20 Position=4 Left=1200", {1200, 0, 765, 300}, {0, 1, 51, 18}},
        {"Position=7 Left=1200",        {0, 0, 150, 765}},  // stays where it was created
        // Neither flat nor upright: sized upright, the surface placed as for a flat meter.
        {"Upright=2 Position=0",        {0, 0, 150, 765},         {0, 1, 10, 49}},
        {"Upright=-1",                  {15210, 0, 150, 765},     {0, 1, 10, 49}},
        {"Position=3",                  {15240, 8988, 120, 612},  {1, 0, 8, 51}, {}, 1280, 800, 12},
        // Two pixels thick or less: the strips on either side leave no surface.
        {"Width=2",                     {15330, 0, 30, 765},      {1, 0, 0, 51}},
        {"Width=1",                     {15345, 0, 15, 765},      {1, 0, 0, 51}},
        {"Upright=0 Width=-5",          {14595, 0, 765, 0},       {0, 1, 51, 0}},  // never a negative size
        {"Position=4 Left=-15000 Top=900", {-15000, 900, 150, 765}, {1, 0, 8, 51}, kLeftMonitor},  // on the left monitor
        {"Position=4 Left=-15000 Top=900", {0, 900, 150, 765}},
        {"Position=4 Left=-19335 Top=900", {-19335, 900, 150, 765}, {1, 0, 8, 51}, kLeftMonitor},  // one pixel of it on the left one
        {"Position=4 Left=-19350 Top=900", {0, 900, 150, 765},      {1, 0, 8, 51}, kLeftMonitor},  // and none
        {"Position=4 Left=15300 Top=11400", {15300, 11400, 150, 765}},  // partly on the primary one
        {"Position=4 Left=16000 Top=12000", {15210, 10755, 150, 765}},
        {"Position=4 Left=15360 Top=900",  {15210, 900, 150, 765}},   // right of the right edge: on none
        {"Position=4 Left=3000 Top=11520", {3000, 10755, 150, 765}},  // and below the bottom edge
        {"Position=4 Left=3000 Top=-765",  {3000, 0, 150, 765}},      // above the top edge
        {"Position=4 Left=-150 Top=900",   {0, 900, 150, 765}},       // left of the left edge
        {"Position=4 Left=1e30 Top=-1e30", {15210, 0, 150, 765}},
        // No width or no height: on the left one's left or top edge, or a pixel beyond it.
        {"Position=4 Left=-19200 Top=900 Width=0", {-19200, 900, 0, 765}, {1, 0, 0, 51}, kLeftMonitor},
        {"Position=4 Left=-19215 Top=900 Width=0", {0, 900, 0, 765},      {1, 0, 0, 51}, kLeftMonitor},
        {"Upright=0 Width=0 Position=4 Left=-15000 Top=0",   {-15000, 0, 765, 0}, {0, 1, 51, 0}, kLeftMonitor},
        {"Upright=0 Width=0 Position=4 Left=-15000 Top=-15", {0, 0, 765, 0},      {0, 1, 51, 0}, kLeftMonitor},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " at " + std::to_string(c.twipsPerPixel));
        TestProgram p(c.stored, [&](TestProgram& q) {
            q.rt.setScreen(c.screenW, c.screenH, c.twipsPerPixel);
            q.rt.setOtherMonitors(c.others);
        });
        const Picture& pic = p.meter().picHistory;
        EXPECT_EQ((std::array{pic.pixelLeft(), pic.pixelTop(), pic.image().width(), pic.image().height()}),
                  c.surface);
        EXPECT_EQ(placeOf(p.meterWindow()), c.window);
        p.rt.advance(2000);
        EXPECT_EQ(placeOf(p.meterWindow()), c.window) << "revived";
    }
}

// The native window's place in whole pixels: halves to the even pixel, and bounded however far off
// the place in twips lies. A screen that reports no size of a pixel counts one twip a pixel.
TEST(MeterWindow, ThePixelPlaceIsTheTwipsPlaceRoundedAndBounded) {
    const std::pair<std::array<double, 5>, std::array<int, 4>> cases[] = {
        // twips, twips a pixel, then pixels
        {{1200, 900, 150, 765, 15}, {80, 60, 10, 51}},
        {{1207.5, -22.5, 180, 765, 15}, {80, -2, 12, 51}},
        {{1e30, -1e30, 150, 765, 15}, {327670, -327670, 10, 51}},
        {{-1e30, 1e30, 1e30, 765, 15}, {-327670, 327670, 32767, 51}},
        {{1200, 900, 150, 765, 0.5}, {2400, 1800, 300, 1530}},
        {{1200, 900, 150, 765, 0}, {1200, 900, 150, 765}},
        {{1200, 900, 0, 0, 15}, {80, 60, 0, 0}},
    };
    TestProgram p;
    Form& w = p.meterWindow();
    for (const auto& [twips, pixels] : cases) {
        p.rt.setScreen(1024, 768, twips[4]);
        place(w, twips[0], twips[1], twips[2], twips[3]);
        EXPECT_EQ((std::array{w.pixelLeft(), w.pixelTop(), w.pixelWidth(), w.pixelHeight()}), pixels)
            << twips[0] << " at " << twips[4];
    }
}

// The monitors change while the program runs. Every window keeps its place on the desktop, so where
// the primary monitor moved, the places in its frame move the other way; then a meter in a corner goes
// to that corner of the primary monitor, and one anywhere else stays unless it lies on no monitor any
// more. Nothing is stored.
TEST(MeterWindow, AScreenChangeTakesACornerMeterAlongAndLeavesASeenPlaceAlone) {
    // Stored; the primary monitor's new size in pixels; the others; how far its top left corner moved on
    // the desktop; the meter's place.
    const std::tuple<const char*, int, int, std::vector<PixelRect>, int, int, double, double> cases[] = {
        // clang-format off
        {"",           1280, 800,  {},           0,    0,   19050, 0},      // a new resolution
        {"Position=3", 1280, 800,  {},           0,    0,   19050, 11235},
        {"Position=0", 1920, 1080, kLeftMonitor, 1280, 0,   0,     0},      // the right one made primary
        {"Position=1", 1920, 1080, kLeftMonitor, 1280, 0,   0,     15435},
        {"Position=4 Left=3000 Top=3000", 1920, 1080, kLeftMonitor, 1280, 0, -16200, 3000},  // stays put
        {"Position=4 Left=3000 Top=3000", 1920, 1080, {},           1280, 0, 0,      3000},  // its monitor gone
        {"Position=4 Left=3000 Top=3000", 1024, 768, {},            -1,   0, 3015,   3000},  // a pixel either way
        {"Position=4 Left=3000 Top=3000", 1024, 768, {},            0,   -1, 3000,   3015},
        {"Position=4 Left=3000 Top=3000", 1024, 768, {},            1,    0, 2985,   3000},
        {"Position=4 Left=3000 Top=3000", 1024, 768, {},            0,    1, 3000,   2985},
        {"Position=4 Left=3000 Top=3000", 1024, 768, {{0, -768, 1024, 768}}, 0, 768, 3000, -8520},  // one below
        {"Position=4 Left=15000 Top=10500", 800, 600, {},           0,    0, 11850,  8235},  // a smaller one
        {"Position=4 Left=11925 Top=3000",  800, 600, {},           0,    0, 11925,  3000},  // still partly on it
        {"Position=7", 1024, 768, {{-1024, 0, 1024, 768}}, 1024, -100, -15360, 1500},       // an unknown choice too
        {"Position=7", 1024, 768, {},                     1024, 0,    0,      0},
        {"Position=-1", 1024, 768, {},                    1024, 0,    0,      0},
        // clang-format on
    };
    for (const auto& [stored, width, height, others, dx, dy, left, top] : cases) {
        TestProgram p(stored);
        const std::size_t saves = p.callsStartingWith("SaveSetting").size();
        const float storedLeft = p.k.pMonitorLeft;
        p.rt.changeScreens(width, height, others, dx, dy);
        p.rt.runPosted();
        // The hidden main window keeps its place too.
        EXPECT_EQ((std::tuple{placeOf(p.meterWindow()), p.main().window.left(),
                              p.callsStartingWith("SaveSetting").size(), p.k.pMonitorLeft}),
                  (std::tuple{Rect{left, top, 150, 765}, -30000.0 - dx * 15, saves, storedLeft}))
            << stored << " " << dx;
    }
}

// A meter dragged away from its corner goes back into it at the revive step, two seconds after the
// start and once only, and at every change of the screens, by where the last of a burst of changes left
// the monitors.
TEST(MeterWindow, ADraggedCornerMeterGoesBackAtTheReviveStepOnceAndAtEveryScreenChange) {
    TestProgram p;
    p.main().window.setLeft(0);
    p.rt.advance(500);
    p.dragBy(500, 100, -100, 10);
    p.rt.setScreen(1280, 800, 12);  // the display changed while the meter was starting
    p.rt.advance(1499);
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{13710, 150, 150, 765}));
    p.rt.advance(1);
    EXPECT_EQ((std::tuple{placeOf(p.meterWindow()), p.main().window.left(), p.meter().tmrRevive.enabled()}),
              (std::tuple{Rect{15240, 0, 120, 612}, -30000.0, false}));
    p.dragBy(500, 100, -100, 10);
    p.rt.advance(5000);  // once only: a later drag stays
    p.rt.changeScreens(1280, 1024, kLeftMonitor, 1280, 0);
    p.rt.changeScreens(1600, 900, kLeftMonitor, -1280, 0);
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{14040, 120, 120, 612})) << "not placed before the loop turns";
    p.rt.runPosted();
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{19080, 0, 120, 612}));
    p.rt.setScreen(1024, 768, 15);  // a later change is heard as well; a new size of a pixel keeps its pixels
    p.rt.changeScreens(1024, 768);
    p.rt.runPosted();
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{15210, 0, 150, 765}));
    // Back to 0,0, where a new window stands anyway; with nowhere to go back to, the dragged place stays.
    for (auto [stored, left, top] : {std::tuple{"Position=0", 0.0, 0.0}, {"Position=7", 1500.0, 600.0}}) {
        TestProgram q(stored);
        q.dragBy(0, 0, 100, 40);
        q.rt.advance(2000);
        EXPECT_EQ(placeOf(q.meterWindow()), (Rect{left, top, 150, 765})) << stored;
    }
}

TEST(MeterWindow, OnlyTheLeftButtonDragsFollowingTheCursorAndStoppingAtTheScreenEdges) {
    const char* const k3000 = "Left=3000 Top=3000";
    const std::tuple<int, int, double, double, const char*> cases[] = {
        // pixels moved, place, first place
        // clang-format off
        {50, 30, 3750, 3450, k3000},                                        // follows with the offset it had
        {-300, 0, 0, 3000, k3000},       {0, -300, 3000, 0, k3000},         // stops at the left and top edges
        {-1, -1, 0, 0, "Left=14 Top=14"},                                   // a twip past them too
        {900, 0, 15210, 3000, k3000},    {0, 700, 3000, 10755, k3000},      // ends on the right and bottom edges
        {-1000, 2000, 0, 10755, k3000},
        {814, 517, 15210, 10755, k3000}, {813, 516, 15195, 10740, k3000},   // exactly on the edges: not moved back
        {0, 0, 1206, 3000, "Left=1206.5 Top=3000"}, {0, 0, 1208, 3000, "Left=1207.5 Top=3000"},  // whole twips, halves to the even one
        // clang-format on
    };
    for (const auto& [dx, dy, left, top, start] : cases) {
        TestProgram p(std::string("Position=4 ") + start);
        p.dragBy(500, 400, dx, dy);
        EXPECT_EQ(placeOf(p.meterWindow()), (Rect{left, top, 150, 765})) << dx << ", " << dy;
    }
    // Only the left button drags, and releasing it ends the drag. A failed cursor read counts as the
    // screen's origin, with the offset of the last press: after a drag to 210 pixels, pressed 110
    // pixels left of it.
    TestProgram p(std::string("Position=4 ") + k3000);
    p.dragBy(0, 0, 150, 150, true, kRightButton);
    EXPECT_EQ(p.meterWindow().left(), 3000);
    p.dragBy(150, 150, 10, 0);  // released at the end
    p.rt.setCursor(300, 300);
    p.meter().picHistory.mouseMove(0, 0, 1, 1);
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{3150, 3000, 150, 765}));
    p.dragBy(100, 50, 0, 0, false);
    p.rt.setCursorFails(true);
    p.meter().picHistory.mouseMove(kLeftButton, 0, 1, 1);
    EXPECT_EQ(placeOf(p.meterWindow()), (Rect{1650, 2250, 150, 765}));
}

// The load starts the monitor afresh, and switches the alarm off when there is no sound to play.
TEST(MeterWindow, LoadClearsTheMonitorStateAndAnAlarmWithoutASoundFile) {
    for (auto [soundFile, alarm] :
         {std::pair{"", 0}, std::pair{"   ", 0}, std::pair{"ab", 1}, std::pair{" a ", 1}}) {
        TestProgram p("EnableAlarm=1", false);
        p.rt.store().set("Options", "SoundFile", soundFile);
        frmMonitor& m = p.meter();
        m.mnFirstTick = 0;
        m.msPowerSrc = "DC";
        m.mHistory.fill(42);
        m.msSrcHistory.fill("AC");
        p.program.start();
        EXPECT_EQ((std::tuple{p.k.pnAlarmEnabled, m.mnFirstTick,
                              std::count(m.mHistory.begin(), m.mHistory.end(), 0.0f),
                              std::count(m.msSrcHistory.begin(), m.msSrcHistory.end(), ""), m.msPowerSrc}),
                  (std::tuple{alarm, 1, kHistorySize, kHistorySize, ""}))
            << '"' << soundFile << '"';
    }
}

}  // namespace
}  // namespace corvane::test
