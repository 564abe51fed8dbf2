// The preferences dialog on the headless backend: what it shows, what OK and Cancel do to the settings
// and the meter, and its editors with scripted choosers.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "options/frm_options.h"
#include "program_fixture.h"
#include "two_pictures.h"

namespace corvane::test {
namespace {

// The program over stored settings (and what a test sets up before the start), with the preferences
// dialog open.
struct WithOptions : TestProgram {
    using TestProgram::TestProgram;
    frmOptions& open() {
        program.showOptions();
        return *program.options().find();
    }
    frmOptions& d = open();
    std::size_t count(std::string_view call) const { return callsStartingWith(call).size(); }
    bool optionsOpen() { return program.options().find() && program.options().find()->window.loaded(); }
    // Everything OK may write, as one comparable record.
    auto settings() const {
        return std::tuple{k.pnShowTop,      k.pnUpright,     k.pnLowUpper,    k.pnMidUpper,
                          k.pnAlarmEnabled, k.psWavFilePath, k.pMonitorWidth, k.pnPosOptNum,
                          k.pMonitorLeft,   k.pMonitorTop,   k.plColor};
    }
    // The user changes every setting the dialog holds and confirms nothing yet: each box clicked, both
    // bounds typed, the meter one step thinner at any place, every colour a colour of its own, and the
    // sound file chosen.
    void changeEverything() {
        for (CheckBox* c : {&d.chkShowTop, &d.chkUpright, &d.chkAlarmEnabled}) c->userClicked();
        for (TextBox* t : {&d.txtLowUpper, &d.txtMidUpper}) t->userEdited(" 33");
        d.optAnyPlace.userClicked();
        d.imgMinus_MouseDown({});
        for (int i = 0; i < kColorSlots; ++i) {
            rt.choosers().answerColor(0x010101 * (i + 1));
            d.picColor[i]->click();
        }
        rt.choosers().answerFile("C:\\a.wav");
        d.cmdOpen.click();
    }
};

std::string selectedOption(const frmOptions& d) {
    std::string names;
    for (const OptionButton* o :
         {&d.optLeftUpper, &d.optRightUpper, &d.optAnyPlace, &d.optLeftLower, &d.optRightLower})
        if (o->value()) names += o->name();
    return names;
}

// What the dialog's controls show, as one comparable record.
auto shown(const frmOptions& d) {
    return std::tuple{
        d.chkShowTop.value(),      d.chkUpright.value(), d.txtLowUpper.text(), d.txtMidUpper.text(),
        d.chkAlarmEnabled.value(), d.txtWavFile.text(),  selectedOption(d),    int(d.mnWidth)};
}

// The dialog opened over a program with the default settings: upright, 10 thick, upper right, on top.
struct OptionsDialog : WithOptions, ::testing::Test {};

constexpr const char* kStored =
    "ShowTop=0 Upright=1 LowBound=20 MidBound=60 EnableAlarm=1 SoundFile=C:\\Sounds\\ding.wav Width=14 "
    "Position=3 LowColor=1 MidColor=2 HighColor=3 ACColor=4 BGColor=5 GridColor=6 BorderColor=7";

// Loaded, the dialog shows every setting stored; closed any way but by OK, it writes nothing.
TEST(Options, LoadShowsEverySettingCentredAndEveryWayOfClosingWithoutOkWritesNothing) {
    const std::function<void(frmOptions&)> closes[] = {
        [](frmOptions& d) { d.cmdCancel.click(); },
        [](frmOptions& d) { d.window.keyboard().keyPress(kKeyEscape); },
        [](frmOptions& d) { d.window.queryUnload(kCloseFromWindow); },
    };
    for (const auto& close : closes) {
        WithOptions p(kStored);
        // 4485 x 5175 twips inside a frame of 3 pixels around and a 19-pixel caption, on 1024 x 768 pixels.
        EXPECT_EQ(placeOf(p.d.window), (Rect{5392.5, 2985, 4575, 5550}));
        EXPECT_EQ(shown(p.d), (std::tuple{kUnchecked, kChecked, " 20", " 60", kChecked,
                                          "C:\\Sounds\\ding.wav", "optRightLower", 14}));
        for (int i = 0; i < kColorSlots; ++i) EXPECT_EQ(p.d.picColor[i]->backColor(), Color(i + 1)) << i;
        // Each colour caption as wide as its text (the test font: 5 pixels a character at 8.25 pt), centred
        // over its box and one pixel to the right.
        const double lefts[] = {367, 877, 1350, 1935, 2445, 2880, 3315},
                     widths[] = {225, 225, 300, 150, 150, 300, 450};
        for (int i = 0; i < kColorSlots; ++i)
            EXPECT_EQ(placeOf(*p.d.lblColor[i]), (Rect{lefts[i], 210, widths[i], 195}))
                << p.d.lblColor[i]->caption();
        const auto settings = p.settings();
        const Rect meter = placeOf(p.meterWindow());
        p.changeEverything();
        close(p.d);
        EXPECT_EQ((std::tuple{p.optionsOpen(), p.settings(), placeOf(p.meterWindow())}),
                  (std::tuple{false, settings, meter}));
        EXPECT_FALSE(p.meterWindow().topmost() || p.d.window.topmost());  // back where ShowTop=0 wants it
    }
    // On a screen of 12 twips a pixel the sign images are still 12 pixels square, centred on the preview;
    // in a dark palette the dialog takes its face colour, the preview and the boxes its window colour.
    WithOptions fine("", [](TestProgram& q) {
        q.rt.setScreen(1024, 768, 12);
        q.rt.setSystemColor(SystemColor::ButtonFace, 0x303030);
        q.rt.setSystemColor(SystemColor::Window, 0x101010);
    });
    const frmOptions& f = fine.d;
    EXPECT_EQ((std::array{placeOf(f.imgMinus), placeOf(f.imgPlus)}),
              (std::array{Rect{135, 648, 144, 144}, Rect{735, 648, 144, 144}}));
    EXPECT_EQ((std::array{f.window.backColor(), f.picPreview.backColor(), f.txtWavFile.backColor()}),
              (std::array<Color, 3>{0x303030, 0x101010, 0x101010}));
}

// The dialog's table, as made: each control's place in twips within its frame, and its tab index. The
// load then places what follows the settings and the screen, as the other tests show.
TEST(Options, EveryControlStandsAtItsPlaceInTheDialogWithItsFontTextsAndPicture) {
    TestProgram p;
    frmOptions& d = p.program.options().get();
    std::ostringstream layout;
    for (const auto& c : d.window.controls())
        layout << c->name() << (c->index() >= 0 ? std::to_string(c->index()) : "") << ' ' << c->left() << ' '
               << c->top() << ' ' << c->width() << ' ' << c->height() << ' ' << c->tabIndex() << '\n';
    EXPECT_EQ(layout.str(),
              "chkShowTop 480 120 1575 255 0\nchkUpright 2210 120 2235 255 1\nfraThres 240 405 3990 780 0\n"
              "lblLow 255 345 1335 255 0\ntxtLowUpper 1360 285 585 330 2\nlblMid 2130 345 1215 255 0\n"
              "txtMidUpper 3150 285 585 330 3\nfraPosition 240 1230 2880 1335 0\n"
              "optLeftUpper 225 255 1200 300 4\noptRightUpper 1470 255 1200 300 5\n"
              "optAnyPlace 840 585 1200 300 6\noptLeftLower 225 915 1200 300 7\n"
              "optRightLower 1470 915 1200 300 8\nfraWidth 3180 1230 1050 1335 0\n"
              "picPreview 480 330 150 780 22\n"
              "imgMinus 135 645 180 180 0\nimgPlus 735 645 180 180 0\nfraColor 240 2610 3990 840 0\n"
              "picColor0 240 480 450 255 30\npicColor1 750 480 450 255 31\npicColor2 1260 480 450 255 32\n"
              "picColor3 1770 480 450 255 33\npicColor4 2280 480 450 255 34\npicColor5 2790 480 450 255 35\n"
              "picColor6 3300 480 450 255 36\nlblColor0 0 210 225 195 0\nlblColor1 0 210 225 195 0\n"
              "lblColor2 0 210 300 195 0\nlblColor3 0 210 150 195 0\nlblColor4 0 210 150 195 0\n"
              "lblColor5 0 210 300 195 0\nlblColor6 0 210 450 195 0\nfraAlarm 240 3510 3990 1005 0\n"
              "chkAlarmEnabled 240 240 2295 255 9\nlblFile 240 600 615 255 0\n"
              "txtWavFile 600 540 2775 330 10\ncmdOpen 3420 555 345 315 11\ncmdOK 1440 4680 855 330 12\n"
              "cmdCancel 2400 4680 855 330 13\ncmdHelp 3360 4680 855 330 14\n");
    // The one control in a font of its own, which no size of a text shows.
    EXPECT_EQ(d.cmdOpen.font(), (Font{.name = "Arial", .points = 9, .bold = true}));
    // A caption is a few words, a tooltip a sentence: none of them exchanged, and every control the user
    // changes a setting with has its sentence.
    int tips = 0;
    for (const auto& c : d.window.controls()) {
        EXPECT_TRUE(c->caption().size() < 20 && (c->toolTipText().empty() || c->toolTipText().size() > 30))
            << c->name() << c->index();
        tips += !c->toolTipText().empty();
    }
    EXPECT_EQ(tips, 21);
    p.program.showOptions();
    d.cmdHelp.click();  // the preferences topic
    EXPECT_EQ(p.rt.calls.back(), "Help(C:\\Program Files\\Corvane\\quillmet.hlp,topic 13)");
    // The sign images: black on light yellow, the bar of both on rows 5 and 6, the stem of "+" on rows 2
    // to 9.
    const auto letter = [](Color c) { return c == 0 ? '#' : c == 0x0080FFFF ? '.' : '?'; };
    const std::string yellow(12, '.'), bar = "..########..", stem = ".....##.....";
    std::vector<std::string> minus(12, yellow), plus(12, stem);
    minus[5] = minus[6] = plus[5] = plus[6] = bar;
    plus[0] = plus[1] = plus[10] = plus[11] = yellow;
    EXPECT_EQ((std::array{rowsOf(d.imgMinus.picture(), letter), rowsOf(d.imgPlus.picture(), letter)}),
              (std::array{minus, plus}));
}

TEST(Options, EveryStoredPositionAndTheValuesThatDoNotFitTheControlsAtLoad) {
    const std::tuple<const char*, int, double, double, const char*> cases[] = {
        // the preview's left, width
        {"Position=0", 10, 450, 150, "optLeftUpper"},
        {"Position=1", 10, 450, 150, "optLeftLower"},
        {"Position=4", 10, 450, 150, "optAnyPlace"},
        {"Width=9", 9, 457, 135, "optRightUpper"},        // (420 - 135) / 2 cut to 142
        {"Width=10.5", 10, 446, 157.5, "optRightUpper"},  // 262.5 to 262, halved
        {"Position=7 ShowTop=7", 10, 450, 150, ""},       // no option; "on" as the meter acts
        {"Position=-1 ShowTop=-1", 10, 450, 150, ""},
        {"Position=5", 10, 450, 150, ""},
    };
    for (const auto& [stored, width, previewLeft, previewWidth, option] : cases) {
        WithOptions p(stored);
        EXPECT_EQ(shown(p.d), (std::tuple{kChecked, kChecked, " 25", " 50", kUnchecked, "", option, width}))
            << stored;
        EXPECT_EQ(placeOf(p.d.picPreview), (Rect{previewLeft, 330, previewWidth, 780})) << stored;
    }
}

TEST_F(OptionsDialog, OkWritesEverySettingAndReappliesColoursSizeAndPlace) {
    place(meterWindow(), 15210, 300, 150, 765);  // dragged down from its corner: any place keeps it there
    changeEverything();
    const std::size_t before = rt.calls.size();
    d.cmdOK.click();

    // clang-format off
    const decltype(settings()) written{0, 0, 33, 33, 1, "C:\\a.wav", 8, 4, 15210, 300,
                                       {0x010101, 0x020202, 0x030303, 0x040404, 0x050505, 0x060606, 0x070707}};
    // clang-format on
    EXPECT_EQ(settings(), written);
    // Flat, 8 thick, pulled back from the right edge, in its new colours.
    EXPECT_EQ(placeOf(meterWindow()), (Rect{14595, 300, 765, 120}));
    EXPECT_EQ((std::array{meterWindow().backColor(), meter().picHistory.backColor()}),
              (std::array{0x070707u, 0x050505u}));
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"SetTopmost(frmOptions,0)", "SetTopmost(frmMonitor,0)"}));
    EXPECT_FALSE(optionsOpen());
    rt.runPosted();
    EXPECT_EQ(program.options().find(), nullptr);  // released once OK's handler was through
}

