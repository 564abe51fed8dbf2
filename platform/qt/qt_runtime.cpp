#include "platform/qt/qt_runtime.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/linux/sysfs_power.h"
#include "platform/qt/meter_widget.h"
#include "resources/icon_art.h"

namespace corvane {

namespace {

int gSignalPipe[2] = {-1, -1};

// Only an async-signal-safe write here; the event loop does the real work.
void onSignal(int sig) {
    const unsigned char b = static_cast<unsigned char>(sig);
    const int saved = errno;
    [[maybe_unused]] const auto n = ::write(gSignalPipe[1], &b, 1);
    errno = saved;
}

// Wayland lets no window place itself, and the meter's whole point is its place: run through XWayland
// when the session offers it.
int& preferX11(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    return argc;
}

QIcon programIcon() {
    const auto px = programIconPixels();
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) img.setPixel(x, y, px[static_cast<std::size_t>(y) * 32 + x]);
    return QIcon(QPixmap::fromImage(img));
}

class MainFormPeer final : public FormPeer {
  public:
    MainFormPeer(QtRuntime& rt, Form& form) : rt_(rt), form_(form) { rt_.registerMain(&form_); }
    ~MainFormPeer() override { rt_.unregister(&form_); }
    // The main form never appears; it only exists to receive the close requests.
    void geometryChanged() override {}
    void visibilityChanged() override {}
    void backColorChanged() override {}
    void pictureChanged(Picture&) override {}
    void setWindowPos(int, int, int, int, int, unsigned) override {}

  private:
    QtRuntime& rt_;
    Form& form_;
};

// Asks the window manager to keep the meter off the taskbar and the pager; Qt offers no flag for it.
// Called right after the window is asked to map. Qt rewrites the state property just before mapping,
// so the atoms are added to the property after that (a window manager reads it when it takes the
// window on) and also sent as the message that a window already managed needs.
void skipTaskbar(QWindow& w) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        const auto len = static_cast<std::uint16_t>(std::strlen(name));
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, len, name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        return a;
    };
    const auto window = static_cast<xcb_window_t>(w.winId());  // the native window as it is now
    const xcb_atom_t netWmState = atom("_NET_WM_STATE");
    const xcb_atom_t skip[] = {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};

    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(c, 0, window, netWmState, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr)) {
        const auto* a = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        states.assign(a, a + xcb_get_property_value_length(r) / sizeof(xcb_atom_t));
        std::free(r);
    }
    for (const xcb_atom_t a : skip)
        if (std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());

    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = netWmState;
    e.data.data32[0] = 1;  // add
    e.data.data32[1] = skip[0];
    e.data.data32[2] = skip[1];
    e.data.data32[3] = 1;  // from an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

class WidgetFormPeer final : public FormPeer {
  public:
    explicit WidgetFormPeer(Form& form) : form_(form), widget_(form) {
        widget_.winId();  // a native window from the start, so its stacking can change before it shows
    }
    void geometryChanged() override {
        // X11 has no empty windows; a zero size still gets one pixel.
        widget_.setGeometry(form_.pixelLeft(), form_.pixelTop(), std::max(1, form_.pixelWidth()),
                            std::max(1, form_.pixelHeight()));
    }
    void visibilityChanged() override {
        const bool showing = form_.visible() && !widget_.isVisible();
        widget_.setVisible(form_.visible());
        if (QWindow* w = widget_.windowHandle(); showing && w) skipTaskbar(*w);
    }
    void backColorChanged() override { widget_.update(); }
    void pictureChanged(Picture&) override { widget_.update(); }
    void setWindowPos(int insertAfter, int, int, int, int, unsigned) override {
        if (insertAfter != -1 && insertAfter != -2) return;
        // The widget is told the new flags without acting on them (it would re-create its window at the
        // next show); the native window gets them directly, which keeps it as it is: no flicker.
        Qt::WindowFlags flags = widget_.windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, insertAfter == -1);
        widget_.overrideWindowFlags(flags);
        if (QWindow* w = widget_.windowHandle()) w->setFlags(flags);
        if (widget_.isVisible()) widget_.raise();
    }

  private:
    Form& form_;
    FormWidget widget_;
};

