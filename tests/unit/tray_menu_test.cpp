// The tray icon's notifications and the popup menu's commands, from the tray and from the meter; the
// status tooltip beside the meter, in the headless test font: 6 x 15 pixels a character at Arial 9 pt,
// 15 twips per pixel on a 1024 x 768 screen.

#include <gtest/gtest.h>

#include <optional>
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

constexpr Color kInk = 0x00000000;

struct TipProgram : TestProgram {
    using TestProgram::TestProgram;
    frmToolTip& tip() { return program.toolTip(); }
    // The mouse moves over the meter with the cursor at a screen pixel, and time goes on.
    void hover(int x, int y, std::int16_t buttons = 0, long long thenMs = 500) {
        rt.setCursor(x, y);
        meter().picHistory.mouseMove(buttons, 0, 1, 1);
        rt.advance(thenMs);
    }
    Rect tipPlace() { return placeOf(tip().window); }
    std::array<int, 2> tipPixels() { return {tip().window.pixelWidth(), tip().window.pixelHeight()}; }
};

// What the user sees change after the mouse messages on the icon and the command chosen in the menu a
// right-button release pops up (none: dismissed). A left button down lifts a shown meter that is not
// kept on top, and only that; a double-click comes after its button down. The About box comes after its
// calls. At the end the icon goes before the settings are written, then the meter leaves the band; no
// other command writes a setting.
TEST(TrayIcon, EachNotificationAndEachMenuCommandDoesWhatItMeans) {
    constexpr TrayEvent down = TrayEvent::LeftButtonDown, twice = TrayEvent::LeftDoubleClick,
                        menu = TrayEvent::RightButtonUp;
    const Calls lifted = {"SetTopmost(frmMonitor,1)", "SetTopmost(frmMonitor,0)"};
    const std::tuple<const char*, std::vector<TrayEvent>, std::optional<int>, Calls, bool> cases[] = {
        // stored, events, command, calls, shown
        // clang-format off
        {"ShowTop=0", {down}, {}, lifted, true}, {"ShowTop=1", {down}, {}, {}, true},
        {"ShowTop=0 State=1", {down}, {}, {}, false},
        {"ShowTop=0", {down, twice}, {}, lifted, false},  // lifted, then hidden; and shown again
        {"ShowTop=0 State=1", {down, twice}, {}, {}, true},
        {"", {TrayEvent::MouseMove}, {}, {"TrayTip()"}, true},  // before the first tick the tip is empty
        {"", {TrayEvent::LeftButtonUp, TrayEvent::RightButtonDown}, {}, {}, true},
        {"", {menu}, {}, {"PopupMenu"}, true}, {"", {menu}, kMenuToggle, {"PopupMenu"}, false},
        // The separators, 1, 3 and 6, do nothing.
        {"", {menu}, 1, {"PopupMenu"}, true}, {"", {menu}, 3, {"PopupMenu"}, true},
        {"", {menu}, 6, {"PopupMenu"}, true},
        {"", {menu}, kMenuPreferences, {"PopupMenu", "SetTopmost(frmMonitor,0)"}, true},
        {"", {menu}, kMenuHelp, {"PopupMenu", "Help(C:\\Tools\\quillmet.hlp,contents)"}, true},
        {"", {menu}, kMenuAbout, {"PopupMenu", "SetTopmost(frmMonitor,0)", "SetTopmost(frmInfo,1)"}, true},
        {"", {menu}, kMenuExit, {"PopupMenu", "TrayRemove", "SetTopmost(frmMonitor,0)", "End"}, true},
        // clang-format on
    };
    for (const auto& [stored, events, command, calls, shownAfter] : cases) {
        SCOPED_TRACE(std::string(stored) + " event " + std::to_string(mouseMessageOf(events.back())) +
                     " command " + std::to_string(command.value_or(-1)));
        TestProgram p(stored, [](TestProgram& q) {
            q.rt.setExecutableFolder("C:\\Tools", '\\');
            q.rt.help().fails = true;  // an error inside a command is skipped
        });
        const std::string state = p.stored("State");
        p.rt.calls.clear();
        p.rt.popupMenu().answer({command, nullptr});
        for (TrayEvent e : events) p.rt.tray().onEvent(e);
        // The calls that change what the user sees: the icon, the band, the menu, the help, the end.
        std::erase_if(p.rt.calls,
                      [](const std::string& c) { return c.starts_with("Get") || c.starts_with("Save"); });
        EXPECT_EQ(p.rt.calls, calls);
        for (const auto& captions : p.rt.popupMenu().shown) EXPECT_EQ(captions, kMenuCaptions);
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption(), p.k.pnMonitorHidden, p.rt.ended(),
                              p.stored("State"), p.main().tmrShow.enabled()}),
                  (std::tuple{shownAfter, shownAfter ? kHideMeterCaption : kShowMeterCaption,
                              std::int16_t(!shownAfter), command == kMenuExit,
                              command == kMenuExit ? " 0" : state, command == kMenuPreferences}));
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
// run. The mouse over the icon shows the latest status in the tip, until the program has ended: the icon
// is gone then and stays gone.
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
}

