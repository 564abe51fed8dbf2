#pragma once
// The meter window: reads the battery once a second, keeps an hour of samples, estimates the time
// left or to full charge, draws the level bar over its grid and blinks and sounds the alarm when the
// battery runs low. The user can drag it, hide it with a double-click and open the program's menu on
// it with the right button; the mouse over it brings up the status tooltip. It re-applies its size and
// place once shortly after it appears.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/forms.h"
#include "platform/timer.h"

namespace corvane {

class ProgramContext;

inline constexpr int kMeterLength = 51;  // pixels: five divisions of ten plus the closing line
inline constexpr int kHistorySize = 60;  // one sample a minute
inline constexpr std::int16_t kNoEstimate = 999;
inline constexpr std::int16_t kEstimateSamples = 12;  // how far back an estimate looks, in minutes
// The samples an estimate can reach: the run it fits and the sample just before it.
inline constexpr int kEstimateReach = kEstimateSamples + 1;
inline constexpr int kMaxPoints = 16;  // the most samples a line is fitted through
static_assert(kMaxPoints < kHistorySize, "every sample of a run has one before it");

class frmMonitor {
  public:
    explicit frmMonitor(ProgramContext& program);

    Form window;
    Picture& picHistory;
    Timer tmrMain;
    Timer tmrRevive;

    // Monitor state, reset by the load.
    std::int16_t mnFirstTick = 0;
    float mEnergyLevel = 0;  // percent, 0 to 100
    std::string msPowerSrc;  // "AC", "DC", or empty before the first tick
    // Index 0 is the newest sample; each level goes with the power source it was taken on.
    std::array<float, kHistorySize> mHistory{};
    std::array<std::string, kHistorySize> msSrcHistory;

    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t reason);
    void picHistory_MouseDown(const MouseArgs& e);
    void picHistory_MouseMove(const MouseArgs& e);
    void picHistory_MouseUp(const MouseArgs& e);
    void picHistory_DblClick();
    void tmrMain_Timer();
    void tmrRevive_Timer();

    // Whether the power source differs from the one read before.
    bool ReadPowerStatus();
    // Minutes to full charge on mains, or of battery left, from the newest samples: 0 when already
    // full or empty, kNoEstimate while there are too few samples or no clear trend.
    std::int16_t GetChargeTime(std::int16_t n) const;
    std::int16_t GetDischargeTime(std::int16_t n) const;
    // mode 0: several lines, for the tooltip; anything else: one line, for the tray tip.
    std::string GetStatusText(std::int16_t mode) const;
    void DrawMeter();
    void DrawGrid();

  private:
    void DragStart();
    void DragMove();
    std::int16_t IsMinutePassed(std::int16_t startSec, std::int16_t changed);
    void FillBox(int x, int y, int w, int h, Color colour, Picture& surface);
    // The newest samples taken on one source while the level moved only one way (up when charging).
    std::int16_t runLength(const char* source, bool charging, std::int16_t n) const;
    // (100 - level, for charging) or the level itself, fitted against minutes back, extended to 0.
    std::int16_t estimate(std::int16_t count, bool charging) const;

    ProgramContext& program_;
    // Kept from tick to tick.
    std::int16_t nSrcChangeSec_ = 0;  // the second of the minute at which samples are taken
    std::int16_t nSrcChanged_ = 0;
    std::int16_t nLastMin_ = 0;
    std::int16_t nBlinkCnt_ = 0;  // low ticks: neither count restarts when the battery recovers
    std::int16_t nAlarmCnt_ = 0;
    std::int16_t nCnt_ = 0;       // revive ticks; never reset
    std::uint32_t nSamples_ = 0;  // samples taken into the history; never reset
    // What the picture and the tray tip were last made from (tick.cpp).
    struct Made;
    struct Unmake {
        void operator()(Made* made) const;
    };
    std::unique_ptr<Made, Unmake> made_;
};

// An ordinary least-squares line y = intercept + slope * x through the first n points, with the sums
// kept in single precision as the estimates have always been computed.
struct FittedLine {
    float slope;
    float intercept;
};
FittedLine FitLine(const float* x, const float* y, std::int16_t n);

}  // namespace corvane
