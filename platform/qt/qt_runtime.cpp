#include "platform/qt/qt_runtime.h"

#include <QSessionManager>
#include <QStyle>
#include <QStyleFactory>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/qt/qt_form_peer.h"
#include "platform/qt/qt_timer_peer.h"

namespace corvane {

namespace {

// Wayland lets no window place itself, and the meter's whole point is its place: run through XWayland
// when the session offers it.
int& preferX11(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    return argc;
}

}  // namespace

QtRuntime::QtRuntime(int& argc, char** argv)
    : app_(preferX11(argc), argv),
      store_(IniSettingsStore::defaultConfigRoot(), [this](const std::string& t) { reportProblem(t); }),
      // Terminated, interrupted or hung up: treated like the end of the session.
      signals_([this] { endSession(); }),
      // The process then ends with status 1, as Qt ends it.
      displayLoss_([this] {
          if (!looping_ || ended()) return;  // before the loop nothing has changed, after it all is saved
          const int before = problems_;
          endSession();
          reportProblem(problems_ == before ? "the connection to the display broke: the settings are saved"
                                            : "the connection to the display broke");
      }) {
    QApplication::setApplicationName("Corvane");
    // One style, so the dialogs' controls take the same room on every desktop, in the desktop's colours:
    // the platform theme's palette where it has one (a dark scheme, say), the style's own where not.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    screen_.watch([this](int dxPx, int dyPx) { screensChanged(dxPx, dyPx); });
    // The kernel's announcements of changes to the supplies (or, for supplies that are files rather than
    // sysfs, as a test's fake battery is, the watch of those files) wait in the event loop, which waits
    // on its descriptors anyway, rather than being looked at by the reading every second.
    if (const int watch = power_.reader().handOverWatch(); watch >= 0) {
        powerWatch_ = std::make_unique<QSocketNotifier>(watch, QSocketNotifier::Read);
        QObject::connect(powerWatch_.get(), &QSocketNotifier::activated,
                         [this] { power_.reader().watchFired(); });
    }
    QApplication::setQuitOnLastWindowClosed(false);  // the meter may be hidden; the tray icon stays
    QObject::connect(&app_, &QGuiApplication::commitDataRequest, [this](QSessionManager&) { endSession(); });
    // The autostart entry starts the program with the session; a session manager restoring it as well
    // would only start a second copy, with a "-session" switch the command line refuses.
    QObject::connect(&app_, &QGuiApplication::saveStateRequest,
                     [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
}

QtRuntime::~QtRuntime() = default;

std::unique_ptr<FormPeer> QtRuntime::createFormPeer(Form& form) { return std::make_unique<QtFormPeer>(form); }

std::unique_ptr<TimerPeer> QtRuntime::createTimerPeer(Timer& timer) {
    return std::make_unique<QtTimerPeer>(timer);
}

void QtRuntime::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        &app_,
        [this, fn = std::move(fn)] {
            if (!ended()) fn();
        },
        Qt::QueuedConnection);
}

int QtRuntime::run() {
    if (ended()) return 0;  // ended during start-up, before there was a loop to leave
    looping_ = true;
    const int status = QApplication::exec();
    looping_ = false;
    return status;
}

void QtRuntime::stopLoop() {
    // The settings are saved by now: a start from here on may become the running copy.
    knocks_.reset();
    if (sole_) sole_->release();
    if (!QtDisplayLoss::lost()) {
        tray_.remove();
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    }
    QApplication::exit(0);
}

bool QtRuntime::claimSoleInstance() {
    sole_.emplace(SoleInstance::defaultFolder([this](const std::string& t) { reportProblem(t); }),
                  [this](const std::string& t) { reportProblem(t); });
    if (sole_->claim() == SoleInstance::Claim::AnotherRuns) return false;
    if (sole_->knockSocket() >= 0) {
        knocks_ = std::make_unique<QSocketNotifier>(sole_->knockSocket(), QSocketNotifier::Read);
        QObject::connect(knocks_.get(), &QSocketNotifier::activated, [this] {
            if (sole_->takeKnocks() > 0) anotherStarted();
        });
    }
    return true;
}

void QtRuntime::reportProblem(const std::string& text) {
    ++problems_;
    std::fprintf(stderr, "corvane: %s\n", text.c_str());
}

// Standard output is closed here, so that a full disk or a closed descriptor shows before the status is
// chosen, not unnoticed at exit.
bool writeToConsole(const std::string& out, const std::string& err) {
    bool written = true;
    if (!out.empty()) {
        const bool put = std::fputs(out.c_str(), stdout) >= 0;
        written = std::fclose(stdout) == 0 && put;
        if (!written) std::fprintf(stderr, "corvane: write error: %s\n", std::strerror(errno));
    }
    return std::fputs(err.c_str(), stderr) >= 0 && written;
}

std::unique_ptr<Runtime> createRuntime(int argc, char** argv) {
    static int storedArgc = argc;  // QApplication keeps a reference to it for its whole life
    return std::make_unique<QtRuntime>(storedArgc, argv);
}

}  // namespace corvane