class QtTimerPeer final : public TimerPeer {
  public:
    explicit QtTimerPeer(Timer& timer) : timer_(timer) {
        QObject::connect(&qtimer_, &QTimer::timeout, [this] { timer_.fire(); });
        stateChanged();
    }
    void stateChanged() override {
        if (timer_.running())
            qtimer_.start(timer_.interval());
        else
            qtimer_.stop();
    }

  private:
    Timer& timer_;
    QTimer qtimer_;
};

}  // namespace

QtRuntime::QtRuntime(int& argc, char** argv)
    : app_(preferX11(argc), argv),
      store_(IniSettingsStore::defaultConfigRoot(), [this](const std::string& t) { reportProblem(t); }) {
    QApplication::setApplicationName("Corvane");
    QApplication::setQuitOnLastWindowClosed(false);  // the meter may be hidden; the tray icon stays
    installSignalHandlers();
    QObject::connect(&app_, &QGuiApplication::commitDataRequest,
                     [this](QSessionManager&) { closeRequested(2); });
}

QtRuntime::~QtRuntime() = default;

void QtRuntime::installSignalHandlers() {
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signalNotifier_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, [this] {
        unsigned char b;
        while (::read(gSignalPipe[0], &b, 1) == 1) {
        }
        closeRequested(2);  // terminated, interrupted or hung up: treated like the end of the session
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

void QtRuntime::closeRequested(std::int16_t reason) {
    if (mainForm_) mainForm_->queryUnload(reason);
}

void QtRuntime::unregister(Form* form) {
    if (mainForm_ == form) mainForm_ = nullptr;
}

std::unique_ptr<FormPeer> QtRuntime::createFormPeer(Form& form) {
    if (form.kind() == FormKind::Main) return std::make_unique<MainFormPeer>(*this, form);
    return std::make_unique<WidgetFormPeer>(form);
}

std::unique_ptr<TimerPeer> QtRuntime::createTimerPeer(Timer& timer) {
    return std::make_unique<QtTimerPeer>(timer);
}

int QtRuntime::run() {
    if (ended_) return 0;
    return QApplication::exec();
}

void QtRuntime::end() {
    ended_ = true;
    trayIcon_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QApplication::exit(0);
}

void QtRuntime::reportProblem(const std::string& text) {
    std::fprintf(stderr, "corvane: %s\n", text.c_str());
}

double QtRuntime::twipsPerPixelX() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

double QtRuntime::twipsPerPixelY() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

int QtRuntime::widthPixels() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int QtRuntime::heightPixels() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

void QtRuntime::getCursorPos(PointPx& point) {
    const QPoint p = QCursor::pos();
    point = {p.x(), p.y()};
}

int QtRuntime::getSystemPowerStatus(SystemPowerStatus& status) {
    status = readPlatformPowerStatus();
    return 1;
}

std::string QtRuntime::timeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return buf;
}

void QtRuntime::shellNotifyIcon(int message, const NotifyIconData& data) {
    const QString tip =
        QString::fromLatin1(data.szTip.data(), static_cast<qsizetype>(strnlen(data.szTip.data(), 64)));
    if (message == kNimAdd) {
        trayIcon_ = std::make_unique<QSystemTrayIcon>();
        trayIcon_->setIcon(programIcon());
        trayIcon_->setToolTip(tip);
        QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason r) {
                             if (!onNotify) return;
                             // The same mouse message numbers a Windows icon reports; a double-click follows
                             // a click.
                             if (r == QSystemTrayIcon::Trigger) onNotify(513);
                             if (r == QSystemTrayIcon::DoubleClick) onNotify(515);
                             if (r == QSystemTrayIcon::Context) onNotify(517);
                         });
        trayIcon_->show();  // without a notification area this shows nothing, and the program goes on
    } else if (message == kNimModify && trayIcon_) {
        trayIcon_->setToolTip(tip);
    } else if (message == kNimDelete) {
        trayIcon_.reset();
    }
}

std::string QtRuntime::executableFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

std::unique_ptr<Runtime> createRuntime(int argc, char** argv) {
    static int storedArgc = argc;  // QApplication keeps a reference to it for its whole life
    return std::make_unique<QtRuntime>(storedArgc, argv);
}

}  // namespace corvane
