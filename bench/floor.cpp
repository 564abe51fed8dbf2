// The floor of the meters' benchmark: a Qt Widgets program that shows a window the size of the meter
// and wakes once a second to do nothing. Whatever a meter costs beyond this is its own doing.
// With --tray it also shows a notification-area icon with a tip, drawn once: what a meter pays for
// having a tray icon at all, apart from what it does with it. With --read FILE it also reads FILE
// every second, from a descriptor kept open, as a meter reads its battery: what reading any value once
// a second costs, apart from what a meter makes of it.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <optional>
#include <string_view>

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
    bool withTray = false;
    int readFd = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--tray") withTray = true;
        if (std::string_view(argv[i]) == "--read" && i + 1 < argc) {
            readFd = ::open(argv[++i], O_RDONLY | O_CLOEXEC);
            if (readFd < 0) {
                std::perror(argv[i]);  // a floor that reads nothing would look cheaper than it is
                return 2;
            }
        }
    }
    std::optional<QSystemTrayIcon> tray;  // made only when asked for: even unshown it costs
    if (withTray) {
        QPixmap picture(22, 22);
        picture.fill(Qt::darkGreen);
        tray.emplace(QIcon(picture));
        tray->setToolTip(QStringLiteral("57 %"));
        tray->show();
    }
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [readFd] {
        char value[64];
        if (readFd >= 0) (void)!::pread(readFd, value, sizeof value, 0);
    });
    tick.start(1000);
    return QApplication::exec();
}
