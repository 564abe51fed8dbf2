// The one-second tick: the reading, the hour of samples in phase with the last change of power
// source, the minutes on battery, the drawing, the blink and the alarm, and the tray tip.
//
// The picture and the tip are made from a handful of numbers that change every few minutes, while
// the tick comes every second; making them again from the same numbers would only cost the time,
// and a redrawn picture the window system's attention. So each tick compares those numbers with the
// ones the picture and the tip were last made from, and makes again only what they changed.

#include <algorithm>

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

// Made value-initialised (new Made()): every member starts at zero, nothing made yet.
struct frmMonitor::Made {
    // Everything the picture is drawn from.
    struct MeterInputs {
        std::int16_t level;
        bool mains, wiped;
        std::int16_t upright, lowUpper, midUpper;
        std::array<std::int32_t, 7> colours;
        Color background;
        double width, height;
        bool operator==(const MeterInputs&) const = default;
    };

    bool meter;
    MeterInputs meterInputs;
    // The picture's drawings as the tick left them: something else may draw there between two ticks
    // (a new background from the preferences dialog wipes the picture even in the same colour).
    std::uint64_t drawings;

    bool tip;
    std::int16_t level, elapsed;
    bool mains;
    // The history changes only when a sample is taken, and is compared only then.
    std::uint32_t samples;
    std::array<float, kEstimateReach> levels;
    std::array<std::string, kEstimateReach> sources;
};

void frmMonitor::Unmake::operator()(Made* made) const { delete made; }

bool frmMonitor::ReadPowerStatus() {
    SystemPowerStatus status{};  // a call that fills nothing reads as empty battery on battery power
    program_.runtime().power().getSystemPowerStatus(status);
    mEnergyLevel = static_cast<float>(status.BatteryLifePercent);
    mEnergyLevel = std::min(mEnergyLevel, 100.0f);  // 255, "unknown", included
    program_.kesta().plFullLifeSaved = status.BatteryFullLifeTime;
    const char* source = status.ACLineStatus == kACOnline ? "AC" : "DC";
    if (msPowerSrc == source) return false;
    msPowerSrc = source;
    return true;
}

// Samples fall on the second of the minute at which the source last changed: the clock is read
// shifted back by that second, and a new shifted minute means a sample is due. A tick in which the
// source changed takes none, so the first sample on the new source comes a minute after the change.
std::int16_t frmMonitor::IsMinutePassed(std::int16_t startSec, std::int16_t changed) {
    const std::int16_t previous = nLastMin_;
    std::int16_t second;  // pGetMinSec writes both
    program_.kesta().pGetMinSec(nLastMin_, second);
    if (second < startSec) {  // still within the shifted minute before
        --nLastMin_;
        if (nLastMin_ < 0) nLastMin_ = static_cast<std::int16_t>(nLastMin_ + 60);
    }
    return nLastMin_ != previous && changed != 1;
}

void frmMonitor::tmrMain_Timer() {
    mKesta& k = program_.kesta();
    if (mnFirstTick == 1) k.SetTopmost(window, k.pnShowTop);

    // The minutes on battery need no reset here: on mains they stand at 0, and so they do at the start.
    const bool changed = ReadPowerStatus();
    if (changed) {
        std::int16_t minute;
        k.pGetMinSec(minute, nSrcChangeSec_);
    }
    nSrcChanged_ = changed;  // 1 in the tick whose source changed, 0 in every other

    const std::int16_t due = IsMinutePassed(nSrcChangeSec_, nSrcChanged_);
    if (due == 1 || mnFirstTick != 0) {
        ++nSamples_;
        for (int i = kHistorySize - 1; i >= 1; --i) {
            mHistory[i] = mHistory[i - 1];
            msSrcHistory[i] = std::move(msSrcHistory[i - 1]);
        }
        mHistory[0] = mEnergyLevel;
        msSrcHistory[0] = msPowerSrc;
    }

    const bool mains = msPowerSrc == "AC";  // or "DC", as the reading left it
    if (!mains) {
        // Past 22 days on battery the count stays at its largest value instead of turning negative.
        if (due == 1 && k.pnElapsedMin < INT16_MAX) ++k.pnElapsedMin;
    } else {
        k.pnElapsedMin = 0;
    }

    // Low on battery the bar is wiped every other tick; the alarm sounds every tenth.
    const std::int16_t level = num::toInt16(mEnergyLevel);
    bool wiped = false;
    if (!mains && level < k.pnLowUpper) {
        if (++nBlinkCnt_ == kBlinkTicks) {
            wiped = true;
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

    if (!made_) made_.reset(new Made());
    Made& made = *made_;
    const Made::MeterInputs meter{.level = level,
                                  .mains = mains,
                                  .wiped = wiped,
                                  .upright = k.pnUpright,
                                  .lowUpper = k.pnLowUpper,
                                  .midUpper = k.pnMidUpper,
                                  .colours = k.plColor,
                                  .background = picHistory.backColor(),
                                  .width = picHistory.scaleWidth(),
                                  .height = picHistory.scaleHeight()};
    if (!made.meter || !(meter == made.meterInputs) || picHistory.image().drawings() != made.drawings) {
        DrawMeter();
        if (wiped) picHistory.cls();  // the grid stays
        DrawGrid();
        made.meter = true;
        made.meterInputs = meter;
        made.drawings = picHistory.image().drawings();
    }

    // The estimate in the tip looks at the newest samples only.
    bool sameTip = made.tip && made.level == level && made.mains == mains && made.elapsed == k.pnElapsedMin;
    if (sameTip && made.samples != nSamples_) {
        made.samples = nSamples_;
        for (int i = 0; sameTip && i < kEstimateReach; ++i)
            sameTip = made.levels[i] == mHistory[i] && made.sources[i] == msSrcHistory[i];
    }
    if (!sameTip) {
        std::string tip = GetStatusText(1);
        // Where the icon does not report the mouse over it, the tip is kept current from here instead.
        const bool tipChanged = tip != k.psTrayTip;
        k.psTrayTip = std::move(tip);
        if (tipChanged && !program_.runtime().tray().reportsHover()) k.TrayModifyIcon();
        made.tip = true;
        made.level = level;
        made.mains = mains;
        made.elapsed = k.pnElapsedMin;
        made.samples = nSamples_;
        std::copy_n(mHistory.begin(), kEstimateReach, made.levels.begin());
        std::copy_n(msSrcHistory.begin(), kEstimateReach, made.sources.begin());
    }
    mnFirstTick = 0;
}

}  // namespace corvane
