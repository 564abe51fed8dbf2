// The monitor's state in words: level, minutes on battery and the estimate, as several lines for the
// tooltip or one line for the tray tip.

#include <string>

#include "monitor/frm_monitor.h"
#include "shell/mkesta.h"
#include "shell/numbers.h"
#include "shell/program_context.h"

namespace corvane {

std::string frmMonitor::GetStatusText(std::int16_t mode) const {
    // The tooltip breaks its lines at each carriage return; the blank before it is part of the text.
    const std::string sep = mode == 0 ? " \r" : ",";
    const std::int16_t level = num::toInt16(mEnergyLevel);
    std::string elapsed, estimateLine;
    std::int16_t minutes;
    if (msPowerSrc == "DC") {
        elapsed = " Elapsed: " + std::to_string(program_.kesta().pnElapsedMin) + " min" + sep;
        minutes = GetDischargeTime(kEstimateSamples);
        estimateLine = " Lifetime: " + std::to_string(minutes) + " min ";
    } else {  // mains, and before the first reading
        minutes = GetChargeTime(kEstimateSamples);
        estimateLine = " Charge time: " + std::to_string(minutes) + " min ";
    }
    if (minutes == kNoEstimate) estimateLine = " Acquiring data...";
    if (level > 99) estimateLine = " Charge completed ";
    return elapsed + " Energy level: " + std::to_string(level) + " %" + sep + estimateLine;
}

}  // namespace corvane
