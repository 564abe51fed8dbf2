#pragma once
// Mirrors one of the program's timers onto a QTimer of the event loop.

#include <QTimer>

#include "platform/runtime.h"

namespace corvane {

class QtTimerPeer final : public TimerPeer {
  public:
    explicit QtTimerPeer(Timer& timer);
    void stateChanged() override;

  private:
    Timer& timer_;
    QTimer qtimer_;
};

}  // namespace corvane
