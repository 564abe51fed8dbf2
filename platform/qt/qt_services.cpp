#include "platform/qt/qt_services.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <ctime>

namespace corvane {

namespace {

double twipsPerPixel(double dpi) { return 1440.0 / (dpi > 0 ? dpi : 96); }

}  // namespace

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

void QtScreen::getCursorPos(PointPx& point) {
    const QPoint p = QCursor::pos();
    point = {p.x(), p.y()};
}

int QtPower::getSystemPowerStatus(SystemPowerStatus& status) {
    status = reader_.read();
    return 1;
}

std::string QtClock::timeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
    return buf;
}

std::string QtAppInfo::executableFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

}  // namespace corvane
