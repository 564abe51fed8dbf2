#include "platform/qt/qt_display_loss.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QThread>
#include <atomic>
#include <cstdlib>

namespace corvane {

namespace {

QtDisplayLoss* gWatch = nullptr;  // the one watching; none before or after the runtime's life
std::atomic<bool> gLost{false};

bool connectionBroken() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    return c && QGuiApplication::platformName() == QLatin1String("xcb") && xcb_connection_has_error(c) != 0;
}

}  // namespace

// Qt finds the broken connection in its own event dispatch and calls exit() there, before any event
// of ours could tell of it; the handler then runs with every object of the program still there, as at
// the end of the session.
QtDisplayLoss::QtDisplayLoss(std::function<void()> onLost) : onLost_(std::move(onLost)) {
    [[maybe_unused]] static const bool registered = std::atexit(&QtDisplayLoss::atProcessEnd) == 0;
    gWatch = this;
}

QtDisplayLoss::~QtDisplayLoss() { gWatch = nullptr; }

bool QtDisplayLoss::lost() { return gLost.load(std::memory_order_relaxed); }

void QtDisplayLoss::atProcessEnd() {
    if (!gWatch || gLost || !qGuiApp || QThread::currentThread() != qGuiApp->thread() || !connectionBroken())
        return;
    gLost = true;
    if (gWatch->onLost_) gWatch->onLost_();
}

}  // namespace corvane
