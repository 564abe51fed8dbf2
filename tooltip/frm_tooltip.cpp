#include "tooltip/frm_tooltip.h"

#include "platform/runtime.h"
#include "shell/numbers.h"
#include "shell/program_context.h"
#include "shell/texts.h"

namespace corvane {

namespace {

constexpr int kTickIntervalMs = 500;
constexpr int kGapPixels = 3;           // between the meter's edge and the box
constexpr double kHeightFactor = 1.05;  // a little room under the last line

}  // namespace

frmToolTip::frmToolTip(ProgramContext& program)
    : window(program.runtime(), "frmToolTip",
             // Beside the meter while the mouse is over it: never on the taskbar, never taking the focus
             // from the user's window.
             FormStyle{.caption = "ToolTip",
                       .border = BorderStyle::None,
                       .showInTaskbar = false,
                       .activateOnShow = false,
                       .font = {.name = "Arial", .points = 9, .bold = false}}),
      picToolTip(window.addPicture("picToolTip")),
      tmrToolTip(program.runtime(), "tmrToolTip", kTickIntervalMs, true),
      program_(program) {
    picToolTip.setBackColor(kToolTipBackColor);
    // The desktop's text colour, on a fill that stays pale yellow under a dark colour scheme too.
    picToolTip.setForeColor(readableOn(kToolTipBackColor, program.runtime().text().windowTextColor()));
    window.onLoad = [this] { Form_Load(); };
    tmrToolTip.onTimer = [this] { tmrToolTip_Timer(); };
}

void frmToolTip::label(const std::string& C) {
    msLabel = C;
    tmrToolTip.setEnabled(true);
}

void frmToolTip::Hide() {
    tmrToolTip.setEnabled(false);
    window.hide();
}

void frmToolTip::Form_Load() {
    Screen& screen = program_.runtime().screen();
    mnTwipsPerPixelX = num::toInt16(screen.twipsPerPixelX());
    mnTwipsPerPixelY = num::toInt16(screen.twipsPerPixelY());
}

void frmToolTip::tmrToolTip_Timer() {
    Screen& screen = program_.runtime().screen();
    const Form& meter = program_.meterWindow();

    std::string text = " ";
    text.append(trimBlanks(msLabel)).append(" ");
    picToolTip.setWidth(picToolTip.textWidth(text));
    picToolTip.setHeight(picToolTip.textHeight(text) * kHeightFactor);

    PointPx cursor;  // a failed read leaves it at the screen's origin
    screen.getCursorPos(cursor);
    // In twips, exactly, and wider than 16 bits, so a desktop larger than 2184 pixels works too.
    const double cx = static_cast<double>(mnTwipsPerPixelX) * cursor.x;
    const double cy = static_cast<double>(mnTwipsPerPixelY) * cursor.y;
    const double gapX = kGapPixels * mnTwipsPerPixelX, gapY = kGapPixels * mnTwipsPerPixelY;

    // The box grows toward the middle of the screen, from the cursor's half of it.
    const std::int32_t x = screen.widthTwips() / 2 > cx
                               ? num::toInt32(meter.left() + meter.width() + gapX)
                               : num::toInt32(meter.left() - picToolTip.width() - gapX);
    const std::int32_t y = screen.heightTwips() / 2 > cy
                               ? num::toInt32(meter.top() + gapY)
                               : num::toInt32(meter.top() + meter.height() - picToolTip.height() - gapY);
    window.setLeft(x);
    window.setTop(y);
    window.setWidth(picToolTip.width());
    window.setHeight(picToolTip.height());
    window.show();

    picToolTip.cls();
    picToolTip.print(text);
    const PixelImage& image = picToolTip.image();
    picToolTip.box(0, 0, image.width() - 1, image.height() - 1, picToolTip.foreColor());

    // The meter's edges count as inside.
    if (meter.left() > cx || meter.left() + meter.width() < cx || meter.top() > cy ||
        meter.top() + meter.height() < cy)
        Hide();
}

}  // namespace corvane
