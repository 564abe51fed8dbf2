#include "platform/qt/qt_tray.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <cstring>

#include "resources/icon_art.h"

namespace corvane {

namespace {

QIcon programIcon() {
    const auto px = programIconPixels();
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) img.setPixel(x, y, px[static_cast<std::size_t>(y) * 32 + x]);
    return QIcon(QPixmap::fromImage(img));
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