// ---- The status tooltip beside the meter ----

// The box grows toward the middle of the screen from the cursor's half of it, 3 pixels from the meter.
// A tick that finds the cursor gone from the meter, whose edges count as inside, still places and draws
// the box before it hides it; the next move over the meter starts it again.
TEST(ToolTip, StandsBesideTheMeterByTheCursorsQuarterOfTheScreenUntilTheCursorLeavesIt) {
    const std::tuple<const char*, int, int, double, double, bool> cases[] = {
        // stored, cursor, the box's corner, shown
        // clang-format off
        {"Position=2", 1018, 25, 15210 - 360 - 45, 45, true},  // upper right: left of the meter, top 3 px down
        {"Position=1", 5, 740, 150 + 45, 11239, true},         // lower left: right of it, bottom 3 px up
        {"Position=0", 5, 25, 195, 45, true},
        {"Position=3", 1018, 740, 14805, 11239, true},
        {"Position=4 Left=7605 Top=5000", 512, 384, 7200, 5484, true},  // the middle counts as right and below
        {"", 100, 100, 15210 + 150 + 45, 45, false},  {"", 500, 400, 15405, 484, false},
        // On the meter's edges, and a pixel past them.
        {"", 1014, 25, 14805, 45, true},  {"", 1024, 25, 14805, 45, true},  {"", 1018, 0, 14805, 45, true},
        {"", 1018, 51, 14805, 45, true},  {"", 1013, 25, 14805, 45, false}, {"", 1018, 52, 14805, 45, false},
        // clang-format on
    };
    for (const auto& [stored, cursorX, cursorY, left, top, shown] : cases) {
        SCOPED_TRACE(std::string(stored) + " " + std::to_string(cursorX) + "," + std::to_string(cursorY));
        TipProgram p(stored);
        p.rt.setCursor(cursorX, cursorY);
        p.tip().label("  ab ");  // blanks around the text are the box's own: " ab "
        p.rt.advance(499);
        EXPECT_FALSE(p.tip().window.visible());
        p.rt.advance(1);
        // One line x 1.05.
        EXPECT_EQ((std::tuple{p.tip().window.visible(), p.tip().tmrToolTip.enabled(), p.tipPlace(),
                              p.tipPixels(), placeOf(p.tip().picToolTip), p.tip().window.topmost(),
                              p.tip().picToolTip.image().at(6, 4)}),
                  (std::tuple{shown, shown, Rect{left, top, 360, 236.25}, std::array{24, 16},
                              Rect{0, 0, 360, 236.25}, false, kInk}));
        p.rt.advance(5000);
        EXPECT_EQ(p.tip().window.visible(), shown);
        p.hover(p.meterWindow().pixelLeft() + 1, p.meterWindow().pixelTop() + 1);
        EXPECT_TRUE(p.tip().window.visible());
    }
}

