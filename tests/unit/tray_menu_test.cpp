// The tray icon's notifications and the popup menu's commands, from the tray and from the meter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/frm_options.h"
#include "program_fixture.h"
#include "shell/tray.h"
#include "tooltip/frm_tooltip.h"

namespace corvane::test {
namespace {

using Calls = std::vector<std::string>;

const std::vector<std::string> kMenuCaptions = {
    "Hide Battery Meter", "-", "Preferences...", "-", "Help Topics", "About", "-", "Exit"};

// The calls that change what the user sees: the icon, the band, the menu, the help, the end.
Calls visibleCalls(const TestProgram& p) {
    Calls out;
    for (const auto& c : p.rt.calls)
        if (c.rfind("Get", 0) != 0 && c.rfind("SaveSetting", 0) != 0) out.push_back(c);
    return out;
}

TEST(TrayIcon, EachNotificationDoesWhatItsMouseMessageMeans) {
    const std::tuple<const char*, std::vector<TrayEvent>, Calls, bool> cases[] = {
        // stored, events, calls, shown
        // A left button down lifts a shown meter that is not kept on top, and only that.
        // clang-format off
        {"ShowTop=0", {TrayEvent::LeftButtonDown}, {"SetTopmost(frmMonitor,1)", "SetTopmost(frmMonitor,0)"}, true},
        {"ShowTop=1", {TrayEvent::LeftButtonDown}, {}, true},
        {"ShowTop=0 State=1", {TrayEvent::LeftButtonDown}, {}, false},
        // A double-click comes after its button down: lifted, then hidden; and shown again.
        {"ShowTop=0", {TrayEvent::LeftButtonDown, TrayEvent::LeftDoubleClick},
            {"SetTopmost(frmMonitor,1)", "SetTopmost(frmMonitor,0)"}, false},
        // clang-format on
        {"ShowTop=0 State=1", {TrayEvent::LeftButtonDown, TrayEvent::LeftDoubleClick}, {}, true},
        {"", {TrayEvent::MouseMove}, {"TrayTip()"}, true},      // before the first tick the tip is empty
        {"", {TrayEvent::RightButtonUp}, {"PopupMenu"}, true},  // the menu, dismissed
        {"", {TrayEvent::LeftButtonUp, TrayEvent::RightButtonDown}, {}, true},
    };
    for (const auto& [stored, events, calls, shownAfter] : cases) {
        TestProgram p(stored);
        p.rt.calls.clear();
        for (TrayEvent e : events) p.rt.tray().onEvent(e);
        SCOPED_TRACE(std::string(stored) + " event " + std::to_string(mouseMessageOf(events.back())));
        EXPECT_EQ(visibleCalls(p), calls);
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption(), p.k.pnMonitorHidden}),
                  (std::tuple{shownAfter, shownAfter ? kHideMeterCaption : kShowMeterCaption,
                              std::int16_t(shownAfter ? 0 : 1)}));
    }
}

TEST(PopupMenu, EveryCommandFromTheTray) {
    // The About box comes after its calls. At the end the icon goes before the settings are written,
    // then the meter leaves the band.
    // The calls of each command, in the menu's order: toggle, -, Preferences, -, Help, About, -, Exit.
    // clang-format off
    const Calls cases[] = {
        {"PopupMenu"}, {"PopupMenu"}, {"PopupMenu", "SetTopmost(frmMonitor,0)"}, {"PopupMenu"},
        {"PopupMenu", "Help(C:\\Tools\\quillmet.hlp,contents)"},
        {"PopupMenu", "SetTopmost(frmMonitor,0)", "SetTopmost(frmInfo,1)"}, {"PopupMenu"},
        {"PopupMenu", "TrayRemove", "SetTopmost(frmMonitor,0)", "End"}};
    // clang-format on
    for (int index = 0; index < int(std::size(cases)); ++index) {
        SCOPED_TRACE(index);
        TestProgram p("", false);
        p.rt.setExecutableFolder("C:\\Tools", '\\');
        p.program.start();
        p.rt.calls.clear();
        p.rt.popupMenu().answer({index, nullptr});
        p.rt.tray().onEvent(TrayEvent::RightButtonUp);
        EXPECT_EQ(p.rt.popupMenu().shown, std::vector<std::vector<std::string>>{kMenuCaptions});
        EXPECT_EQ(visibleCalls(p), cases[index]);
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.rt.ended()}),
                  (std::tuple{index != kMenuToggle, index == kMenuExit}));
        EXPECT_EQ(p.stored("State"), index == kMenuExit ? " 0" : "<missing>");
        EXPECT_EQ(p.main().tmrShow.enabled(), index == kMenuPreferences);
    }
}

