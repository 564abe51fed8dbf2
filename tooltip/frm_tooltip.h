#pragma once
// The status tooltip: a small pale-yellow box beside the meter with the status text in several lines,
// drawn by the program itself. The meter hands it the text on every mouse move; from then on its timer
// places it by the cursor's half of the screen, redraws it, and hides it once the cursor has left the
// meter.

#include <cstdint>
#include <string>

#include "platform/forms.h"
#include "platform/timer.h"

namespace corvane {

class ProgramContext;

inline constexpr Color kToolTipBackColor = 0x0080FFFF;  // red 255, green 255, blue 128

class frmToolTip {
  public:
    explicit frmToolTip(ProgramContext& program);

    Form window;
    Picture& picToolTip;
    Timer tmrToolTip;

    // The one way in: the text to show. Starts the timer, whose next tick shows the box.
    void label(const std::string& C);
    // Stops the timer and takes the box away at once: the cursor left the meter, or the meter's menu
    // is about to open.
    void Hide();

    void Form_Load();
    void tmrToolTip_Timer();

  private:
    ProgramContext& program_;
    std::string msLabel;
    std::int16_t mnTwipsPerPixelX = 0;
    std::int16_t mnTwipsPerPixelY = 0;
};

}  // namespace corvane