// The outline and the text take the desktop's text colour, unless it would be lost on the pale fill
// (a dark colour scheme's light text): then black.
TEST(ToolTip, AnEmptyTextIsTwoBlanksWideAndOneLineHighWithItsOutline) {
    // The desktop's text colour, the ink.
    const std::pair<Color, Color> cases[] = {{kInk, kInk},
                                             {rgb(0, 0, 128), rgb(0, 0, 128)},
                                             {rgb(255, 255, 255), kInk},
                                             {rgb(211, 211, 211), kInk}};
    for (const auto& [desktop, ink] : cases) {
        TipProgram p;
        p.rt.text().windowText = desktop;
        p.rt.setCursor(1018, 25);
        p.tip().label("");
        p.rt.advance(500);
        EXPECT_EQ(p.tipPixels(), (std::array<int, 2>{12, 16}));
        std::vector<std::string> outlined(16, "#..........#");
        outlined.front() = outlined.back() = std::string(12, '#');
        const auto letter = [ink = ink](Color c) {
            return c == ink ? '#' : c == kToolTipBackColor ? '.' : '?';
        };
        EXPECT_EQ(rowsOf(p.tip().picToolTip.image(), letter), outlined) << desktop;
    }
}

// The meter's mouse move hands over the status text, but not with the right button held; the tick
// prints it line by line, and places the box beside the meter as it is dragged; the menu takes it away.
TEST(ToolTip, ShowsTheStatusTextInItsLinesFollowsTheDraggedMeterButNotTheRightButtonAndGoesForTheMenu) {
    TipProgram p;
    // " Energy level: 57 % " and " Acquiring data... ", 20 characters at the widest; " Energy level: 100 % "
    // and " Charge completed "; " Elapsed: 0 min " over the first two, three lines.
    std::array<int, 2> shown{};  // none yet
    for (auto [mains, percent, pixels] : {std::tuple{true, 57, std::array{120, 32}},
                                          {true, 100, std::array{126, 32}},
                                          {false, 57, std::array{120, 47}}}) {
        p.power(mains, percent);
        p.ticks(1);
        p.hover(1018, 25, kRightButton, 2000);  // the tip keeps what it had
        EXPECT_EQ((p.program.hasToolTip() ? p.tipPixels() : std::array{0, 0}), shown) << percent;
        p.hover(1018, 25);
        shown = p.tipPixels();
        EXPECT_EQ(shown, pixels) << percent;
    }
    const PixelImage& img = p.tip().picToolTip.image();
    auto inked = [&](int x, int y) { return img.at(x, y) == kInk; };
    // Each line starts with its blank; "E", "E", "A", each line under the last; the first line is the
    // shortest.
    EXPECT_FALSE(inked(3, 5) || inked(6, 13) || inked(6, 28) || inked(96, 4));
    EXPECT_TRUE(inked(6, 3) && inked(6, 18) && inked(6, 33) && inked(96, 19));
    p.dragBy(1018, 25, -100, 300);  // past the revive step, which puts the meter back into its corner at 2 s
    p.rt.advance(500);
    EXPECT_EQ((std::tuple{p.tip().window.visible(), p.tipPlace()}),
              (std::tuple{true, Rect{13710 - 1800 - 45, 4500 + 45, 1800, 708.75}}));

    // A right-button release on the meter stops and hides the tip, then pops the tray's menu up. The
    // left button's release, with or without the right one, opens no menu.
    bool tipGoneWhileUp = false;
    p.rt.popupMenu().answer(
        {kMenuToggle, [&] { tipGoneWhileUp = !p.tip().window.visible() && !p.tip().tmrToolTip.enabled(); }});
    for (std::int16_t button : {kRightButton, kLeftButton, std::int16_t(kLeftButton | kRightButton)})
        p.meter().picHistory.mouseUp(button, 0, 4, 25);
    EXPECT_EQ((std::tuple{tipGoneWhileUp, p.rt.popupMenu().shown, p.meterWindow().visible()}),
              (std::tuple{true, std::vector<std::vector<std::string>>{kMenuCaptions}, false}));
}

}  // namespace
}  // namespace corvane::test
