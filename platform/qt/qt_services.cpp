#include "platform/qt/qt_services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_form_peer.h"
#include "platform/qt/qt_x11_hints.h"

namespace corvane {

namespace {

double twipsPerPixel(double dpi) { return 1440.0 / (dpi > 0 ? dpi : 96); }

}  // namespace

QtScreen::QtScreen() : connections_(std::make_unique<QObject>()) {
    if (const QScreen* s = QGuiApplication::primaryScreen()) origin_ = s->geometry().topLeft();
}

QtScreen::~QtScreen() = default;

void QtScreen::watch(std::function<void(int dxPx, int dyPx)> changed) {
    changed_ = std::move(changed);
    QObject* context = connections_.get();
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, context, [this] { rearranged(); });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, context, [this] { rearranged(); });
    QObject::connect(qApp, &QGuiApplication::screenAdded, context, [this](QScreen* s) {
        watchScreen(s);
        rearranged();
    });
    for (QScreen* s : QGuiApplication::screens()) watchScreen(s);
}

void QtScreen::watchScreen(QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, connections_.get(), [this] { rearranged(); });
}

void QtScreen::rearranged() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const QPoint moved = s ? s->geometry().topLeft() - origin_ : QPoint();
    origin_ += moved;
    if (changed_) changed_(moved.x(), moved.y());
}

double QtScreen::twipsPerPixelX() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 96);
}

double QtScreen::twipsPerPixelY() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 96);
}

int QtScreen::widthPixels() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int QtScreen::heightPixels() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

std::vector<PixelRect> QtScreen::monitors() {
    std::vector<PixelRect> all;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect r = s->geometry().translated(-origin_);
        all.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    return all;
}

namespace {
const QPoint* pointerInHand = nullptr;  // the global place of the mouse event being handled, if any
}  // namespace

PointerOfEvent::PointerOfEvent(QPoint global) : outer_(pointerInHand), global_(global) {
    pointerInHand = &global_;
}
PointerOfEvent::~PointerOfEvent() { pointerInHand = outer_; }

void QtScreen::getCursorPos(PointPx& point) {
    const QPoint p = (pointerInHand ? *pointerInHand : QCursor::pos()) - origin_;
    point = {p.x(), p.y()};
}

WindowFrame QtScreen::windowFrame(const FormStyle& style) {
    if (style.border == BorderStyle::None) return {};
    const auto key = std::make_pair(style.border, style.showInTaskbar);
    if (const auto it = frames_.find(key); it != frames_.end()) return it->second;
    // A window of the same kind, fixed in size as the dialogs are, made but never shown.
    QWidget probe(nullptr, windowFlagsOf(style));
    probe.setFixedSize(200, 100);
    probe.winId();
    const WindowFrame frame =
        probe.windowHandle() ? requestFrameExtents(*probe.windowHandle()) : WindowFrame{};
    frames_[key] = frame;
    return frame;
}

Color QtScreen::systemColor(SystemColor which) {
    return fromQColor(QApplication::palette().color(
        QPalette::Active, which == SystemColor::ButtonFace ? QPalette::Window : QPalette::Base));
}

// A folder name is in the file system's encoding, as every other path the program hands on.
std::string QtAppInfo::executableFolder() { return toLocal(QCoreApplication::applicationDirPath()); }

}  // namespace corvane
