#include "shell/frm_main.h"

#include "monitor/frm_monitor.h"
#include "platform/runtime.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace corvane {

frmMain::frmMain(Program& program)
    : window(program.runtime(), "frmMain",
             // Never shown: it only starts and ends the program.
             FormStyle{.caption = "Corvane", .border = BorderStyle::FixedDialog, .font = {}}),
      mnuMenuArray{{{kHideMeterCaption},
                    {"-"},
                    {"Preferences..."},
                    {"-"},
                    {"Help Topics"},
                    {"About"},
                    {"-"},
                    {"Exit"}}},
      program_(program) {
    window.onLoad = [this] { Form_Load(); };
    window.onQueryUnload = [this](std::int16_t& cancel, std::int16_t mode) {
        Form_QueryUnload(cancel, mode);
    };
}

void frmMain::Form_Load() {
    mKesta& k = program_.kesta();
    window.setLeft(kOffScreenLeft);
    k.TrayAddIcon();
    LoadSettings();
    frmMonitor& monitor = program_.monitor();
    monitor.window.show();
    if (program_.runtime().ended()) return;
    if (k.pnMonitorHidden == 0) {
        mnuMenuArray[0].caption = kHideMeterCaption;
    } else if (k.pnMonitorHidden == 1) {
        mnuMenuArray[0].caption = kShowMeterCaption;
        monitor.window.hide();
    }
}

void frmMain::Form_QueryUnload(std::int16_t& /*cancel*/, std::int16_t unloadMode) {
    if (unloadMode < 0 || unloadMode > 3) return;
    mKesta& k = program_.kesta();
    k.TrayDeleteIcon();
    SaveSettings();
    if (program_.hasMonitor()) k.SetTopmost(program_.monitor().window, 0);
    program_.runtime().end();
}

void frmMain::ToggleMonitor() {
    mKesta& k = program_.kesta();
    Form& meter = program_.monitor().window;
    if (mnuMenuArray[0].caption == kHideMeterCaption) {
        meter.hide();
        mnuMenuArray[0].caption = kShowMeterCaption;
        k.pnMonitorHidden = 1;
    } else if (mnuMenuArray[0].caption == kShowMeterCaption) {
        meter.show();
        mnuMenuArray[0].caption = kHideMeterCaption;
        k.pnMonitorHidden = 0;
    }
}

// A hidden meter is shown the way the menu shows it, so the caption and the stored state say so too;
// then it is lifted above the other windows of its band, the band itself unchanged.
void frmMain::BringMeterForward() {
    if (mnuMenuArray[0].caption == kShowMeterCaption) ToggleMonitor();
    Form& meter = program_.monitor().window;
    if (meter.visible()) meter.setTopmost(meter.topmost());
}

void frmMain::LoadSettings() { loadSettings(program_.runtime().settings(), program_.kesta()); }

void frmMain::SaveSettings() {
    mKesta& k = program_.kesta();
    if (program_.hasMonitor()) {
        const Form& meter = program_.monitor().window;
        k.pMonitorLeft = static_cast<float>(meter.left());
        k.pMonitorTop = static_cast<float>(meter.top());
    }
    saveSettings(program_.runtime().settings(), k);
}

}  // namespace corvane
