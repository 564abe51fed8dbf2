#include "options/frm_options.h"

#include <optional>
#include <string>

#include "platform/runtime.h"
#include "resources/icon_art.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"
#include "shell/texts.h"

namespace corvane {

namespace {

constexpr double kClientWidth = 4485;  // twips
constexpr double kClientHeight = 5175;
const Font kControlFont{.name = "Arial", .points = 8.25, .bold = false};

struct Place {
    double left, top, width, height;
};

// A control of the dialog's table: its place in twips within its container, caption, tooltip and tab
// number (none for the kinds that never have the focus).
template <class C>
C& made(C& c, Place p, const char* caption = "", const char* toolTip = "", std::optional<int> tab = {}) {
    c.setLeft(p.left);
    c.setTop(p.top);
    c.setWidth(p.width);
    c.setHeight(p.height);
    c.setFont(kControlFont);
    c.setCaption(caption);
    c.setToolTipText(toolTip);
    if (tab) c.setTabIndex(*tab);
    return c;
}

const char* const kColorCaptions[kColorSlots] = {"Low", "Mid", "High", "AC", "BG", "Grid", "Border"};
const char* const kColorTips[kColorSlots] = {
    "Click here to change the color for low level range.",
    "Click here to change the color for mid level range.",
    "Click here to change the color for high level range.",
    "Click here to change the color to show AC power is in use.",
    "Click here to change the background color.",
    "Click here to change the grid color.",
    "Click here to change the border color.",
};

PixelImage signImage(Sign sign) {
    PixelImage img;
    img.resize(12, 12, 0);
    int at = 0;  // row by row, as the pixels come
    for (const std::uint32_t argb : signPixels(sign)) {
        img.plot(at % 12, at / 12, fromXrgb(argb));
        ++at;
    }
    return img;
}

}  // namespace

frmOptions::frmOptions(ProgramContext& program)
    : window(program.runtime(), "frmOptions",
             FormStyle{.caption = " Preferences",
                       .border = BorderStyle::FixedDialog,
                       .showInTaskbar = true,
                       .activateOnShow = true,
                       .font = {.name = "Arial", .points = 9, .bold = false}}),
      chkShowTop(made(window.add<CheckBox>("chkShowTop"), {480, 120, 1575, 255}, "Show on Top",
                      "Fill this check box to show the monitor always on top.", 0)),
      chkUpright(made(window.add<CheckBox>("chkUpright"), {2210, 120, 2235, 255}, "Upright Form",
                      "Fill this check box to show the monitor with its short side top.", 1)),
      fraThres(made(window.add<Frame>("fraThres"), {240, 405, 3990, 780}, "Theshold:")),
      lblLow(made(window.add<Label>("lblLow", &fraThres), {255, 345, 1335, 255}, "Low Limit (%):")),
      txtLowUpper(made(window.add<TextBox>("txtLowUpper", &fraThres), {1360, 285, 585, 330}, "",
                       "Enter the low limit value in %.", 2)),
      lblMid(made(window.add<Label>("lblMid", &fraThres), {2130, 345, 1215, 255}, "Mid Limit (%):")),
      txtMidUpper(made(window.add<TextBox>("txtMidUpper", &fraThres), {3150, 285, 585, 330}, "",
                       "Enter the mid limit value in %.", 3)),
      fraPosition(made(window.add<Frame>("fraPosition"), {240, 1230, 2880, 1335}, "Position:")),
      optLeftUpper(made(window.add<OptionButton>("optLeftUpper", &fraPosition), {225, 255, 1200, 300},
                        "Upper Left",
                        "Push this button to set the monitor position in the upper-left corner.", 4)),
      optRightUpper(made(window.add<OptionButton>("optRightUpper", &fraPosition), {1470, 255, 1200, 300},
                         "Upper Right",
                         "Push this button to set the monitor position in the upper-right corner.", 5)),
      optAnyPlace(made(window.add<OptionButton>("optAnyPlace", &fraPosition), {840, 585, 1200, 300},
                       " Any Place",
                       "Push this button to allow the monitor to be shown in any position you want.", 6)),
      optLeftLower(made(window.add<OptionButton>("optLeftLower", &fraPosition), {225, 915, 1200, 300},
                        "Lower Left",
                        "Push this button to set the monitor position in the lower-left corner.", 7)),
      optRightLower(made(window.add<OptionButton>("optRightLower", &fraPosition), {1470, 915, 1200, 300},
                         "Lower Right",
                         "Push this button to set the monitor position in the lower-right corner.", 8)),
      fraWidth(made(window.add<Frame>("fraWidth"), {3180, 1230, 1050, 1335}, "Size:")),
      picPreview(made(window.add<Picture>("picPreview", &fraWidth), {480, 330, 150, 780}, "", "", 22)),
      imgMinus(made(window.add<Image>("imgMinus", &fraWidth), {135, 645, 180, 180}, "",
                    "Click here to decrease the monitor width.")),
      imgPlus(made(window.add<Image>("imgPlus", &fraWidth), {735, 645, 180, 180}, "",
                   "Click here to increase the monitor width.")),
      fraColor(made(window.add<Frame>("fraColor"), {240, 2610, 3990, 840}, "Colors:")),
      picColor(window.addArray<Picture, kColorSlots>("picColor", &fraColor)),
      lblColor(window.addArray<Label, kColorSlots>("lblColor", &fraColor)),
      fraAlarm(made(window.add<Frame>("fraAlarm"), {240, 3510, 3990, 1005}, "Alarm:")),
      chkAlarmEnabled(made(window.add<CheckBox>("chkAlarmEnabled", &fraAlarm), {240, 240, 2295, 255},
                           "Enable Alarm Sound", "Fill this check box to enable alarm sound.", 9)),
      lblFile(made(window.add<Label>("lblFile", &fraAlarm), {240, 600, 615, 255}, "File:")),
      txtWavFile(made(window.add<TextBox>("txtWavFile", &fraAlarm), {600, 540, 2775, 330}, "",
                      "Enter a full path to an alarm sound file.", 10)),
      cmdOpen(made(window.add<CommandButton>("cmdOpen", &fraAlarm), {3420, 555, 345, 315}, "...",
                   "Click on this button to select an alarm sound file. ", 11)),
      cmdOK(made(window.add<CommandButton>("cmdOK"), {1440, 4680, 855, 330}, "OK", "", 12)),
      cmdCancel(made(window.add<CommandButton>("cmdCancel"), {2400, 4680, 855, 330}, "Cancel", "", 13)),
      cmdHelp(made(window.add<CommandButton>("cmdHelp"), {3360, 4680, 855, 330}, "Help", "", 14)),
      program_(program) {
    Screen& screen = program.runtime().screen();
    const WindowFrame f = window.frame();
    window.setWidth(kClientWidth + (f.left + f.right) * screen.twipsPerPixelX());
    window.setHeight(kClientHeight + (f.top + f.bottom) * screen.twipsPerPixelY());
    window.setBackColor(screen.systemColor(SystemColor::ButtonFace));
    picPreview.setBackColor(screen.systemColor(SystemColor::Window));
    cmdOpen.setFont({.name = "Arial", .points = 9, .bold = true});
    cmdOK.setDefault(true);
    cmdCancel.setCancel(true);
    imgMinus.setPicture(signImage(Sign::Minus));
    imgPlus.setPicture(signImage(Sign::Plus));
    for (int i = 0; i < kColorSlots; ++i) {
        made(*picColor[i], {240.0 + 510 * i, 480, 450, 255}, "", kColorTips[i], 30 + i);
        lblColor[i]->setAutoSize(true);  // as wide as its caption
        made(*lblColor[i], {0, 210, 0, 210}, kColorCaptions[i]);
        const auto index = static_cast<std::int16_t>(i);
        picColor[i]->onClick = [this, index] { picColor_Click(index); };
        picColor[i]->onKeyPress = [this, index](std::int16_t& keyAscii) {
            picColor_KeyPress(index, keyAscii);
        };
    }

    window.onLoad = [this] { Form_Load(); };
    window.onUnload = [this](std::int16_t& cancel) { Form_Unload(cancel); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    imgMinus.onMouseDown = [this](const MouseArgs& e) { imgMinus_MouseDown(e); };
    imgPlus.onMouseDown = [this](const MouseArgs& e) { imgPlus_MouseDown(e); };
    picPreview.onKeyPress = [this](std::int16_t& keyAscii) { picPreview_KeyPress(keyAscii); };
    cmdOpen.onClick = [this] { cmdOpen_Click(); };
    cmdHelp.onClick = [this] { cmdHelp_Click(); };
}

void frmOptions::Form_Load() {
    mKesta& k = program_.kesta();
    Screen& screen = program_.runtime().screen();
    k.SetTopmost(window, 1);
    window.setLeft((screen.widthTwips() - window.width()) / 2);
    window.setTop((screen.heightTwips() - window.height()) / 2);
    imgMinus.setWidth(12 * k.pnTwipsPerPixelX);
    imgMinus.setHeight(12 * k.pnTwipsPerPixelY);
    imgPlus.setWidth(12 * k.pnTwipsPerPixelX);
    imgPlus.setHeight(12 * k.pnTwipsPerPixelY);
    imgMinus.setTop(picPreview.top() + num::halfOf(picPreview.height() - imgMinus.height()));
    imgPlus.setTop(imgMinus.top());
    mnWidth = num::toInt16(k.pMonitorWidth);
    picPreview.setWidth(k.pnTwipsPerPixelX * k.pMonitorWidth);
    CenterPreview();
    for (int i = 0; i < kColorSlots; ++i) {
        Picture& box = *picColor[i];
        lblColor[i]->setLeft(box.left() + num::halfOf(box.width() - lblColor[i]->width()) +
                             k.pnTwipsPerPixelX);
        box.setBackColor(static_cast<Color>(k.plColor[i]));
    }
    // A stored flag other than 0 and 1 acts as set wherever the meter reads it (upright, kept on top
    // from the load), so the box shows it set.
    chkShowTop.setValue(k.pnShowTop != 0 ? kChecked : kUnchecked);
    chkUpright.setValue(k.pnUpright != 0 ? kChecked : kUnchecked);
    txtLowUpper.setText(num::toText(k.pnLowUpper));
    txtMidUpper.setText(num::toText(k.pnMidUpper));
    chkAlarmEnabled.setValue(k.pnAlarmEnabled != 0 ? kChecked : kUnchecked);
    txtWavFile.setText(k.psWavFilePath);
    OptionButton* const byNumber[] = {&optLeftUpper, &optLeftLower, &optRightUpper, &optRightLower,
                                      &optAnyPlace};
    if (k.pnPosOptNum >= 0 && k.pnPosOptNum < 5) byNumber[k.pnPosOptNum]->setValue(true);
}

void frmOptions::CenterPreview() {
    const std::int32_t minusRight = num::toInt32(imgMinus.left() + imgMinus.width());
    picPreview.setLeft(minusRight + num::halfOf(imgPlus.left() - minusRight - picPreview.width()));
}

void frmOptions::cmdOK_Click() {
    mKesta& k = program_.kesta();
    if (chkAlarmEnabled.value() == kChecked && trimBlanks(txtWavFile.text()).empty()) {
        program_.runtime().choosers().messageBox(window, "Enter a sound file name or disable alarm.",
                                                 MessageBoxKind::Exclamation, " Corvane");
        return;
    }
    k.pnShowTop = chkShowTop.value();
    k.pnUpright = chkUpright.value();
    // A number beyond 16 bits is clamped, as the settings store does.
    k.pnLowUpper = num::toInt16(num::valPrefix(txtLowUpper.text()));
    k.pnMidUpper = num::toInt16(num::valPrefix(txtMidUpper.text()));
    k.pnAlarmEnabled = chkAlarmEnabled.value();
    k.psWavFilePath = txtWavFile.text();
    k.pMonitorWidth = mnWidth;

    Form& meter = program_.meterWindow();
    const std::pair<OptionButton*, std::int16_t> positions[] = {
        {&optLeftUpper, 0}, {&optLeftLower, 1}, {&optRightUpper, 2}, {&optRightLower, 3}, {&optAnyPlace, 4}};
    for (const auto& [option, number] : positions)
        if (option->value()) {
            k.pnPosOptNum = number;
            if (option == &optAnyPlace) {
                k.pMonitorLeft = static_cast<float>(meter.left());
                k.pMonitorTop = static_cast<float>(meter.top());
            }
        }
    for (int i = 0; i < kColorSlots; ++i) k.plColor[i] = static_cast<std::int32_t>(picColor[i]->backColor());

    meter.setBackColor(static_cast<Color>(k.plColor[6]));
    program_.meterPicture().setBackColor(static_cast<Color>(k.plColor[4]));
    k.pSetFormSize();
    k.pSetFormPosition();
    std::int32_t left = num::toInt32(meter.left()), top = num::toInt32(meter.top());
    k.pMoveIntoScreen(left, top);
    window.unload();
}

void frmOptions::cmdCancel_Click() { window.unload(); }

void frmOptions::Form_Unload(std::int16_t& /*cancel*/) {
    mKesta& k = program_.kesta();
    k.SetTopmost(window, 0);
    k.SetTopmost(program_.meterWindow(), k.pnShowTop);
}

}  // namespace corvane
