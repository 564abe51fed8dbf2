#include "monitor/frm_monitor.h"

#include "platform/runtime.h"
#include "shell/frm_main.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"
#include "shell/texts.h"

namespace corvane {

namespace {

constexpr int kTickIntervalMs = 1000;
constexpr int kReviveIntervalMs = 200;
constexpr int kReviveTicks = 10;

}  // namespace

frmMonitor::frmMonitor(ProgramContext& program)
    : window(program.runtime(), "frmMonitor",
             FormStyle{.caption = "Corvane",
                       .border = BorderStyle::None,
                       .showInTaskbar = false,
                       .activateOnShow = false,
                       .font = {}}),
      picHistory(window.addPicture("picHistory")),
      tmrMain(program.runtime(), "tmrMain", kTickIntervalMs, true),
      tmrRevive(program.runtime(), "tmrRevive", kReviveIntervalMs, false),
      program_(program) {
    window.onLoad = [this] { Form_Load(); };
    window.onQueryUnload = [this](std::int16_t& cancel, std::int16_t reason) {
        Form_QueryUnload(cancel, reason);
    };
    picHistory.onMouseDown = [this](const MouseArgs& e) { picHistory_MouseDown(e); };
    picHistory.onMouseMove = [this](const MouseArgs& e) { picHistory_MouseMove(e); };
    picHistory.onMouseUp = [this](const MouseArgs& e) { picHistory_MouseUp(e); };
    picHistory.onDblClick = [this] { picHistory_DblClick(); };
    tmrMain.onTimer = [this] { tmrMain_Timer(); };
    tmrRevive.onTimer = [this] { tmrRevive_Timer(); };
}

void frmMonitor::Form_Load() {
    mKesta& k = program_.kesta();
    window.setScaleMode(ScaleMode::Pixels);
    k.SetTopmost(window, 1);
    tmrRevive.setEnabled(true);
    program_.helpFile = k.pGetAppPath() + "quillmet.hlp";
    k.pGetTwipsPerPixel();
    k.pSetFormSize();
    k.pSetFormPosition();
    window.setBackColor(static_cast<Color>(k.plColor[6]));
    picHistory.setBackColor(static_cast<Color>(k.plColor[4]));
    mnFirstTick = 1;
    mHistory.fill(0);
    msSrcHistory.fill("");
    msPowerSrc.clear();
    if (trimBlanks(k.psWavFilePath).empty()) k.pnAlarmEnabled = 0;
}

// The meter lives as long as the program: a close from the window system (Alt+F4, a panel's close
// command) is refused rather than leaving the program without its meter.
void frmMonitor::Form_QueryUnload(std::int16_t& cancel, std::int16_t reason) {
    if (reason == kCloseFromWindow) cancel = true;
}

void frmMonitor::picHistory_MouseDown(const MouseArgs& e) {
    if (e.button & kLeftButton) {
        program_.kesta().pnDragging = -1;
        DragStart();
    }
}

// Every move, dragging included, hands the tooltip a fresh text, except while the right button is held.
void frmMonitor::picHistory_MouseMove(const MouseArgs& e) {
    DragMove();
    if (!(e.button & kRightButton)) program_.setToolTipLabel(GetStatusText(0));
}

void frmMonitor::picHistory_MouseUp(const MouseArgs& e) {
    if (e.button & kLeftButton) program_.kesta().pnDragging = 0;
    if ((e.button & kRightButton) && !(e.button & kLeftButton)) {
        program_.hideToolTip();
        program_.mainForm().popUpMenu();
    }
}

void frmMonitor::picHistory_DblClick() { program_.mainForm().HideMeter(); }

void frmMonitor::DragStart() {
    mKesta& k = program_.kesta();
    PointPx p;
    program_.runtime().screen().getCursorPos(p);
    k.pDragCursorX = static_cast<float>(p.x);
    k.pDragCursorY = static_cast<float>(p.y);
    k.pDragFormLeft = static_cast<float>(window.left());
    k.pDragFormTop = static_cast<float>(window.top());
}

void frmMonitor::DragMove() {
    mKesta& k = program_.kesta();
    if (k.pnDragging == 0) return;
    PointPx p;  // a failed read leaves it at zero
    program_.runtime().screen().getCursorPos(p);
    const float dx = static_cast<float>(p.x) - k.pDragCursorX;
    const float dy = static_cast<float>(p.y) - k.pDragCursorY;
    // Whole twips in 32 bits rather than 16, so desktops wider than 2184 pixels work too.
    std::int32_t left = num::toInt32(dx * k.pnTwipsPerPixelX + k.pDragFormLeft);
    std::int32_t top = num::toInt32(dy * k.pnTwipsPerPixelY + k.pDragFormTop);
    // It stops at every edge, as the dialog's OK keeps it on the screen.
    k.pMoveIntoScreen(left, top);
}

void frmMonitor::tmrRevive_Timer() {
    ++nCnt_;
    if (nCnt_ < kReviveTicks) return;
    mKesta& k = program_.kesta();
    k.pGetTwipsPerPixel();
    k.pSetFormSize();
    k.pSetFormPosition();
    program_.mainForm().window.setLeft(kOffScreenLeft);
    tmrRevive.setEnabled(false);
}

}  // namespace corvane
