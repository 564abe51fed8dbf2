// The floor of the meters' benchmark: a Qt Widgets program that shows a window the size of the meter
// and wakes once a second to do nothing. Whatever a meter costs beyond this is its own doing.

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QWidget>

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
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(1000);
    return QApplication::exec();
}
