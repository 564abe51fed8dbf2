#include "about/frm_info.h"

#include <optional>

#include "platform/runtime.h"
#include "resources/icon_art.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

namespace {

constexpr int kScrollIntervalMs = 127;
constexpr int kHandsIntervalMs = 109;
// The box's design size: where its top left corner stands is worked out from this before the layout
// gives it its real size.
constexpr double kDesignWidth = 4845;
constexpr double kDesignHeight = 3870;
constexpr double kFrameTop = 60;
constexpr const char* kRights = "All Rights Reserved.";
constexpr int kScrollBlanks = 33;

const Font kTextFont{.name = "Arial", .points = 8.25, .bold = false};

const char* const kNotice[kNoticeLines] = {
    "This program is free software: you may use,",
    "copy, change and pass it on, as you like,",
    "as long as this notice stays with it.",
    "It comes with no warranty of any kind, not even that",  // the longest: it sets the box's width
    "it is fit for any particular purpose.",
};

// Drawing the icon takes a while (it is supersampled), and it is the same every time: drawn once a run.
const std::vector<std::uint32_t>& iconArt(ClockHands hands) {
    static std::array<std::vector<std::uint32_t>, 5> drawn;
    auto& art = drawn[static_cast<std::size_t>(hands)];
    if (art.empty()) art = programIconPixels(32, hands);
    return art;
}

// The icon with its hands one way, its transparent parts showing the box's background.
PixelImage iconPicture(ClockHands hands, Color background) {
    const auto& argb = iconArt(hands);
    PixelImage img;
    img.resize(32, 32, background);
    int i = 0;  // the art's pixels row by row
    for (const std::uint32_t p : argb) {
        const int x = i % 32, y = i / 32;
        ++i;
        const unsigned a = p >> 24;
        const Color source = fromXrgb(p);
        auto over = [a](unsigned src, unsigned bg) { return (src * a + bg * (255 - a) + 127) / 255; };
        img.fillRect(x, y, x, y,
                     rgb(over(redOf(source), redOf(background)), over(greenOf(source), greenOf(background)),
                         over(blueOf(source), blueOf(background))));
    }
    return img;
}

template <class C>
C& placed(C& c, double left, double top) {
    c.setLeft(left);
    c.setTop(top);
    return c;
}
template <class C>
C& placed(C& c, double left, double top, double width, double height) {
    placed(c, left, top);
    c.setWidth(width);
    c.setHeight(height);
    return c;
}

}  // namespace

