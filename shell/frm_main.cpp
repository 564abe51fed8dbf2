#include "shell/frm_main.h"

#include <optional>

#include "platform/runtime.h"
#include "shell/mkesta.h"
#include "shell/program_context.h"
#include "shell/settings.h"
#include "shell/tray.h"

namespace corvane {

namespace {

constexpr int kShowIntervalMs = 100;
constexpr std::int16_t kShowTicks = 2;  // the dialog opens on the second tick, about 200 ms later

// A menu command goes on past an error, statement by statement; no error in one ends the program.
template <class Statement>
void skippingErrors(Statement&& statement) {
    try {
        statement();
    } catch (...) {  // NOLINT(bugprone-empty-catch): skipped on purpose
    }
}

}  // namespace

frmMain::frmMain(ProgramContext& program)
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
      tmrShow(program.runtime(), "tmrShow", kShowIntervalMs, false),
      program_(program) {
    window.onLoad = [this] { Form_Load(); };
    window.onQueryUnload = [this](std::int16_t& cancel, std::int16_t mode) {
        Form_QueryUnload(cancel, mode);
    };
    tmrShow.onTimer = [this] { tmrShow_Timer(); };
    program.runtime().tray().onEvent = [this](TrayEvent event) {
        if (!program_.runtime().ended()) picIcon_MouseMove(mouseMessageOf(event));
    };
}

frmMain::~frmMain() { program_.runtime().tray().onEvent = nullptr; }

void frmMain::Form_Load() {
    mKesta& k = program_.kesta();
    window.setLeft(kOffScreenLeft);
    k.TrayAddIcon();
    LoadSettings();
    program_.meterWindow().show();
    if (program_.runtime().ended()) return;
    if (k.pnMonitorHidden == 1) HideMeter();  // any other state: shown, as the menu starts out
}

void frmMain::Form_QueryUnload(std::int16_t& /*cancel*/, std::int16_t unloadMode) {
    if (unloadMode < 0 || unloadMode > 3) return;
    mKesta& k = program_.kesta();
    k.TrayDeleteIcon();
    SaveSettings();
    if (program_.hasMonitor()) k.SetTopmost(program_.meterWindow(), 0);
    program_.runtime().end();
}

void frmMain::ToggleMonitor() {
    mKesta& k = program_.kesta();
    if (mnuMenuArray[0].caption == kHideMeterCaption) {
        HideMeter();
    } else if (mnuMenuArray[0].caption == kShowMeterCaption) {
        program_.meterWindow().show();
        mnuMenuArray[0].caption = kHideMeterCaption;
        k.pnMonitorHidden = 0;
    }
}

void frmMain::HideMeter() {
    program_.meterWindow().hide();
    mnuMenuArray[0].caption = kShowMeterCaption;
    program_.kesta().pnMonitorHidden = 1;
}

// A hidden meter is shown the way the menu shows it, so the caption and the stored state say so too;
// then it is lifted above the other windows of its band, the band itself unchanged.
void frmMain::BringMeterForward() {
    if (mnuMenuArray[0].caption == kShowMeterCaption) ToggleMonitor();
    Form& meter = program_.meterWindow();
    if (meter.visible()) meter.setTopmost(meter.topmost());
}

void frmMain::picIcon_MouseMove(int mouseMessage) {
    mKesta& k = program_.kesta();
    switch (mouseMessage) {
        case kIconMouseMove:
            k.TrayModifyIcon();
            break;
        case kIconLeftDown:
            // Into the band and out again at once: the meter comes to the front without staying on top.
            if (mnuMenuArray[kMenuToggle].caption == kHideMeterCaption && k.pnShowTop == 0) {
                Form& meter = program_.meterWindow();
                k.SetTopmost(meter, 1);
                k.SetTopmost(meter, 0);
            }
            break;
        case kIconLeftDoubleClick:
            ToggleMonitor();
            break;
        case kIconRightUp:
            popUpMenu();
            break;
        default:
            break;
    }
}

void frmMain::popUpMenu() {
    Runtime& runtime = program_.runtime();
    const std::optional<int> chosen = runtime.popupMenu().show(mnuMenuArray);
    // Timers and the end of the session went on while the menu was up.
    if (runtime.ended() || !chosen) return;
    mnuMenuArray_Click(static_cast<std::int16_t>(*chosen));
}

void frmMain::mnuMenuArray_Click(std::int16_t index) {
    mKesta& k = program_.kesta();
    switch (index) {
        case kMenuToggle:
            skippingErrors([&] { ToggleMonitor(); });
            break;
        case kMenuPreferences:
            // Out of the band, so the dialog is not covered by the meter; the dialog puts it back.
            skippingErrors([&] { k.SetTopmost(program_.meterWindow(), 0); });
            skippingErrors([&] { tmrShow.setEnabled(true); });
            break;
        case kMenuHelp:
            skippingErrors(
                [&] { program_.runtime().help().show(program_.helpFile, HelpCommand::Contents, 0); });
            break;
        case kMenuAbout:
            skippingErrors([&] { k.SetTopmost(program_.meterWindow(), 0); });
            skippingErrors([&] { program_.showAbout(); });
            break;
        case kMenuExit:
            skippingErrors([&] { window.unload(); });
            break;
        default:  // the separators
            break;
    }
}

void frmMain::tmrShow_Timer() {
    ++nShowTicks_;
    if (nShowTicks_ == kShowTicks) {
        program_.showOptions();
        nShowTicks_ = 0;
        tmrShow.setEnabled(false);
    }
}

void frmMain::LoadSettings() { loadSettings(program_.runtime().settings(), program_.kesta()); }

void frmMain::SaveSettings() {
    mKesta& k = program_.kesta();
    if (program_.hasMonitor()) {
        const Form& meter = program_.meterWindow();
        k.pMonitorLeft = static_cast<float>(meter.left());
        k.pMonitorTop = static_cast<float>(meter.top());
    }
    saveSettings(program_.runtime().settings(), k);
}

}  // namespace corvane