// The dialog opens on the second tick of tmrShow, about 200 ms after the command; the count starts
// over for the next time.
TEST(PopupMenu, PreferencesWaitTwoTicksOfTmrShow) {
    TestProgram p("ShowTop=1");
    p.ticks(1);
    ASSERT_TRUE(p.meterWindow().topmost());
    for (int round = 0; round < 2; ++round) {
        p.main().mnuMenuArray_Click(kMenuPreferences);
        EXPECT_FALSE(p.meterWindow().topmost());
        p.rt.advance(199);
        EXPECT_EQ((std::tuple{p.main().tmrShow.enabled(), p.program.options().find()}),
                  (std::tuple{true, nullptr}));
        p.rt.advance(1);
        EXPECT_FALSE(p.main().tmrShow.enabled());
        frmOptions* dialog = p.program.options().find();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->window.visible() && dialog->window.topmost());
        dialog->cmdCancel.click();  // closing it puts the meter back on top
        EXPECT_TRUE(p.meterWindow().topmost());
        p.rt.runPosted();
    }
}

// While the menu is up, time goes on and the session may end; a command chosen after the end is not
// run, and an error inside a command is skipped. The mouse over the icon shows the latest status in the
// tip, until the program has ended: the icon is gone then and stays gone.
TEST(PopupMenu, TheProgramGoesOnAroundTheModalMenu) {
    TestProgram p;
    p.power(false, 57);
    p.rt.popupMenu().answer({kMenuToggle, [&] { p.ticks(2); }});
    p.rt.tray().onEvent(TrayEvent::RightButtonUp);
    p.rt.tray().onEvent(TrayEvent::MouseMove);
    EXPECT_EQ((std::tuple{p.rt.tray().calls.back().second, p.meterWindow().visible()}),
              (std::tuple{" Elapsed: 0 min, Energy level: 57 %, Acquiring data...", false}));

    p.rt.popupMenu().answer({kMenuToggle, [&] { p.rt.endSession(); }});
    p.rt.tray().onEvent(TrayEvent::RightButtonUp);
    const auto calls = p.rt.tray().calls.size();
    p.rt.tray().onEvent(TrayEvent::MouseMove);
    EXPECT_EQ(
        (std::tuple{p.rt.ended(), p.meterWindow().visible(), p.stored("State"), p.rt.tray().calls.size()}),
        (std::tuple{true, false, " 1", calls}));

    TestProgram broken;
    broken.rt.help().fails = true;
    broken.main().mnuMenuArray_Click(kMenuHelp);
    broken.main().mnuMenuArray_Click(kMenuToggle);
    EXPECT_EQ((std::tuple{broken.callsStartingWith("Help(").size(), broken.meterWindow().visible()}),
              (std::tuple{1u, false}));
}

// A right-button release on the meter stops and hides the tooltip, then pops the same menu up.
TEST(PopupMenu, FromTheMeterAfterTheTooltipHasGone) {
    TestProgram p;
    p.rt.setCursor(1018, 25);
    p.meter().picHistory.mouseMove(0, 0, 4, 25);
    p.rt.advance(500);
    frmToolTip& tip = p.program.toolTip();
    ASSERT_TRUE(tip.window.visible());
    bool tipGoneWhileUp = false;
    p.rt.popupMenu().answer(
        {kMenuToggle, [&] { tipGoneWhileUp = !tip.window.visible() && !tip.tmrToolTip.enabled(); }});
    p.meter().picHistory.mouseUp(kRightButton, 0, 4, 25);
    EXPECT_EQ((std::tuple{tipGoneWhileUp, p.rt.popupMenu().shown.size(), p.meterWindow().visible()}),
              (std::tuple{true, 1u, false}));
    // The left button's release, with or without the right one, opens no menu.
    p.meter().picHistory.mouseUp(kLeftButton, 0, 4, 25);
    p.meter().picHistory.mouseUp(kLeftButton | kRightButton, 0, 4, 25);
    EXPECT_EQ(p.rt.popupMenu().shown.size(), 1u);
}

}  // namespace
}  // namespace corvane::test