// Each corner and any place, chosen and confirmed, is stored as its position's number, and the meter
// goes there in its new orientation and thickness, its surface with it; a corner leaves the remembered
// place as it was. Any place takes the meter's place, upright in the upper right corner, before it is
// resized: flat, it would stick out on the right, so it is pulled back.
TEST(Options, EachPositionChosenIsStoredAsItsNumberAndTheMeterGoesThereAndNoneKeepsItsPlace) {
    // stored, the position, the clicks on the upright box ('u') and "+"; the meter's place, its surface's
    // pixels
    const std::tuple<const char*, std::int16_t, const char*, Rect, std::array<int, 2>> cases[] = {
        // clang-format off
        {"", 0, "", {0, 0, 150, 765}, {8, 51}},      {"", 1, "", {0, 10755, 150, 765}, {8, 51}},
        {"", 2, "", {15210, 0, 150, 765}, {8, 51}},  {"", 3, "", {15210, 10755, 150, 765}, {8, 51}},
        {"", 4, "", {15210, 0, 150, 765}, {8, 51}},  {"", 4, "u", {14595, 0, 765, 150}, {51, 8}},
        {"", 2, "u", {14595, 0, 765, 150}, {51, 8}},  // turned flat, the right-hand corner kept
        {"", 3, "u", {14595, 11370, 765, 150}, {51, 8}},
        {"Upright=0", 2, "u", {15210, 0, 150, 765}, {8, 51}},  // and upright again
        {"Upright=0", 0, "++", {0, 0, 765, 210}, {51, 12}},    // only the surface's height changes
        {"", 0, "+", {0, 0, 180, 765}, {10, 51}},              // only its width
        // clang-format on
    };
    for (const auto& [stored, number, clicks, place, surface] : cases) {
        WithOptions p(stored);
        OptionButton* const options[] = {&p.d.optLeftUpper, &p.d.optLeftLower, &p.d.optRightUpper,
                                         &p.d.optRightLower, &p.d.optAnyPlace};
        options[number]->userClicked();
        for (const char* c = clicks; *c; ++c)
            *c == 'u' ? p.d.chkUpright.userClicked() : p.d.imgPlus_MouseDown({});
        p.d.cmdOK.click();
        const PixelImage& img = p.meter().picHistory.image();
        EXPECT_EQ((std::tuple{p.k.pnPosOptNum, std::array{p.k.pMonitorLeft, p.k.pMonitorTop},
                              placeOf(p.meterWindow()), std::array{img.width(), img.height()}}),
                  (std::tuple{number, std::array{number == 4 ? 15210.0f : 0, 0.0f}, place, surface}))
            << stored << clicks;
    }
    // Without a chosen position the meter stays, but is pulled into the screen.
    WithOptions p("Position=7");
    place(p.meterWindow(), 16000, -40, 150, 765);
    EXPECT_EQ(selectedOption(p.d), "");
    p.d.cmdOK.click();
    EXPECT_EQ((std::tuple{p.k.pnPosOptNum, placeOf(p.meterWindow())}),
              (std::tuple{7, Rect{15210, 0, 150, 765}}));
}

