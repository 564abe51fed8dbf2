#include "platform/qt/qt_timer_peer.h"

namespace corvane {

QtTimerPeer::QtTimerPeer(Timer& timer) : timer_(timer) {
    QObject::connect(&qtimer_, &QTimer::timeout, [this] { timer_.fire(); });
    stateChanged();
}

void QtTimerPeer::stateChanged() {
    if (timer_.running())
        qtimer_.start(timer_.interval());
    else
        qtimer_.stop();
}

}  // namespace corvane
