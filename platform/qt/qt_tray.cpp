#include "platform/qt/qt_tray.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
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

QIcon programIcon() {
    QIcon icon;
    for (std::size_t at = 0; kProgramIcons[at] != 0;) {
        const int side = static_cast<int>(kProgramIcons[at++]);
        // Premultiplied here, as a pixmap keeps them: left to Qt, the conversion of the larger sizes is
        // shared out among threads of a pool made for it, which then stays with the program.
        QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < side; ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < side; ++x) row[x] = qPremultiply(kProgramIcons[at + y * side + x]);
        }
        icon.addPixmap(QPixmap::fromImage(std::move(img)));  // taken over, not copied
        at += static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    }
    return icon;
}

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
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setIcon(programIcon());
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
    if (!QtDisplayLoss::lost()) icon_.reset();
}

void QtTray::setTip(const std::string& tip) {
    if (icon_ && !QtDisplayLoss::lost()) icon_->setToolTip(latin1(tip));
}

}  // namespace corvane