// OK reads each bound as the number in front of its text, rounded and clamped (the numbers' own test
// has every form of text), and keeps the sound file untrimmed; an alarm without a sound file is refused
// with a message, and nothing is written.
TEST(Options, OkReadsTheBoundTextsAndRefusesAnAlarmWithoutASoundFile) {
    // alarm, file, the bounds' text; refused, the bound read
    const std::tuple<bool, const char*, const char*, bool, std::int16_t> cases[] = {
        // clang-format off
        {true, "", "40", true, 25}, {true, "   ", "40", true, 25}, {false, "", "40", false, 40},
        {true, "  a.wav ", "40", false, 40}, {false, "", "31.5x", false, 32}, {false, "", "99999", false, 32767},
        // clang-format on
    };
    for (const auto& [alarm, file, bounds, refused, bound] : cases) {
        SCOPED_TRACE(std::string(file) + "|" + bounds);
        WithOptions p;
        if (alarm) p.d.chkAlarmEnabled.userClicked();
        p.d.txtWavFile.userEdited(file);
        for (TextBox* t : {&p.d.txtLowUpper, &p.d.txtMidUpper}) t->userEdited(bounds);
        p.d.window.keyboard().keyPress(kKeyReturn);  // the default button
        EXPECT_EQ(
            p.count("MsgBox(frmOptions,Enter a sound file name or disable alarm.,exclamation, Corvane)"),
            refused ? 1u : 0u);
        EXPECT_EQ((std::tuple{p.optionsOpen(), p.k.pnLowUpper, p.k.pnMidUpper, p.k.psWavFilePath,
                              p.k.pnAlarmEnabled}),
                  (std::tuple{refused, bound, std::int16_t(refused ? 50 : bound),
                              std::string(refused ? "" : file), std::int16_t(refused ? 0 : alarm)}));
    }
}

