#include "platform/qt/qt_tray.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <cstring>

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
        // The words are the pixels as this format keeps them: copied whole, not one by one at start.
        const QImage img(reinterpret_cast<const uchar*>(&kProgramIcons[at]), side, side,
                         side * static_cast<int>(sizeof(std::uint32_t)), QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(img));
        at += static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    }
    return icon;
}

// The same mouse message numbers a Windows icon reports; a double-click follows a click.
constexpr int kLeftButtonUp = 513;
constexpr int kLeftButtonDoubleClick = 515;
constexpr int kRightButtonUp = 517;

}  // namespace

QtTray::QtTray() = default;

// The icon reports from inside its own mouse handler, and what the program does then (a menu, "Exit"
// taking the icon away) must not run there: the notification waits for the handler to return.
void QtTray::notifyLater(int mouseMessage) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, mouseMessage] {
            if (onNotify) onNotify(mouseMessage);
        },
        Qt::QueuedConnection);
}
QtTray::~QtTray() = default;

void QtTray::shellNotifyIcon(int message, const NotifyIconData& data) {
    if (QtDisplayLoss::lost()) return;
    const QString tip =
        QString::fromLatin1(data.szTip.data(), static_cast<qsizetype>(strnlen(data.szTip.data(), 64)));
    if (message == kNimAdd) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        icon_->setIcon(programIcon());
        icon_->setToolTip(tip);
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason r) {
                             if (r == QSystemTrayIcon::Trigger) notifyLater(kLeftButtonUp);
                             if (r == QSystemTrayIcon::DoubleClick) notifyLater(kLeftButtonDoubleClick);
                             if (r == QSystemTrayIcon::Context) notifyLater(kRightButtonUp);
                         });
        icon_->show();  // without a notification area this shows nothing, and the program goes on
    } else if (message == kNimModify && icon_) {
        icon_->setToolTip(tip);
    } else if (message == kNimDelete) {
        icon_.reset();
    }
}

}  // namespace corvane
