#include <gtest/gtest.h>

#include "program_fixture.h"

namespace corvane::test {
namespace {

// The stored state decides whether the meter starts shown. A second start of the program while this
// one runs brings the meter forward, shown the way the menu shows it and lifted within its band; no
// second icon, nothing else.
TEST(Startup, TheStoredStateDecidesWhetherTheMeterStartsShownAndAnotherStartShowsIt) {
    // Stored, shown at the start, hidden by a double-click, the lift, the state saved.
    const std::tuple<const char*, bool, bool, const char*, const char*> cases[] = {
        // clang-format off
        {"", true, false, "SetTopmost(frmMonitor,1)", " 0"},       {"State=0", true, true, "SetTopmost(frmMonitor,1)", " 0"},
        {"State=1", false, false, "SetTopmost(frmMonitor,1)", " 0"},
        {"ShowTop=0 State=1", false, false, "SetTopmost(frmMonitor,0)", " 0"},
        {"State=7", true, false, "SetTopmost(frmMonitor,1)", " 7"},  // unknown: kept
        // clang-format on
    };
    for (const auto& [stored, shown, hideByDoubleClick, lift, savedState] : cases) {
        SCOPED_TRACE(std::string(stored) + (hideByDoubleClick ? " + double-click" : ""));
        TestProgram p(stored);
        EXPECT_EQ(p.rt.calls.front(), "TrayAdd(Battery status)");
        // Even a meter that starts hidden has been loaded and placed first.
        EXPECT_EQ(placeOf(p.meterWindow()), (Rect{15210, 0, 150, 765}));
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption()}),
                  (std::tuple{shown, shown ? kHideMeterCaption : kShowMeterCaption}));
        p.ticks(1);  // the first tick puts the meter into the band the settings ask for
        if (hideByDoubleClick) p.meter().picHistory.dblClick();
        const bool wasTopmost = p.meterWindow().topmost();
        p.rt.calls.clear();
        p.rt.anotherStarted();
        EXPECT_TRUE(p.rt.calls.empty()) << "handled from the event loop, not inside the caller";
        p.rt.runPosted();
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption(), p.meterWindow().topmost()}),
                  (std::tuple{true, kHideMeterCaption, wasTopmost}));
        EXPECT_EQ(p.rt.calls, std::vector<std::string>{lift});
        p.exit();
        EXPECT_EQ(p.stored("State"), savedState);
    }
}

// A double-click on the meter hides it as the menu's command does.
TEST(Startup, TheMenuCommandShowsTheMeterADoubleClickHidesItAndTheStateIsKept) {
    TestProgram p("State=1");
    auto state = [&p] {
        return std::tuple{p.meterWindow().visible(), p.firstCaption(), p.k.pnMonitorHidden};
    };
    p.main().ToggleMonitor();
    EXPECT_EQ(state(), (std::tuple{true, kHideMeterCaption, std::int16_t{0}}));
    p.meter().picHistory.dblClick();
    EXPECT_EQ(state(), (std::tuple{false, kShowMeterCaption, std::int16_t{1}}));
    // Only the first item tells the state; the others keep their captions.
    std::vector<std::string> captions;
    for (const MenuItem& item : p.main().mnuMenuArray) captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{kShowMeterCaption, "-", "Preferences...", "-",
                                                  "Help Topics", "About", "-", "Exit"}));
    p.exit();
    EXPECT_EQ(p.stored("State"), " 1");
}

TEST(AnotherStart, AfterTheEndChangesNothing) {
    TestProgram p("State=1");
    p.rt.anotherStarted();
    p.exit();  // heard just before the end, handled never
    const auto callsAtEnd = p.rt.calls;
    p.rt.anotherStarted();
    p.rt.runPosted();
    EXPECT_EQ((std::tuple{p.rt.calls, p.meterWindow().visible(), p.stored("State")}),
              (std::tuple{callsAtEnd, false, " 1"}));
}

// Reasons 0 to 3 end the program (2: the user logs off or the machine shuts down); any other does
// nothing at all.
TEST(Shutdown, EveryKnownCloseReasonRemovesTheIconSavesAndEndsAndAnUnknownOneDoesNothing) {
    for (std::int16_t reason : {-1, 0, 1, 2, 3, 4, 5}) {
        SCOPED_TRACE(reason);
        TestProgram p;
        p.rt.calls.clear();
        reason == 2 ? p.rt.endSession() : p.exit(reason);
        const auto& calls = p.rt.calls;
        if (reason < 0 || reason > 3) {
            EXPECT_EQ((std::array{calls.empty(), p.rt.store().entries().empty(), p.rt.ended()}),
                      (std::array{true, true, false}));
            continue;
        }
        ASSERT_EQ(calls.size(), 23u);
        for (int i = 1; i <= 20; ++i) EXPECT_EQ(calls[i].rfind("SaveSetting(", 0), 0u) << calls[i];
        EXPECT_EQ((std::array{calls[0], calls[21], calls[22]}),
                  (std::array<std::string, 3>{"TrayRemove", "SetTopmost(frmMonitor,0)", "End"}));
        // The icon came with the start tip and went, and nothing else reached it.
        EXPECT_EQ(p.rt.tray().calls, (std::vector<std::pair<TrayCall, std::string>>{
                                         {TrayCall::Add, "Battery status"}, {TrayCall::Remove, ""}}));
    }
}

TEST(Shutdown, SavesWhereTheMeterStandsEvenInACornerAndNothingRunsAfterwards) {
    TestProgram p;  // upper right corner
    p.dragBy(500, 100, -91, 20);
    p.exit();
    EXPECT_EQ(p.stored("Position") + p.stored("Left") + p.stored("Top"), " 2 13845 300");
    // The revive step would have put the meter back into its corner at 2 s.
    const auto callsAtEnd = p.rt.calls;
    p.rt.advance(5000);
    EXPECT_EQ((std::tuple{p.meterWindow().left(), p.rt.calls}), (std::tuple{13845, callsAtEnd}));
    // The next start puts it back into the corner all the same.
    TestProgram next(p.rt.store().entries());
    EXPECT_EQ(placeOf(next.meterWindow()), (Rect{15210, 0, 150, 765}));
}

TEST(Shutdown, AStoreThatCannotBeWrittenKeepsItsValuesAndTheProgramStillEnds) {
    TestProgram p("Position=3 ShowHelp=0");
    const auto before = p.rt.store().entries();
    p.rt.store().failWrites = true;
    p.dragBy(500, 100, -100, 0);
    p.exit();
    EXPECT_EQ(
        (std::tuple{p.rt.store().entries(), p.rt.problems.size(), p.rt.ended(), p.meterWindow().topmost()}),
        (std::tuple{before, 1u, true, false}));
}

}  // namespace
}  // namespace corvane::test
