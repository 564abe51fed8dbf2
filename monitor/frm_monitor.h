#pragma once
// The meter window: a small borderless window the user can drag, hide with a double-click, and that
// re-applies its size and place once shortly after it appears.

#include <array>
#include <cstdint>
#include <string>

#include "platform/forms.h"

namespace corvane {

class Program;

inline constexpr int kMeterLength = 51;  // pixels: five divisions of ten plus the closing line
inline constexpr int kHistorySize = 60;

class frmMonitor {
  public:
    explicit frmMonitor(Program& program);

    Form window;
    Picture& picHistory;
    Timer tmrRevive;

    // Monitor state, reset by the load.
    std::int16_t mnFirstTick = 0;
    float mEnergyLevel = 0;
    std::string msPowerSrc;
    std::array<float, kHistorySize> mHistory{};
    std::array<std::string, kHistorySize> msSrcHistory;

    void Form_Load();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t reason);
    void picHistory_MouseDown(const MouseArgs& e);
    void picHistory_MouseMove(const MouseArgs& e);
    void picHistory_MouseUp(const MouseArgs& e);
    void picHistory_DblClick();
    void tmrRevive_Timer();

  private:
    void DragStart();
    void DragMove();

    Program& program_;
    std::int16_t nCnt_ = 0;  // revive ticks; never reset
};

}  // namespace corvane