frmInfo::frmInfo(ProgramContext& program)
    : window(program.runtime(), "frmInfo",
             FormStyle{.caption = " About Corvane",
                       .border = BorderStyle::FixedDialog,
                       .showInTaskbar = true,
                       .activateOnShow = true,
                       .font = kTextFont}),
      Timer2(program.runtime(), "Timer2", kHandsIntervalMs, false),
      Timer1(program.runtime(), "Timer1", kScrollIntervalMs, false),
      // What the load works out (the frames' and the centred parts' places, the rule's width, the
      // picture's size) starts at 0 here.
      Frame1(placed(window.add<Frame>("Frame1"), 0, kFrameTop)),
      cmdOK(placed(window.add<CommandButton>("cmdOK", &Frame1), 0, 5550, 1095, 375)),
      Frame2(placed(window.add<Frame>("Frame2", &Frame1), 0, 0, 0, 45)),
      txtAllrights(placed(window.add<TextBox>("txtAllrights", &Frame1), 0, 0, 2775, 255)),
      lblNotice(window.addArray<Label, kNoticeLines>("lblNotice", &Frame1)),
      lblName(window.add<Label>("lblName", &Frame1)),
      imgMain(window.add<Image>("imgMain", &Frame1)),
      lblCopyright(window.add<Label>("lblCopyright", &Frame1)),
      lblAppname(window.add<Label>("lblAppname", &Frame1)),
      imgNull(placed(window.add<Image>("imgNull"), 120, 4680, 480, 480)),
      imgEmpty(placed(window.add<Image>("imgEmpty"), 720, 4680, 480, 480)),
      imgHalf(placed(window.add<Image>("imgHalf"), 1320, 4680, 480, 480)),
      imgFull(placed(window.add<Image>("imgFull"), 1920, 4680, 480, 480)),
      program_(program) {
    window.setWidth(kDesignWidth);
    window.setHeight(kDesignHeight);
    const Color face = program.runtime().screen().systemColor(SystemColor::ButtonFace);
    window.setBackColor(face);
    cmdOK.setCaption("OK");
    // The scrolling line reads as part of the box, not as a field to type into.
    txtAllrights.setText(kRights);
    txtAllrights.setLocked(true);
    txtAllrights.setBorder(false);
    txtAllrights.setBackColor(face);
    txtAllrights.setTabStop(false);
    // The texts' sizes make the layout.
    for (Label* l : lblNotice) l->setAutoSize(true);
    for (Label* l : {&lblName, &lblCopyright, &lblAppname}) l->setAutoSize(true);
    lblAppname.setFont({.name = "Arial", .points = 9, .bold = true});
    lblAppname.setCaption("Corvane Version 2.2");
    lblCopyright.setCaption("Copyright (C) the Corvane developers");
    lblName.setCaption("Corvane developers");
    imgMain.setPicture(iconPicture(ClockHands::Classic, face));
    imgNull.setPicture(iconPicture(ClockHands::Left, face));
    imgEmpty.setPicture(iconPicture(ClockHands::Down, face));
    imgHalf.setPicture(iconPicture(ClockHands::Right, face));
    imgFull.setPicture(iconPicture(ClockHands::Up, face));

    window.onLoad = [this] { Form_Load(); };
    window.onUnload = [this](std::int16_t& cancel) { Form_Unload(cancel); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdOK.onKeyPress = [this](std::int16_t& keyAscii) { cmdOK_KeyPress(keyAscii); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

void frmInfo::Form_Load() {
    mKesta& k = program_.kesta();
    Screen& screen = program_.runtime().screen();
    Timer1.setEnabled(true);
    Timer2.setEnabled(true);
    k.SetTopmost(window, 1);
    for (int i = 0; i < kNoticeLines; ++i) msNotice[i] = kNotice[i];
    window.setTop(num::halfOf(screen.heightTwips() - window.height()));
    window.setLeft(num::halfOf(screen.widthTwips() - window.width()));
    imgMain.setWidth(32 * screen.twipsPerPixelX());
    imgMain.setHeight(32 * screen.twipsPerPixelY());

    // The width follows the notice's longest line.
    lblNotice[3]->setCaption(msNotice[3]);
    Frame1.setWidth(lblNotice[3]->width() + 480);
    Frame2.setWidth(Frame1.width() - 240);
    window.setWidth(Frame1.width() + 240);
    Frame1.setLeft(120 - num::toInt16(window.width() - window.scaleWidth()) / 2);
    auto centre = [this](Control& c) { c.setLeft(num::halfOf(Frame1.width() - c.width())); };
    for (Control* c : std::initializer_list<Control*>{&lblAppname, &lblCopyright, &lblName, &imgMain, &cmdOK,
                                                      &txtAllrights, &Frame2})
        centre(*c);

    // From the top down, each place from the one above it.
    lblAppname.setTop(270);
    const std::int16_t below = num::toInt16(lblAppname.top() + lblAppname.height());
    imgMain.setTop(below + 90);
    lblCopyright.setTop(below + num::toInt16(imgMain.height() + 180));
    lblName.setTop(lblCopyright.top() + window.textHeight(lblCopyright.caption()) - 30);
    txtAllrights.setTop(lblName.top() + window.textHeight(lblName.caption()) + 30);
    Frame2.setTop(txtAllrights.top() + window.textHeight(txtAllrights.text()) + 90);
    for (int i = 0; i < kNoticeLines; ++i) {
        lblNotice[i]->setCaption(msNotice[i]);
        lblNotice[i]->setTop(i == 0 ? Frame2.top() + 120 : lblNotice[i - 1]->top() + 210);
        centre(*lblNotice[i]);
    }
    Frame1.setHeight(lblNotice.back()->top() + lblNotice.back()->height() + 120);
    window.setHeight(Frame1.height() + Frame1.top() + num::toInt16(window.height() - window.scaleHeight()) +
                     90);

    const std::string blanks(kScrollBlanks, ' ');
    msScroll = blanks + kRights + blanks + kRights;
}

void frmInfo::Timer1_Timer() {
    const std::string shown = msScroll.substr(std::min<std::size_t>(mnScroll, msScroll.size()));
    if (++mnScroll > static_cast<std::int16_t>(msScroll.size())) mnScroll = 0;
    txtAllrights.setText(shown);
}

// Six ticks up, four right, five down, five left: one turn every 20 ticks.
void frmInfo::Timer2_Timer() {
    const Image& shown = mnPicture < 6    ? imgFull
                         : mnPicture < 10 ? imgHalf
                         : mnPicture < 15 ? imgEmpty
                                          : imgNull;
    imgMain.setPicture(shown.picture());
    if (++mnPicture > 19) mnPicture = 0;
}

void frmInfo::cmdOK_Click() { window.unload(); }

void frmInfo::cmdOK_KeyPress(std::int16_t& keyAscii) {
    if (keyAscii != kKeyReturn) return;
    window.unload();
    keyAscii = 0;
}

void frmInfo::Form_Unload(std::int16_t& /*cancel*/) {
    mKesta& k = program_.kesta();
    k.SetTopmost(window, 0);
    k.SetTopmost(program_.meterWindow(), k.pnShowTop);
    // The box's timers go with it.
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
}

}  // namespace corvane
