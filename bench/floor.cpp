// The floor of the meters' benchmark: a Qt Widgets program that shows a window the size of the meter
// and wakes once a second to do nothing. Whatever a meter costs beyond this is its own doing.
// With --tray it also shows a notification-area icon with a tip, drawn once: what a meter pays for
// having a tray icon at all, apart from what it does with it.

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <optional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget meter(nullptr, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::darkGreen);
    meter.setPalette(palette);
    meter.setAutoFillBackground(true);
    meter.setFixedSize(53, 10);
    meter.move(QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry().width() - 53 : 0, 0);
    meter.show();
    std::optional<QSystemTrayIcon> tray;  // made only when asked for: even unshown it costs
    if (argc > 1 && std::strcmp(argv[1], "--tray") == 0) {
        QPixmap picture(22, 22);
        picture.fill(Qt::darkGreen);
        tray.emplace(QIcon(picture));
        tray->setToolTip(QStringLiteral("57 %"));
        tray->show();
    }
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(1000);
    return QApplication::exec();
}