// The images under the mouse, or "+" and "-" on the preview with the focus.
TEST(Options, ThicknessMovesInStepsOfTwoEachButtonStoppingAtItsOwnLimit) {
    const std::tuple<const char*, const char*, std::vector<int>> cases[] = {
        // stored, clicks, widths
        {"Width=10", "--+", {8, 8, 10}}, {"Width=10", "++++++", {12, 14, 16, 18, 20, 20}},
        {"Width=9", "-", {8}},           {"Width=9", "+++++++", {11, 13, 15, 17, 19, 20, 20}},
        {"Width=21", "-+", {19, 20}},    {"Width=21", "+", {20}},
        {"Width=7", "+-", {9, 8}},       {"Width=7", "-", {8}},
    };
    for (const auto& [stored, clicks, want] : cases)
        for (const bool keys : {false, true}) {
            SCOPED_TRACE(std::string(stored) + " " + clicks + (keys ? " keys" : ""));
            WithOptions p(stored);
            std::vector<int> widths;
            for (const char* s = clicks; *s; ++s) {
                if (std::int16_t key = *s; keys) {
                    p.d.picPreview.keyPress(key);
                    EXPECT_EQ(key, 0) << "consumed";
                } else
                    (*s == '-' ? p.d.imgMinus : p.d.imgPlus)
                        .mouseDown(kRightButton, kShiftKey, 3, 3);  // any button, any place
                widths.push_back(p.d.mnWidth);
                EXPECT_EQ((std::tuple{p.d.picPreview.width(), p.d.picPreview.left()}),
                          (std::tuple{p.d.mnWidth * 15, 315 + (420 - p.d.mnWidth * 15) / 2}));
            }
            EXPECT_EQ(widths, want);
        }
}

