// How long the battery lasts, or how long charging takes: a least-squares line through the newest
// samples taken on the present source, extended to empty or full.

#include <algorithm>
#include <array>
#include <cmath>

#include "monitor/frm_monitor.h"
#include "shell/numbers.h"

namespace corvane {

namespace {
constexpr float kFlatSlope = 0.001f;  // percent per minute: a flatter or backward trend gives no estimate
constexpr std::int16_t kMinPoints = 5;
constexpr float kFull = 100;  // percent: charging, the line runs up to it

// Whether the level's whole part is n, as floor would tell, without the maths library's floor: the tip
// is the only user of that page of it the running program would keep.
bool wholePart(float level, int n) { return level >= n && level < n + 1; }
}  // namespace

FittedLine FitLine(const float* x, const float* y, std::int16_t n) {
    float sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += y[i] * x[i];
    }
    const float mx = sx / n;
    const float my = sy / n;
    // Every step rounded to single precision, as the sums are: the worked slopes come out exact.
    const float sxMy = sx * my, sxMx = sx * mx;
    const float slope = (sxy - sxMy) / (sxx - sxMx);
    const float mxSlope = mx * slope;
    return {slope, my - mxSlope};
}

// Each sample is compared with the one before it, also where that one lies outside the run: on
// battery the oldest sample of a run must not lie above its predecessor, even when that is a mains
// sample or a slot not yet filled.
std::int16_t frmMonitor::runLength(const char* source, bool charging, std::int16_t n) const {
    n = static_cast<std::int16_t>(std::min<int>(n, kMaxPoints));
    std::int16_t count = 0;
    for (; count < n; ++count) {
        const float level = mHistory[count], older = mHistory[count + 1];
        if (msSrcHistory[count] != source || !(level > 0)) break;
        if (charging ? level < older : level > older) break;
    }
    return count;
}

std::int16_t frmMonitor::estimate(std::int16_t count, bool charging) const {
    if (count < kMinPoints) return kNoEstimate;
    std::array<float, kMaxPoints> x, y;  // checked, in builds that check, against a run too long
    for (int k = 0; k < count; ++k) {
        x[k] = static_cast<float>(k);
        y[k] = charging ? kFull - mHistory[k] : mHistory[k];
    }
    const float slope = FitLine(x.data(), y.data(), count).slope;
    if (!std::isgreater(slope, kFlatSlope)) return kNoEstimate;  // nor is a slope that is not a number
    const float left = charging ? kFull - mHistory[0] : mHistory[0];
    return num::toInt16(left / slope);
}

std::int16_t frmMonitor::GetChargeTime(std::int16_t n) const {
    const std::int16_t count = runLength("AC", true, n);
    if (wholePart(mHistory[0], 100)) return 0;
    return estimate(count, true);
}

std::int16_t frmMonitor::GetDischargeTime(std::int16_t n) const {
    const std::int16_t count = runLength("DC", false, n);
    if (wholePart(mHistory[0], 0)) return 0;
    return estimate(count, false);
}

}  // namespace corvane
