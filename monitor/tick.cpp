// The one-second tick: the reading, the hour of samples in phase with the last change of power
// source, the minutes on battery, the drawing, the blink and the alarm, and the tray tip.

#include "monitor/frm_monitor.h"
#include "platform/runtime.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

namespace {
constexpr std::int16_t kBlinkTicks = 2;   // the bar shows one tick and is wiped the next
constexpr std::int16_t kAlarmTicks = 10;  // the alarm sounds every tenth low tick
}  // namespace

void frmMonitor::ReadPowerStatus() {
    SystemPowerStatus status{};  // a call that fills nothing reads as empty battery on battery power
    program_.runtime().power().getSystemPowerStatus(status);
    mEnergyLevel = static_cast<float>(status.BatteryLifePercent);
    if (!(mEnergyLevel < 100)) mEnergyLevel = 100;  // 255, "unknown", included
    program_.kesta().plFullLifeSaved = status.BatteryFullLifeTime;
    msPowerSrc = status.ACLineStatus == kACOnline ? "AC" : "DC";
}

// Samples fall on the second of the minute at which the source last changed: the clock is read
// shifted back by that second, and a new shifted minute means a sample is due. A tick in which the
// source changed takes none, so the first sample on the new source comes a minute after the change.
std::int16_t frmMonitor::IsMinutePassed(std::int16_t startSec, std::int16_t changed) {
    const std::int16_t previous = nLastMin_;
    std::int16_t second = 0;
    program_.kesta().pGetMinSec(nLastMin_, second);
    second = static_cast<std::int16_t>(second - startSec);
    if (second < 0) {
        second = static_cast<std::int16_t>(second + 60);
        --nLastMin_;
        if (nLastMin_ < 0) nLastMin_ = static_cast<std::int16_t>(nLastMin_ + 60);
    }
    return nLastMin_ != previous && changed != 1 ? 1 : 0;
}

void frmMonitor::tmrMain_Timer() {
    mKesta& k = program_.kesta();
    if (mnFirstTick == 1) k.SetTopmost(window, k.pnShowTop);

    const std::string previousSource = msPowerSrc;
    ReadPowerStatus();
    if (msPowerSrc != previousSource) {
        std::int16_t minute = 0;
        k.pGetMinSec(minute, nSrcChangeSec_);
        k.pnElapsedMin = 0;
        nSrcChanged_ = 1;
    } else {
        nSrcChanged_ = 0;
    }

    const std::int16_t due = IsMinutePassed(nSrcChangeSec_, nSrcChanged_);
    if (due == 1 || mnFirstTick > 0) {
        for (int i = kHistorySize - 1; i >= 1; --i) {
            mHistory[i] = mHistory[i - 1];
            msSrcHistory[i] = std::move(msSrcHistory[i - 1]);
        }
        mHistory[0] = mEnergyLevel;
        msSrcHistory[0] = msPowerSrc;
    }

    if (msPowerSrc == "DC") {
        // Past 22 days on battery the count stays at its largest value instead of turning negative.
        if (due == 1 && k.pnElapsedMin < INT16_MAX) ++k.pnElapsedMin;
    } else {
        k.pnElapsedMin = 0;
    }

    DrawMeter();

    if (msPowerSrc == "DC" && num::toInt16(mEnergyLevel) < k.pnLowUpper) {
        if (++nBlinkCnt_ == kBlinkTicks) {
            picHistory.cls();
            nBlinkCnt_ = 0;
        }
        if (k.pnAlarmEnabled == 1) {
            ++nAlarmCnt_;
            if (nAlarmCnt_ == kAlarmTicks || mnFirstTick == 1) {
                program_.runtime().sound().playAsync(k.psWavFilePath);
                nAlarmCnt_ = 0;
            }
        }
    }

    DrawGrid();

    std::string tip = GetStatusText(1);
    // Where the icon does not report the mouse over it, the tip is kept current from here instead.
    const bool tipChanged = tip != k.psTrayTip;
    k.psTrayTip = std::move(tip);
    if (tipChanged && !program_.runtime().tray().reportsHover()) k.TrayModifyIcon();
    mnFirstTick = 0;
}

}  // namespace corvane
