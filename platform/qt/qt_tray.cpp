#include "platform/qt/qt_tray.h"

#include <QCoreApplication>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_display_loss.h"

namespace corvane {

namespace {

// Drawn at build time, as the Windows program's icon is: drawing it here would bring the drawing code
// and the pages of the maths library it calls into every run, some 0.4 MB of resident memory. Every
// size a panel may ask for is there, each drawn at its size: a tray icon is often 22 or 24 pixels.
// The table holds, size after size, the side and then its pixels, and ends with a side of 0.
constexpr std::uint32_t kProgramIcons[] = {
#include "corvane.argb.inc"
};

// Where the table's next picture starts, after the one starting at `at`.
std::size_t nextIcon(std::size_t at) { return at + 1 + std::size_t{kProgramIcons[at]} * kProgramIcons[at]; }

// The pixels of the table's picture with the given side, or nullptr.
const std::uint32_t* iconPixels(int side) {
    for (std::size_t at = 0; kProgramIcons[at] != 0; at = nextIcon(at))
        if (static_cast<int>(kProgramIcons[at]) == side) return &kProgramIcons[at + 1];
    return nullptr;
}

// The smallest picture that covers the size asked for, else the largest.
int bestSide(const QSize& size) {
    const qint64 wanted = qint64{size.width()} * size.height();
    int covering = 0, largest = 0;
    for (std::size_t at = 0; kProgramIcons[at] != 0; at = nextIcon(at)) {
        const int side = static_cast<int>(kProgramIcons[at]);
        largest = std::max(largest, side);
        if (qint64{side} * side >= wanted && (covering == 0 || side < covering)) covering = side;
    }
    return covering ? covering : largest;
}

// The picture a panel asks for is made from the table when it asks, at that size only, and the last one
// made is kept: a panel shows one size, and a pixmap at every size would hold some 35 KB of memory for
// the program's whole life. The size is chosen and scaled down as an icon of one pixmap a size does it.
class ProgramIconEngine final : public QIconEngine {
  public:
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    bool isNull() override { return false; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (std::size_t at = 0; kProgramIcons[at] != 0; at = nextIcon(at))
            sizes.append(QSize(static_cast<int>(kProgramIcons[at]), static_cast<int>(kProgramIcons[at])));
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = bestSide(size);
        QSize actual(side, side);
        if (side > size.width() || side > size.height()) actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QSize actual = actualSize(size, mode, state);
        const int side = bestSide(size);
        if (side == madeFrom_ && made_.size() == actual) return made_;
        madeFrom_ = side;
        const std::uint32_t* pixels = iconPixels(side);
        if (!pixels || actual.isEmpty()) return made_ = QPixmap();
        // Premultiplied here, as a pixmap keeps them: left to Qt, the conversion of a larger picture is
        // shared out among threads of a pool made for it, which then stays with the program.
        QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < side; ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < side; ++x) row[x] = qPremultiply(pixels[y * side + x]);
        }
        if (img.size() != actual) img = img.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        made_ = QPixmap::fromImage(std::move(img));  // taken over, not copied
        return made_;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

  private:
    QPixmap made_;
    int madeFrom_ = 0;  // the side of the table's picture it was made from
};

}  // namespace

QtTray::QtTray() = default;

// The icon reports from inside its own mouse handler, and what the program does then (a menu, "Exit"
// taking the icon away) must not run there: the event waits for the handler to return.
void QtTray::notifyLater(TrayEvent event) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, event] {
            if (onEvent) onEvent(event);
        },
        Qt::QueuedConnection);
}

QtTray::~QtTray() = default;

// Qt reports a click once the button is up, and a double-click after it; the program's lift of the
// meter goes with the button down, which is the click here.
void QtTray::add(const std::string& tip) {
    if (QtDisplayLoss::lost()) return;
    docked_ =
        DockedTrayIcon::dock(QIcon(new ProgramIconEngine), [this](TrayEvent event) { notifyLater(event); });
    if (docked_) {
        docked_->setToolTip(latin1(tip));
        return;
    }
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setIcon(QIcon(new ProgramIconEngine));
    icon_->setToolTip(latin1(tip));
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) notifyLater(TrayEvent::LeftButtonDown);
        if (r == QSystemTrayIcon::DoubleClick) notifyLater(TrayEvent::LeftDoubleClick);
        if (r == QSystemTrayIcon::Context) notifyLater(TrayEvent::RightButtonUp);
    });
    icon_->show();  // without a notification area this shows nothing, and the program goes on
}

// With the display gone, the icon's own end would talk to it: the process ends without it.
void QtTray::remove() {
    if (QtDisplayLoss::lost()) return;
    docked_.reset();
    icon_.reset();
}

void QtTray::setTip(const std::string& tip) {
    if (QtDisplayLoss::lost()) return;
    if (docked_) docked_->setToolTip(latin1(tip));
    if (icon_) icon_->setToolTip(latin1(tip));
}

}  // namespace corvane