// A click opens it, and so do Space and Enter on the box with the focus. The meter ticks while a
// chooser is up.
TEST_F(OptionsDialog, TheColourChooserStartsAtTheStoredColourAndADismissalChangesNothing) {
    power(false, 60);
    const auto readingsBefore = count("GetSystemPowerStatus");
    std::vector<bool> topmostWhileUp;
    auto up = [&] {
        topmostWhileUp.push_back(d.window.topmost());
        ticks(1);
    };
    rt.choosers().answerColor(0x00ABCDEF, up);
    d.picColor[3]->click();
    // The meter keeps its colour until OK.
    EXPECT_EQ((std::tuple{d.picColor[3]->backColor(), k.plColor[3]}), (std::tuple{0x00ABCDEFu, 16711680}));
    rt.choosers().answerColor(std::nullopt, up);
    std::int16_t space = ' ';
    d.picColor[3]->keyPress(space);
    EXPECT_EQ((std::tuple{space, d.picColor[3]->backColor()}), (std::tuple{0, 0x00ABCDEFu})) << "consumed";
    d.picColor[3]->setFocus();
    d.window.keyboard().keyPress('x');
    d.window.keyboard().keyPress(kKeyReturn);  // nothing queued: dismissed too; and not OK's Enter
    EXPECT_EQ((std::tuple{optionsOpen(), d.picColor[3]->backColor(),
                          count("ChooseColor(frmOptions,16711680)"), topmostWhileUp, d.window.topmost()}),
              (std::tuple{true, 0x00ABCDEFu, 3u, std::vector<bool>{false, false}, true}));
    rt.choosers().answerFile(std::nullopt, [&] { ticks(2); });
    d.cmdOpen.click();
    EXPECT_EQ((std::tuple{count("GetSystemPowerStatus"), meter().mEnergyLevel}),
              (std::tuple{readingsBefore + 4, 60}));
}

TEST(Options, TheFileChooserStartsAtTheTextsFolderAndFileAndPlaysTheChoiceOnce) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // text, folder, file
        {"", "C:\\Program Files\\Corvane\\", ""},
        {"ding.wav", "C:\\Program Files\\Corvane\\", "ding.wav"},
        {"D:\\Sounds\\ding.wav", "D:\\Sounds\\", "ding.wav"},
    };
    for (const auto& [text, folder, file] : cases) {
        SCOPED_TRACE(text);
        WithOptions p;
        p.d.txtWavFile.userEdited(text);
        bool topmostWhileUp = true;
        p.rt.choosers().answerFile(std::nullopt, [&] { topmostWhileUp = p.d.window.topmost(); });
        p.d.cmdOpen.click();
        EXPECT_EQ((std::tuple{p.d.txtWavFile.text(), topmostWhileUp, p.d.window.topmost()}),
                  (std::tuple{text, false, true}));
        p.rt.choosers().answerFile("E:\\new.wav");
        p.d.cmdOpen.click();
        EXPECT_EQ(p.d.txtWavFile.text(), "E:\\new.wav");
        EXPECT_EQ(p.callsStartingWith("PlaySound("), (std::vector<std::string>{"PlaySound(E:\\new.wav)"}));
        const FileChooserRequest& r = p.rt.choosers().fileRequests.front();
        EXPECT_EQ(
            (std::tuple{r.filter, r.filterIndex, r.initialDir, r.fileName, r.title, r.hideReadOnly}),
            (std::tuple{"Sound files (*.wav)|*.wav", 1, folder, file, " Select alarm sound file", true}));
    }
}

// Log-off while a chooser or the message box is up: the program saves, ends, and the dialog's handler
// does nothing more once the chooser returns.
TEST(Options, TheEndOfTheSessionWhileAModalIsUpSavesAndEndsCleanly) {
    for (int modal = 0; modal < 3; ++modal) {  // the colour chooser, the file chooser, OK's message box
        SCOPED_TRACE(modal);
        WithOptions p;
        p.d.txtLowUpper.userEdited("40");
        const auto end = [&] { p.rt.endSession(); };
        p.rt.choosers().answerColor(0x1, end);
        p.rt.choosers().answerFile("C:\\x.wav", end);
        p.rt.choosers().answerMessageBox(end);
        p.d.chkAlarmEnabled.userClicked();  // and no sound file: OK's message box
        Control* const openers[] = {p.d.picColor[0], &p.d.cmdOpen, &p.d.cmdOK};
        openers[modal]->click();
        // Saved, without the dialog's unconfirmed edit.
        EXPECT_EQ((std::tuple{p.rt.ended(), p.rt.calls.back(), p.stored("LowBound"),
                              p.callsStartingWith("PlaySound(").empty()}),
                  (std::tuple{true, "End", " 25", true}));
    }
}

TEST_F(OptionsDialog, OpenedAgainItIsTheSameTabWalksTheTablesOrderAndEnterPressesItsButton) {
    d.txtLowUpper.userEdited("40");
    // Opened again while open: the same dialog, not loaded again.
    EXPECT_EQ((std::tuple{&open(), d.txtLowUpper.text(), count("SetTopmost(frmOptions,1)")}),
              (std::tuple{&d, "40", 1u}));
    // The options are one stop, at the chosen one; the arrow keys choose among them in the table's order.
    EXPECT_EQ(
        namesOf(d.window.keyboard().tabOrder()),
        "chkShowTop chkUpright txtLowUpper txtMidUpper optRightUpper chkAlarmEnabled txtWavFile cmdOpen "
        "cmdOK cmdCancel cmdHelp picPreview picColor picColor picColor picColor picColor picColor "
        "picColor ");
    for (int i = 0; i < kColorSlots; ++i) EXPECT_EQ(d.window.keyboard().tabOrder()[12 + i]->index(), i);
    d.optRightUpper.setFocus();
    std::string chosen;
    for (bool forward : {true, true, true, true, false}) {
        d.window.keyboard().arrowKey(forward);
        chosen += selectedOption(d) + " ";
    }
    EXPECT_EQ(chosen, "optAnyPlace optLeftLower optRightLower optLeftUpper optRightLower ");
    EXPECT_EQ(d.window.keyboard().tabOrder()[4], &d.optRightLower);
    d.cmdCancel.setFocus();
    d.window.keyboard().keyPress(kKeyReturn);  // Enter on a focused button presses that button
    EXPECT_EQ((std::tuple{k.pnLowUpper, optionsOpen()}), (std::tuple{25, false}));
    rt.runPosted();
    EXPECT_EQ(open().txtLowUpper.text(), " 25");  // closed in between: a fresh load
}

}  // namespace
}  // namespace corvane::test
